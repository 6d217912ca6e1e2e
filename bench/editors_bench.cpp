// Figures of the master-data grid screen on a shop database file: opening the products screen over
// 50,000 products (function row, configuration, first query into the grid), one quick-search keystroke
// over them, and saving one changed row of a 20,000-row colours screen (checks, write and its log row).
// Prints one line per figure, wall-clock time and the process's processor time (the fairer figure on a
// busy machine); asserts nothing.
//
//   editors_bench [--products N] [--colors N]

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "ScreenServices.h"
#include "editors/UnitFrmBaseDBGridEditor.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"

using namespace jxc;
using jxc::bench::Fill;
using jxc::bench::IntOption;
using jxc::bench::TScratchFile;
using jxc::bench::TStopwatch;

namespace {

// The screen opened from the menu, with its deferred first query.
TFrmBaseDBGridEditor* OpenScreen(const std::string& caption) {
  auto* screen = OpenEditor<TFrmBaseDBGridEditor>(Application(), caption);
  Application().Advance(200);
  return screen;
}

}  // namespace

int main(int argc, char** argv) {
  const int products = IntOption(argc, argv, "--products", 50000);
  const int colors = IntOption(argc, argv, "--colors", 20000);
  const TScratchFile file("editors_bench");
  {
    auto db = std::make_shared<TSQLiteDBAccess>(file.Path);
    TSampleShopOptions options;
    options.Units = 0;
    const TSampleShop shop = CreateSampleShop(*db, options);
    Fill(*db, "TB_PRODUCT_ATTRIBUTE",
         "F_CODE, F_NAME, F_PY, F_PRODUCT_TYPE_ID, F_UNIT, F_PRICE_JH, F_PRICE_PF, F_PRICE_LS, F_STATUS",
         "printf('B%06d', i), printf('手机型号%06d', i), printf('SJXH%06d', i), 1 + i % 3, '台', 1000 + i % 5000, "
         "1100 + i % 5000, 1200 + i % 5000, 0",
         products);
    Fill(*db, "TB_PRODUCT_COLOR", "F_CODE, F_NAME, F_PY", "printf('C%06d', i), printf('颜色%06d', i), printf('YS%06d', i)",
         colors);

    bench::StartScreenServices(db, "bench", shop.Branches[0]);

    TStopwatch opening;
    TFrmBaseDBGridEditor* screen = OpenScreen("商品资料");
    std::printf("products screen opened and queried (%d rows): %.1f ms wall, %.1f ms processor\n",
                screen->cdsMain->RecordCount(), opening.Wall(), opening.Processor());

    // The user types "sjxh0012" one key at a time; each key filters the rows and the grid counts them.
    screen->SetActiveControl(screen->edtSearch);
    const std::string keys = "sjxh0012";
    double worst = 0, wall = 0, processor = 0;
    int shown = 0;
    for (char key : keys) {
      TStopwatch keystroke;
      screen->TypeChar(static_cast<char32_t>(key));
      shown = screen->tvResult->DataController().RowCount();
      wall += keystroke.Wall();
      processor += keystroke.Processor();
      worst = std::max(worst, keystroke.Processor());
    }
    const double count = static_cast<double>(keys.size());
    std::printf("quick search \"%s\" shows %d rows\n", keys.c_str(), shown);
    std::printf("quick-search keystroke over %d products: %.2f ms wall, %.2f ms processor (worst %.2f ms processor)\n",
                products, wall / count, processor / count, worst);

    TFrmBaseDBGridEditor* colorsScreen = OpenScreen("商品颜色");
    colorsScreen->cdsMain->Locate("F_CODE", Variant("C010000"));
    colorsScreen->PressKey(VK_F2);
    TGridTableView& grid = *colorsScreen->tvResult;
    grid.EditCell(grid.FocusedRecordIndex(), *grid.FindColumnByFieldName("F_REMARK"), "调价");
    TStopwatch saving;
    Application().Dispatch([colorsScreen] { colorsScreen->actSave->Execute(); });
    std::printf("one-row save on a %d-row colours screen: %.2f ms wall, %.2f ms processor (%d pending afterwards)\n",
                colorsScreen->cdsMain->RecordCount(), saving.Wall(), saving.Processor(),
                colorsScreen->cdsMain->ChangeCount());

    ResetApplication();
    SysService::Clear();
    PackageShutdown();
  }
  return 0;
}
