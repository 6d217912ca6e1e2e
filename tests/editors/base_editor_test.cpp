// The base editor on the sample shop: opening a configured screen after its rights check, refusals and
// failed starts that leave nothing behind, the right asked before each action, new-record defaults, names
// and mandatory fields checked before a save, saves of several datasets in one transaction, undo, the
// operation log, and walking datasets.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editors/UnitFrameBase.h"
#include "editors/UnitFrmBaseEditor.h"
#include "platform/ClassRegistry.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

namespace jxc {
namespace {

using testing::EditorTest;
using testing::TFrmProductPrices;

// A frame a configuration can name: remembers how the screen set it up.
class TFrameProbe : public TFrameBase {
 public:
  using TFrameBase::TFrameBase;
  std::string ClassName() const override { return "TFrameProbe"; }
  void DoInit() override {
    TFrameBase::DoInit();
    ++inits;
    tableAtInit = UpdatingTable();
  }
  int inits = 0;
  std::string tableAtInit;
};

class BaseEditorTest : public EditorTest {
 protected:
  void AddFunction(int64_t id, const std::string& caption, const std::string& table, const std::string& config) {
    db->QueryNative("INSERT INTO TB_SYS_FUNCTION (F_ID, F_NAME, F_ClassName, F_TableName, F_DATA, F_GRID_NAME, F_UI_CONFIG) "
                    "VALUES (?, ?, 'TFrmBaseDBGridEditor', ?, ?, ?, ?)",
                    {Variant(static_cast<long long>(id)), Variant(caption), Variant(table), Variant(table), Variant(caption),
                     Variant(config)});
  }
  int64_t FunctionID(const std::string& caption) {
    return db->QueryNative("SELECT F_ID FROM TB_SYS_FUNCTION WHERE F_NAME = ?", {Variant(caption)}).Rows.at(0).at(0).AsInt64();
  }
  // The products as stored, for comparing before and after a refused action.
  std::string Products() {
    std::string all;
    for (const auto& row : db->QueryNative("SELECT * FROM TB_PRODUCT_ATTRIBUTE ORDER BY F_ID").Rows)
      for (const Variant& value : row) all += value.ToString() + "|";
    return all;
  }
};

TEST_F(BaseEditorTest, AConfiguredScreenOpensAfterItsRightsCheckAndQueriesOnce) {
  rights->SetGrantAll(false);
  rights->GrantOpen("商品资料");
  auto* screen = CreateForm<TFrmBaseDBGridEditor>(&Application());
  screen->SetName("SPZL");
  screen->SetCaption("商品资料");
  screen->DoOnShow();
  screen->ShowForm();
  ASSERT_FALSE(rights->Asked().empty());
  EXPECT_EQ(rights->Asked().front().Question, TTableGroupRights::TQuestion::Open);
  EXPECT_EQ(rights->Asked().front().First, "商品资料");

  EXPECT_EQ(screen->FormParams.F_ID, std::to_string(FunctionID("商品资料")));
  EXPECT_EQ(screen->FormParams.F_UpdateTable, "TB_PRODUCT_ATTRIBUTE");
  EXPECT_EQ(screen->FormParams.F_Data, "TB_PRODUCT_ATTRIBUTE");
  EXPECT_EQ(screen->FormParams.F_GridConfig, "商品资料");
  EXPECT_TRUE(screen->FormParams.F_QUERY_CONFIG.F_CAN_SELECT);
  EXPECT_EQ(screen->cdsMain->Name(), "CdsMaster");
  EXPECT_EQ(screen->cdsMain->IndexFieldNames(), "F_CODE");
  ASSERT_EQ(screen->DataSetMgr().size(), 1u);
  EXPECT_EQ(screen->DataSetMgr()[0].DataSet, screen->cdsMain);

  // The opener's reuse path shows it again before the first query: no second initialisation.
  screen->DoOnShow();
  EXPECT_EQ(screen->DataSetMgr().size(), 1u);
  Application().Advance(199);
  EXPECT_TRUE(StatusTexts().empty());
  EXPECT_FALSE(screen->cdsMain->Active());
  Application().Advance(1);
  EXPECT_EQ(StatusTexts(), std::vector<std::string>{"查询完成,耗时0秒,共8条记录"});
  Application().Advance(5000);
  EXPECT_EQ(StatusTexts().size(), 1u);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), "P1");
  EXPECT_TRUE(screen->actQuery->Enabled);
  EXPECT_TRUE(Application().ShownErrors().empty());
}

