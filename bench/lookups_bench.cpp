// Figures of the tree editor and the search lists on a shop database file: the regions' tree editor over
// 10,000 regions opened (table, rows, every node), one region dragged under another and saved; the
// customer list of a bill over 20,000 customers loaded, and one keystroke of a search in it (the typing
// pause running the filter over the rows held and the grid counting what is left). Prints one line per
// figure, wall-clock time and the process's processor time (the fairer figure on a busy machine); asserts
// nothing.
//
//   lookups_bench [--regions N] [--customers N]

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "ScreenServices.h"
#include "editors/UnitFrmBaseTreeEditor.h"
#include "filter/UnitBaseLookups.h"
#include "filter/UnitFilterPopupEdit.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DBTreeList.h"
#include "platform/Grid.h"
#include "services/RecordingDialog.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "services/ShopLocalDB.h"
#include "services/TableGroupRights.h"

using namespace jxc;
using jxc::bench::Fill;
using jxc::bench::IntOption;
using jxc::bench::TScratchFile;
using jxc::bench::TStopwatch;

namespace {

void Print(const char* what, const TStopwatch& watch) {
  std::printf("%s: %.1f ms wall, %.1f ms processor\n", what, watch.Wall(), watch.Processor());
}

}  // namespace

int main(int argc, char** argv) {
  const int regions = IntOption(argc, argv, "--regions", 10000);
  const int customers = IntOption(argc, argv, "--customers", 20000);
  const TScratchFile file("lookups_bench");
  {
    auto db = std::make_shared<TSQLiteDBAccess>(file.Path);
    TSampleShopOptions options;
    options.Units = 0;
    const TSampleShop shop = CreateSampleShop(*db, options);
    // A hundred top regions, each of the others ten to a parent drawn before it.
    Fill(*db, "TB_PROVINCE", "F_CODE, F_NAME, F_PY, F_PARENTID",
         "printf('R%05d', i), printf('区域%05d', i), printf('QY%05d', i), CASE WHEN i < 100 THEN 0 ELSE ?2 + (i - 100) / 10 END",
         regions);
    Fill(*db, "TB_CUSTOMER", "F_CODE, F_NAME, F_PY, F_CUSTOMER_TYPE_ID, F_SHARED, F_STATUS",
         "printf('K%06d', i), printf('客户%06d', i), printf('KH%06d', i), 2, 1, 0", customers);

    bench::StartScreenServices(db, "bench", shop.Branches[0]);

    // --- the tree editor ---
    TStopwatch treeTotal;
    TStopwatch opening;
    auto* tree = CreateForm<TFrmBaseTreeEditor>(&Application());
    tree->SetCaption("区域资料");
    tree->DoOnShow();
    tree->ShowForm();
    Print(("tree editor opened (" + std::to_string(tree->dbTree->Count()) + " nodes)").c_str(), opening);

    TDBTreeList& nodes = *tree->dbTree;
    TTreeListNode* moved = nodes.FindNodeByText("R05000-区域05000");
    TTreeListNode* target = nodes.FindNodeByText("R00150-区域00150");
    TStopwatch moving;
    const bool dropped = moved && target && nodes.DragNodeTo(moved, target);
    Print(dropped ? "node dragged under another" : "node drag REFUSED", moving);
    TStopwatch saving;
    Application().Dispatch([tree] { tree->actSave->Execute(); });
    Print(("tree saved (" + std::to_string(tree->cdsTreeData->ChangeCount()) + " pending afterwards)").c_str(), saving);
    Print("tree editor opened, node moved and saved", treeTotal);

    // --- the customer list of a bill ---
    auto* form = new TForm(&Application());
    auto* header = new TClientDataSet(form);
    header->FieldDefs().Add("F_CUSTOMER", ftString, 100);
    header->FieldDefs().Add("F_CUSTOMER_ID", ftLargeint);
    header->CreateDataSet();
    header->AppendRecord({""});
    auto* source = new TDataSource(form);
    source->SetDataSet(header);
    auto* edit = new TDBFilterPopupEdit(form);
    edit->SetParent(form);
    edit->SetDataSource(source);
    edit->SetDataField("F_CUSTOMER");
    form->SetActiveControl(edit);
    TFrameBaseFilterEx* list = GetBaseLookupCustomer(edit);
    TStopwatch loading;
    Application().Advance(TFrameBaseFilterEx::LoadDelay);
    Print(("customer list loaded (" + std::to_string(list->cdsMain->RecordCount()) + " rows)").c_str(), loading);

    // The user types "kh0012" one key at a time; each key's pause filters the rows held.
    const std::string keys = "kh0012";
    double worst = 0, wall = 0, processor = 0;
    int shown = 0;
    for (char key : keys) {
      form->TypeChar(static_cast<char32_t>(key));
      TStopwatch keystroke;
      Application().Advance(TFrameBaseFilterEx::FilterPause);
      shown = list->tvFilter->DataController().RowCount();
      wall += keystroke.Wall();
      processor += keystroke.Processor();
      worst = std::max(worst, keystroke.Processor());
    }
    const double count = static_cast<double>(keys.size());
    std::printf("search \"%s\" shows %d rows\n", keys.c_str(), shown);
    std::printf("search keystroke over %d customers: %.2f ms wall, %.2f ms processor (worst %.2f ms processor)\n",
                customers, wall / count, processor / count, worst);
    TStopwatch choosing;
    form->PressKey(VK_RETURN);
    std::printf("Enter to the bill's customer (%s): %.2f ms wall, %.2f ms processor\n",
                header->FieldByName("F_CUSTOMER").AsString().c_str(), choosing.Wall(), choosing.Processor());

    ResetApplication();
    SysService::Clear();
    PackageShutdown();
  }
  return 0;
}