TEST_F(BaseEditorTest, ARefusedScreenIsGoneAtOnceAndTheSameScreenOpensOnceGranted) {
  rights->SetGrantAll(false);
  const int before = Application().ComponentCount();
  auto* screen = CreateForm<TFrmBaseDBGridEditor>(&Application());
  screen->SetName("SPZL");
  screen->SetCaption("商品资料");
  EXPECT_FALSE(Application().Dispatch([&] {
    screen->DoOnShow();
    screen->ShowForm();
  }));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"[商品资料]功能未授权,不能打开"});
  EXPECT_EQ(Application().FindComponent("SPZL"), nullptr);
  for (TAction* action : screen->alMain->Items()) EXPECT_FALSE(action->Enabled) << action->Name();
  Application().Advance(1000);
  EXPECT_EQ(Application().ComponentCount(), before);
  EXPECT_TRUE(StatusTexts().empty());
  EXPECT_EQ(dialog->Count(), 0);

  rights->GrantOpen("商品资料");
  auto* again = Open("商品资料");
  EXPECT_EQ(again->Name(), "SPZL");
  EXPECT_EQ(again->cdsMain->RecordCount(), 8);
}

TEST_F(BaseEditorTest, RegionFramesArePlacedByClassNameAndAnUnknownClassLeavesNoScreen) {
  RegisterClass<TFrameProbe>("TFrameProbe");
  AddFunction(900001, "颜色左右", "TB_PRODUCT_COLOR",
              R"({"UI_LEFT_CONFIG":{"STATUS":"on","CLASS_NAME":"TFrameProbe","DATA":"TB_PRODUCT_COLOR"},)"
              R"("UI_RIGHT_CONFIG":{"STATUS":"On","CLASS_NAME":"TFrameProbe"}})");
  auto* screen = CreateForm<TFrmBaseDBGridEditor>(&Application());
  screen->SetCaption("颜色左右");
  screen->DoOnShow();
  screen->DoOnShow();  // shown again before its first query: set up once
  Application().Advance(200);
  auto* left = dynamic_cast<TFrameProbe*>(screen->LeftFrame());
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(screen->RightFrame(), nullptr);  // "On" is not "on"
  EXPECT_EQ(left->Align, TAlign::alLeft);
  EXPECT_EQ(left->Width, 250);
  EXPECT_EQ(left->Parent(), screen);
  EXPECT_EQ(left->inits, 1);
  EXPECT_EQ(left->tableAtInit, "TB_PRODUCT_COLOR");
  EXPECT_EQ(left->MainDataSet(), screen->cdsMain);
  EXPECT_EQ(left->dsMain->DataSet(), screen->cdsMain);
  EXPECT_EQ(left->FunctionID(), "900001");
  EXPECT_EQ(left->Config().F_VIEW_DATA, "TB_PRODUCT_COLOR");
  int splitters = 0;
  for (TControl* control : screen->ChildControls())
    if (dynamic_cast<TSplitter*>(control) && control->Align == TAlign::alLeft) ++splitters;
  EXPECT_EQ(splitters, 1);
  int frames = 0;
  for (int i = 0; i < screen->ComponentCount(); ++i) frames += dynamic_cast<TFrameBase*>(screen->Components(i)) != nullptr;
  EXPECT_EQ(frames, 1);

  AddFunction(900002, "颜色坏框", "TB_PRODUCT_COLOR", R"({"UI_LEFT_CONFIG":{"STATUS":"on","CLASS_NAME":"TFrameNope"}})");
  const int before = Application().ComponentCount();
  auto* broken = CreateForm<TFrmBaseDBGridEditor>(&Application());
  broken->SetName("YSHK");
  broken->SetCaption("颜色坏框");
  EXPECT_FALSE(Application().Dispatch([&] { broken->DoOnShow(); }));
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"Class TFrameNope not found"});
  Application().Advance(1000);
  EXPECT_EQ(Application().ComponentCount(), before);
  EXPECT_EQ(StatusTexts().size(), 1u);  // the first screen's query only
  UnRegisterClass("TFrameProbe");
}

TEST_F(BaseEditorTest, EachRefusedRightShowsOneMessageAndChangesNothing) {
  rights->SetGrantAll(false);
  rights->GrantOpen("商品资料");
  auto* screen = Open("商品资料");
  const std::string stored = Products();
  const struct {
    TAction* action;
    const char* text;
  } refusals[] = {{screen->actNew, "商品资料[新增]权限未授权"},    {screen->actEdit, "商品资料[编辑]权限未授权"},
                  {screen->actDelete, "商品资料[删除]权限未授权"}, {screen->actExport, "商品资料[导出]权限未授权"},
                  {screen->actPrint, "商品资料[打印]权限未授权"},  {screen->actAudit, "商品资料[审核]权限未授权"},
                  {screen->actUnAudit, "商品资料[反审核]权限未授权"}};
  screen->SetOperaRights("1111");
  for (const auto& refusal : refusals) {
    dialog->Clear();
    Click(*screen, refusal.action);
    EXPECT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{refusal.text});
    EXPECT_EQ(dialog->Count(), 1) << refusal.text;
    EXPECT_EQ(screen->cdsMain->State(), dsBrowse);
    EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
    EXPECT_EQ(screen->cdsMain->RecordCount(), 8);
  }
  screen->PressKey(VK_F1);  // the shortcut asks the same question
  EXPECT_EQ(dialog->Last().Text, "商品资料[新增]权限未授权");
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_TRUE(Application().ShownErrors().empty());
  EXPECT_EQ(Products(), stored);

  // Audit and un-audit read positions 5 and 6 of the rights text.
  screen->SetOperaRights("1111110000000000");
  dialog->Clear();
  Click(*screen, screen->actAudit);
  Click(*screen, screen->actUnAudit);
  EXPECT_EQ(dialog->Count(), 0);
}

TEST_F(BaseEditorTest, ANewRecordGetsItsDefaultsAndIsCheckedBeforeItIsWritten) {
  auto* screen = Open("商品资料");
  screen->PressKey(VK_F1);
  ASSERT_EQ(screen->cdsMain->State(), dsEdit);
  EXPECT_EQ(screen->cdsMain->UpdateStatus(), usInserted);
  TClientDataSet& products = *screen->cdsMain;
  const int64_t id = products.FieldByName("F_ID").AsLargeInt();
  EXPECT_GT(id, 0);
  EXPECT_EQ(products.FieldByName("F_STATUS").AsInteger(), 0);
  EXPECT_FALSE(products.FieldByName("F_STATUS").IsNull());
  const std::string code = products.FieldByName("F_CODE").AsString();
  EXPECT_EQ(code.rfind("SPZL", 0), 0u) << code;
  EXPECT_TRUE(screen->actSave->Enabled);

  // No name: refused, nothing written.
  Type(*screen, "F_NAME", "   ");
  Click(*screen, screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "名称不能为空");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE"), 8);

  // A name, but the mandatory type and unit are empty: one message naming both, focus on the last.
  Type(*screen, "F_NAME", "  abc phone ");
  dialog->Clear();
  Click(*screen, screen->actSave);
  ASSERT_EQ(dialog->Count(), 1);
  EXPECT_EQ(dialog->Last().Text, "保存失败\r\n商品类型不能为空,请重新输入\n\r单位不能为空,请重新输入\n\r");
  ASSERT_NE(screen->tvResult->FocusedColumn(), nullptr);
  EXPECT_EQ(screen->tvResult->FocusedColumn()->FieldName(), "F_UNIT");
  EXPECT_EQ(screen->ActiveControl(), screen->cxGrid1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE"), 8);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_LOG"), 0);
  EXPECT_EQ(products.State(), dsEdit);  // still the user's to correct
  EXPECT_EQ(products.FieldByName("F_NAME").AsString(), "ABC PHONE");

  Type(*screen, "F_PRODUCT_TYPE_ID", "2");
  Type(*screen, "F_UNIT", "个");
  Click(*screen, screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "保存成功");
  EXPECT_EQ(products.ChangeCount(), 0);
  EXPECT_FALSE(screen->actSave->Enabled);
  EXPECT_EQ(Text("SELECT F_NAME FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(id)), "ABC PHONE");
  EXPECT_EQ(Text("SELECT F_CODE FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(id)), code);

  // A second new record gets other values.
  screen->PressKey(VK_F1);
  EXPECT_NE(products.FieldByName("F_ID").AsLargeInt(), id);
  EXPECT_NE(products.FieldByName("F_CODE").AsString(), code);
}

TEST_F(BaseEditorTest, ANameUsedByAnotherRowIsRefusedWhateverItsCaseButARowKeepsItsOwn) {
  auto* screen = Open("商品资料");
  ASSERT_TRUE(screen->cdsMain->Locate("F_CODE", Variant("P2")));
  screen->PressKey(VK_F2);
  Type(*screen, "F_NAME", " iphone 15 ");
  Click(*screen, screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "[IPHONE 15]名称重复,请重新输入");
  EXPECT_EQ(Text("SELECT F_NAME FROM TB_PRODUCT_ATTRIBUTE WHERE F_CODE = 'P2'"), "小米 14");

  // Its own name, changed elsewhere, is no duplicate.
  Type(*screen, "F_NAME", "小米 14");
  Type(*screen, "F_PRICE_LS", "3888");
  Click(*screen, screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "保存成功");
  EXPECT_EQ(Text("SELECT F_PRICE_LS FROM TB_PRODUCT_ATTRIBUTE WHERE F_CODE = 'P2'"), "3888");
}

TEST_F(BaseEditorTest, MandatoryFieldsAreThoseOfTheScreensOwnSixtyFourBitFunction) {
  const int64_t id = 5000000000;  // beyond 32 bits
  AddFunction(id, "测试颜色", "TB_PRODUCT_COLOR", R"({"UI_QUERY_CONFIG":{"STATUS":"on"}})");
  db->ExecSQL("INSERT INTO TB_SYS_FIELD_LIST (F_ID, F_MID, F_NAME, F_CONSTRAINTS_MESSAGE, F_CONTROL) VALUES "
              "(1, 5000000000, 'F_REMARK', '备注', 1)\n"
              "INSERT INTO TB_SYS_FIELD_LIST (F_ID, F_MID, F_NAME, F_CONSTRAINTS_MESSAGE, F_CONTROL) VALUES "
              "(2, 5000000000, 'F_NOPE', '不存在', 1)\n"
              "INSERT INTO TB_SYS_FIELD_LIST (F_ID, F_MID, F_NAME, F_CONSTRAINTS_MESSAGE, F_CONTROL) VALUES "
              "(3, 5000000000, 'F_PY', '拼音', 0)\n"
              // The same function's identifier cut to 32 bits: another function.
              "INSERT INTO TB_SYS_FIELD_LIST (F_ID, F_MID, F_NAME, F_CONSTRAINTS_MESSAGE, F_CONTROL) VALUES "
              "(4, 705032704, 'F_CODE', '编码', 1)");
  auto* screen = Open("测试颜色");
  screen->PressKey(VK_F1);
  Type(*screen, "F_NAME", "青色");
  Click(*screen, screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "保存失败\r\n备注不能为空,请重新输入\n\r");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR WHERE F_NAME = '青色'"), 0);
  Type(*screen, "F_REMARK", "新到");
  Click(*screen, screen->actSave);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR WHERE F_NAME = '青色'"), 1);
  EXPECT_EQ(Text("SELECT F_PY FROM TB_PRODUCT_COLOR WHERE F_NAME = '青色'"), "QS");  // found by its initials
}

TEST_F(BaseEditorTest, ASaveOfTwoDatasetsWritesBothOrNeitherAndKeepsBothChangeLogs) {
  auto* screen = Open<TFrmProductPrices>("商品资料");
  ASSERT_TRUE(screen->cdsPrices->Active());
  EXPECT_EQ(screen->cdsPrices->RecordCount(), 1);
  const int64_t xiaomi = shop.Handsets[1];
  ASSERT_TRUE(screen->cdsMain->Locate("F_ID", Variant(static_cast<long long>(xiaomi))));
  screen->PressKey(VK_F2);
  Type(*screen, "F_PRICE_LS", "3888");
  // A shop price without its shop: the table refuses it.
  TClientDataSet& prices = *screen->cdsPrices;
  prices.Append();
  prices.FieldByName("F_ID").SetAsString(db->GetNewID("TB_PRODUCT_SHOP_PRICE"));
  prices.FieldByName("F_PRODUCT_ID").SetAsLargeInt(xiaomi);
  prices.FieldByName("F_PRICE_LS").SetAsString("3799");
  prices.Post();

  dialog->Clear();
  Click(*screen, screen->actSave);
  ASSERT_EQ(dialog->Count(), 1);
  EXPECT_EQ(dialog->Last().Text.rfind("保存失败\r\n失败原因：", 0), 0u) << dialog->Last().Text;
  EXPECT_EQ(Text("SELECT F_PRICE_LS FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(xiaomi)), "3999");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_SHOP_PRICE"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_LOG"), 0);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 1);
  EXPECT_EQ(prices.ChangeCount(), 1);
  EXPECT_TRUE(screen->actSave->Enabled);

  prices.Edit();
  prices.FieldByName("F_SHOP_ID").SetAsLargeInt(shop.Branches[1]);
  Click(*screen, screen->actSave);
  EXPECT_EQ(dialog->Last().Text, "保存成功");
  EXPECT_EQ(Text("SELECT F_PRICE_LS FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = " + std::to_string(xiaomi)), "3888");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_SHOP_PRICE WHERE F_PRODUCT_ID = " + std::to_string(xiaomi)), 1);
  EXPECT_EQ(Text("SELECT F_MESSAGE FROM TB_SYS_LOG"), "商品资料 [张三]  [编辑] P2");
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(prices.ChangeCount(), 0);
}

TEST_F(BaseEditorTest, TheOperationLogNamesTheScreenUserKindAndCode) {
  auto* screen = Open("商品资料");
  ASSERT_TRUE(screen->cdsMain->Locate("F_CODE", Variant("P2")));  // 小米 14: a name already as it is stored
  screen->PressKey(VK_F2);
  Click(*screen, screen->actSave);  // opened for editing, nothing changed: nothing to log
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_SYS_LOG"), 0);
  ASSERT_TRUE(screen->cdsMain->Locate("F_CODE", Variant("P1")));
  Application().Advance(60000);
  const TDateTime now = Now();
  for (int kind : {1, 2, 3, 4, 5, 0, 6}) screen->AddLog(kind, "");
  screen->AddLog(2, "改价");
  const auto rows =
      db->QueryNative("SELECT F_BILL_ID, F_KIND, F_BILL_CODE, F_MESSAGE, F_ADD_USER, F_ADD_DATE FROM TB_SYS_LOG ORDER BY F_ID").Rows;
  ASSERT_EQ(rows.size(), 8u);
  const std::vector<std::string> messages = {"商品资料 [张三]  [新增] P1", "商品资料 [张三]  [编辑] P1",
                                             "商品资料 [张三]  [审核] P1", "商品资料 [张三]  [反审] P1",
                                             "商品资料 [张三]  [删除] P1", "商品资料 [张三]  [其它]P1",
                                             "商品资料 [张三]  [其它]P1",  "商品资料 [张三] 改价 [编辑] P1"};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][0].AsInt64(), shop.Handsets[0]);
    EXPECT_TRUE(rows[i][1].IsNull());  // products carry no bill kind
    EXPECT_EQ(rows[i][2].ToString(), "P1");
    EXPECT_EQ(rows[i][3].ToString(), messages[i]);
    EXPECT_EQ(rows[i][4].ToString(), "张三");
    EXPECT_EQ(SqlDateTimeText(rows[i][5].AsDateTime()), SqlDateTimeText(now));
  }
}

TEST_F(BaseEditorTest, UndoAsksWhileEditingAndRevertsEveryPendingChange) {
  auto* screen = Open("商品资料");
  screen->PressKey(VK_F2);
  Type(*screen, "F_NAME", "华为 Mate 70");
  boxes.QueueAnswer(TMsgResult::Cancel);
  Click(*screen, screen->actUndo);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].Text, "您正在编辑数据,确定要放弃吗？");
  EXPECT_EQ(boxes.Calls()[0].Title, "提示");
  EXPECT_EQ(screen->cdsMain->State(), dsEdit);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "华为 Mate 70");

  boxes.QueueAnswer(TMsgResult::OK);
  Click(*screen, screen->actUndo);
  EXPECT_EQ(screen->cdsMain->State(), dsBrowse);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "华为 Mate 60 Pro");
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_FALSE(screen->actUndo->Enabled);

  // Posted but not saved: reverted without a question.
  screen->PressKey(VK_F2);
  Type(*screen, "F_NAME", "华为 Mate 70");
  screen->cdsMain->Post();
  Click(*screen, screen->actUndo);
  EXPECT_EQ(boxes.Calls().size(), 2u);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "华为 Mate 60 Pro");
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
}

TEST_F(BaseEditorTest, AWalkVisitsEveryRowAndRestoresTheScreenEvenWhenItFails) {
  auto* screen = Open("商品资料");
  TClientDataSet& products = *screen->cdsMain;
  ASSERT_TRUE(products.Locate("F_CODE", Variant("P3")));
  std::vector<std::string> codes;
  screen->IteraDataSet(products, [&codes](TDataSet& rows) {
    EXPECT_TRUE(rows.ControlsDisabled());
    codes.push_back(rows.FieldByName("F_CODE").AsString());
  });
  EXPECT_EQ(codes, (std::vector<std::string>{"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8"}));
  EXPECT_EQ(products.FieldByName("F_CODE").AsString(), "P3");
  EXPECT_FALSE(products.ControlsDisabled());

  int visited = 0;
  EXPECT_THROW(screen->IteraDataSet2(products, [&visited](TDataSet&) {
    if (++visited == 4) throw Exception("第4行有误");
  }),
               Exception);
  EXPECT_EQ(products.FieldByName("F_CODE").AsString(), "P3");
  EXPECT_FALSE(products.ControlsDisabled());

  // The remembered row deleted during the walk: the walk still ends cleanly.
  screen->IteraDataSet(products, [](TDataSet& rows) {
    if (rows.FieldByName("F_CODE").AsString() == "P3") rows.Delete();
  });
  EXPECT_EQ(products.RecordCount(), 7);
  EXPECT_FALSE(products.ControlsDisabled());

  screen->ClearDataSet(products);
  EXPECT_TRUE(products.IsEmpty());
  EXPECT_FALSE(products.ControlsDisabled());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE"), 8);  // nothing saved
}

TEST_F(BaseEditorTest, EnterMovesToTheNextControl) {
  auto* screen = Open("商品资料");
  screen->SetActiveControl(screen->edtSearch);
  screen->PressKey(VK_RETURN);
  EXPECT_NE(screen->ActiveControl(), screen->edtSearch);
  EXPECT_EQ(screen->edtSearch->Text(), "");
}

}  // namespace
}  // namespace jxc
