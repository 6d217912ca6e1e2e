// The record editors and frames: adding and editing one record with OK, Cancel and Copy-add and the
// caller's callback, refused and failed saves that keep the user's values, the dialog editor's copy-add,
// an editor frame's checks with the focus on the field to correct, the frames' look-ups, and the editor
// classes known by name while the package is loaded.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editors/UnitFrameBaseEditor.h"
#include "editors/UnitFrmBaseDlgEditor.h"
#include "platform/ClassRegistry.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "services/DBCache.h"

namespace jxc {
namespace {

using testing::EditorTest;
using testing::TFrmColorEditor;

class RecordEditorsTest : public EditorTest {
 protected:
  // The application's colour editor as a screen opens it.
  TFrmColorEditor* ColorEditor() {
    auto* editor = CreateForm<TFrmColorEditor>(&Application());
    editor->SetCaption("商品颜色");
    editor->DoInit();
    return editor;
  }
  struct TReport {
    int calls = 0;
    TUpdateStatus status = usUnmodified;
    std::string name;
  };
  TDataEditorCallback Reporter(TReport& report) {
    return [&report](TDataSet& record, TUpdateStatus status) {
      ++report.calls;
      report.status = status;
      report.name = record.FieldByName("F_NAME").AsString();
    };
  }
};

TEST_F(RecordEditorsTest, AddAndEditReportWhatWasSavedToTheCaller) {
  TFrmColorEditor* editor = ColorEditor();
  EXPECT_EQ(editor->F_TABLENAME(), "TB_PRODUCT_COLOR");
  EXPECT_EQ(editor->F_ID(), Text("SELECT F_ID FROM TB_SYS_FUNCTION WHERE F_NAME = '商品颜色'"));
  TReport added;
  editor->DoAdd(0, {{"F_REMARK", Variant("新到")}, {"F_NOPE", Variant(1)}}, Reporter(added));
  EXPECT_EQ(editor->cdsMain->State(), dsInsert);
  EXPECT_EQ(editor->cdsMain->FieldByName("F_CODE").AsString().rfind("SPYS", 0), 0u);
  EXPECT_EQ(editor->edtRemark->Text(), "新到");
  Application().QueueModalScript([](TCustomForm& form) {
    auto& colors = static_cast<TFrmColorEditor&>(form);
    colors.Enter(colors.edtName, "green");
    colors.btnOK->PerformClick();
  });
  EXPECT_EQ(editor->ShowModelForm(), mrOk);
  EXPECT_EQ(added.calls, 1);
  EXPECT_EQ(added.status, usInserted);
  EXPECT_EQ(added.name, "GREEN");
  EXPECT_EQ(dialog->Texts(TDialogKind::Info), std::vector<std::string>{"保存成功"});
  const std::string id = editor->cdsMain->FieldByName("F_ID").AsString();
  EXPECT_EQ(Text("SELECT F_REMARK FROM TB_PRODUCT_COLOR WHERE F_NAME = 'GREEN'"), "新到");
  delete editor;

  editor = ColorEditor();
  TReport edited;
  editor->DoEdit(std::stoll(id), Reporter(edited));
  EXPECT_EQ(editor->edtName->Text(), "GREEN");
  editor->Enter(editor->edtRemark, "常用");
  Application().Dispatch([editor] { editor->actOK->Execute(); });
  EXPECT_EQ(edited.calls, 1);
  EXPECT_EQ(edited.status, usModified);
  EXPECT_EQ(Text("SELECT F_REMARK FROM TB_PRODUCT_COLOR WHERE F_ID = " + id), "常用");
  EXPECT_THROW(editor->DoEdit(424242, Reporter(edited)), Exception);
}

TEST_F(RecordEditorsTest, ARefusedOrFailedSaveKeepsTheUsersValuesInEditAndTellsTheCallerNothing) {
  db->Connection().ExecScript("CREATE TRIGGER TR_NO_GREY BEFORE INSERT ON TB_PRODUCT_COLOR WHEN NEW.F_REMARK = '停产' "
                              "BEGIN SELECT RAISE(ABORT, '停产颜色不能新增'); END;");
  TFrmColorEditor* editor = ColorEditor();
  TReport report;
  editor->DoAdd(0, {}, Reporter(report));
  editor->Show();
  editor->Enter(editor->edtName, " 黑色 ");
  editor->btnOK->PerformClick();
  EXPECT_EQ(dialog->Last().Text, "[黑色]名称重复,请重新输入");
  EXPECT_EQ(editor->cdsMain->State(), dsInsert);
  EXPECT_TRUE(editor->Visible());

  editor->Enter(editor->edtName, "灰色");
  editor->Enter(editor->edtRemark, "停产");
  editor->btnOK->PerformClick();
  EXPECT_EQ(dialog->Last().Text.rfind("保存失败\r\n失败原因：数据违反约束: 停产颜色不能新增", 0), 0u) << dialog->Last().Text;
  EXPECT_EQ(editor->cdsMain->State(), dsEdit);
  EXPECT_EQ(editor->cdsMain->FieldByName("F_NAME").AsString(), "灰色");
  EXPECT_EQ(editor->cdsMain->FieldByName("F_REMARK").AsString(), "停产");
  EXPECT_EQ(report.calls, 0);
  EXPECT_TRUE(editor->Visible());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR"), 4);

  editor->Enter(editor->edtRemark, "少量");
  editor->btnOK->PerformClick();
  EXPECT_EQ(report.calls, 1);
  EXPECT_EQ(report.status, usInserted);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR WHERE F_NAME = '灰色'"), 1);
  EXPECT_FALSE(editor->Visible());
}

TEST_F(RecordEditorsTest, CancelAsksBeforeItDropsChanges) {
  TFrmColorEditor* editor = ColorEditor();
  TReport report;
  editor->DoEdit(shop.Colors[0], Reporter(report));
  editor->Show();
  editor->Enter(editor->edtRemark, "改");
  editor->SetActiveControl(nullptr);
  dialog->QueueAnswer(false);
  editor->btnCancel->PerformClick();
  EXPECT_EQ(dialog->Last().Kind, TDialogKind::Confirm);
  EXPECT_EQ(dialog->Last().Caption, "提示");
  EXPECT_EQ(dialog->Last().Text, "您正在编辑数据,确定放弃吗?");
  EXPECT_TRUE(editor->Visible());
  EXPECT_EQ(editor->cdsMain->FieldByName("F_REMARK").AsString(), "改");

  dialog->QueueAnswer(true);
  editor->btnCancel->PerformClick();
  EXPECT_FALSE(editor->Visible());
  EXPECT_TRUE(editor->cdsMain->FieldByName("F_REMARK").IsNull());
  EXPECT_EQ(editor->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(report.calls, 0);
  EXPECT_TRUE(db->QueryNative("SELECT F_REMARK FROM TB_PRODUCT_COLOR WHERE F_ID = " + std::to_string(shop.Colors[0]))
                  .Rows.at(0).at(0).IsNull());
}

TEST_F(RecordEditorsTest, CopyAddSavesAndStartsTheNextRecordWithANewIdentity) {
  TFrmColorEditor* editor = ColorEditor();
  TReport report;
  editor->DoAdd(0, {}, Reporter(report));
  editor->Show();
  editor->Enter(editor->edtName, "浅蓝");
  editor->Enter(editor->edtRemark, "夏季");
  editor->btnCopyAdd->PerformClick();
  EXPECT_EQ(report.calls, 1);
  const auto saved = db->QueryNative("SELECT F_ID, F_CODE FROM TB_PRODUCT_COLOR WHERE F_NAME = '浅蓝'").Rows;
  ASSERT_EQ(saved.size(), 1u);
  TClientDataSet& record = *editor->cdsMain;
  EXPECT_EQ(record.State(), dsInsert);
  EXPECT_NE(record.FieldByName("F_ID").AsLargeInt(), saved[0][0].AsInt64());
  EXPECT_FALSE(record.FieldByName("F_ID").IsNull());
  EXPECT_NE(record.FieldByName("F_CODE").AsString(), saved[0][1].ToString());
  EXPECT_TRUE(record.FieldByName("F_NAME").IsNull());
  EXPECT_EQ(record.FieldByName("F_REMARK").AsString(), "夏季");

  editor->Enter(editor->edtName, "深蓝");
  editor->btnOK->PerformClick();
  EXPECT_EQ(report.calls, 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_COLOR WHERE F_REMARK = '夏季'"), 2);

  // Copy-add whose save is refused appends nothing.
  editor = ColorEditor();
  editor->DoAdd(0, {}, Reporter(report));
  editor->Show();
  editor->btnCopyAdd->PerformClick();
  EXPECT_EQ(dialog->Last().Text, "名称不能为空");
  EXPECT_EQ(editor->cdsMain->RecordCount(), 0);
  EXPECT_EQ(report.calls, 2);
}

TEST_F(RecordEditorsTest, TheDialogEditorCopiesAllButTheIdentityOfTheSavedRecord) {
  TClientDataSet lines;
  lines.FieldDefs().Add("F_ID", ftLargeint);
  lines.FieldDefs().Add("F_CODE", ftString, 20);
  lines.FieldDefs().Add("F_NAME", ftString, 50);
  lines.FieldDefs().Add("F_PRICE", ftCurrency);
  lines.CreateDataSet();
  int made = 0;
  lines.OnNewRecord = [&made](TDataSet& row) {
    ++made;
    row.FieldByName("F_ID").SetAsInteger(made);
    row.FieldByName("F_CODE").SetAsString("L" + std::to_string(made));
  };
  auto* editor = CreateForm<TFrmBaseDlgEditor>(&Application());
  editor->SetDisplayTitle("快速录入");
  EXPECT_EQ(editor->Caption(), "快速录入");
  editor->SetDataSet(&lines);
  int backs = 0, shows = 0;
  editor->OnShowCallback = [&shows](TFrmBaseDlgEditor&) { ++shows; };
  editor->OnBackCallback = [&backs](TFrmBaseDlgEditor&) { ++backs; };
  lines.Append();
  lines.FieldByName("F_NAME").SetAsString("手机壳");
  lines.FieldByName("F_PRICE").SetAsString("29.5");
  Application().QueueModalScript([](TCustomForm& form) {
    auto& dlg = static_cast<TFrmBaseDlgEditor&>(form);
    dlg.btnCopyAdd->PerformClick();
    dlg.actBack->Execute();
  });
  EXPECT_EQ(editor->ShowModal(), mrCancel);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(backs, 1);
  ASSERT_EQ(lines.RecordCount(), 1);  // the saved line; its copy is still being inserted
  EXPECT_EQ(lines.State(), dsInsert);
  EXPECT_EQ(lines.FieldByName("F_ID").AsInteger(), 2);
  EXPECT_EQ(lines.FieldByName("F_CODE").AsString(), "L2");
  EXPECT_TRUE(lines.FieldByName("F_NAME").IsNull());
  EXPECT_EQ(lines.FieldByName("F_PRICE").AsCurrency(), Currency::Parse("29.5"));

  // A save the database refuses appends nothing.
  editor->SetUpdateTable("TB_NOPE");
  editor->btnCopyAdd->PerformClick();
  EXPECT_EQ(dialog->Last().Text.rfind("保存失败\r\n失败原因：", 0), 0u);
  EXPECT_EQ(lines.RecordCount(), 2);
  EXPECT_EQ(lines.State(), dsBrowse);
}

TEST_F(RecordEditorsTest, AnEditorFrameChecksItsRecordAndPutsTheFocusOnTheFieldToCorrect) {
  auto* screen = Open("商品资料");
  auto* frame = static_cast<TFrameBaseEditor*>(CreateComponentByClassName("TFrameBaseEditor", screen));
  frame->SetParent(screen);
  frame->SetMainDataSet(screen->cdsMain);
  frame->SetUpdatingTable("TB_PRODUCT_ATTRIBUTE");
  frame->DoInit();
  EXPECT_EQ(frame->FunctionID(), screen->FormParams.F_ID);
  EXPECT_EQ(frame->tsBaseInfo->Caption(), "基本信息");
  auto edit = [&](const char* field) {
    auto* made = new TDBEdit(frame);
    made->SetParent(frame->tsBaseInfo);
    made->SetDataSource(frame->dsMain);
    made->SetDataField(field);
    return made;
  };
  edit("F_NAME");
  TDBEdit* type = edit("F_PRODUCT_TYPE_ID");
  TDBEdit* unit = edit("F_UNIT");

  frame->DoAdd();
  screen->cdsMain->FieldByName("F_NAME").SetAsString(" note ");
  EXPECT_THROW(frame->DoCheck(), EAbort);
  EXPECT_EQ(dialog->Last().Text, "保存失败\r\n商品类型不能为空,请重新输入\n\r单位不能为空,请重新输入\n\r");
  EXPECT_EQ(screen->ActiveControl(), unit);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_NAME").AsString(), "NOTE");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE"), 8);

  frame->MsgBoxHint(unit, "提示", "请填写单位");
  EXPECT_FALSE(frame->FBalloonHint->Showing());
  Application().Advance(200);
  EXPECT_TRUE(frame->FBalloonHint->Showing());
  EXPECT_EQ(frame->FBalloonHint->Control(), unit);
  Application().Advance(1500);
  EXPECT_FALSE(frame->FBalloonHint->Showing());

  screen->cdsMain->Edit();
  screen->cdsMain->FieldByName("F_UNIT").SetAsString("本");
  EXPECT_THROW(frame->DoCheck(), EAbort);
  EXPECT_EQ(dialog->Last().Text, "保存失败\r\n商品类型不能为空,请重新输入\n\r");
  EXPECT_EQ(screen->ActiveControl(), type);

  screen->cdsMain->Edit();
  screen->cdsMain->FieldByName("F_PRODUCT_TYPE_ID").SetAsInteger(2);
  EXPECT_NO_THROW(frame->DoCheck());
  EXPECT_TRUE(frame->DoSave());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_PRODUCT_ATTRIBUTE WHERE F_NAME = 'NOTE'"), 1);

  // A frame in a screen with no function cannot know what is mandatory: it says so instead of passing.
  auto* plain = new TForm(&Application());
  plain->SetCaption("临时");
  auto* lost = new TFrameBase(plain);
  lost->SetMainDataSet(screen->cdsMain);
  lost->SetUpdatingTable("TB_PRODUCT_ATTRIBUTE");
  try {
    lost->DoCheck();
    ADD_FAILURE() << "checked without knowing the function";
  } catch (const EAbort&) {
    ADD_FAILURE() << "refused silently";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "没有找到[临时]的功能配置, 无法检查必填项");
  }
  lost->SetFunctionID(screen->FormParams.F_ID);
  EXPECT_NO_THROW(lost->DoCheck());
}

TEST_F(RecordEditorsTest, FramesLookUpTheUsersShopsAccountsAndDictionaries) {
  auto cache = std::make_shared<TDBCache>(db);
  SysService::Register<ICache>(cache);
  auto* frame = new TFrameBase(&Application());
  frame->DoInit();
  UserInfo->SetDefaultShopID(std::to_string(shop.HeadOffice));
  TDataSet& shops = frame->GetShopList();
  EXPECT_EQ(shops.RecordCount(), 3);
  const int reads = cache->ReadCount();
  EXPECT_EQ(&frame->GetShopList(), &shops);
  EXPECT_EQ(cache->ReadCount(), reads);
  UserInfo->SetDefaultShopID(std::to_string(shop.Branches[1]));
  EXPECT_EQ(frame->GetBandList().RecordCount(), 2);
  TClientDataSet taxes;
  frame->GET_DICT_TAX_TYPE(taxes);
  ASSERT_EQ(taxes.RecordCount(), 2);
  EXPECT_EQ(taxes.FieldByName("F_ID").AsInteger(), 1);
  EXPECT_THROW(frame->GetDict_ConvetCodeToID(taxes, "1 OR 1 = 1"), Exception);
  UserInfo->SetDefaultShopID("");
  EXPECT_THROW(frame->GetBandList(), Exception);
}

TEST_F(RecordEditorsTest, HelpersOfTheApplicationsEditors) {
  EXPECT_EQ(TFrmBaseDataEditor::SbcToDbc("ＡＢＣ　１２３，手机"), "ABC 123,手机");
  TClientDataSet colors;
  db->OpenDataSet(colors, "SELECT F_NAME FROM TB_PRODUCT_COLOR ORDER BY F_CODE");
  std::vector<std::string> names{"全部"};
  TFrmBaseDataEditor::DataSetFillList(colors, "F_NAME", names);
  EXPECT_EQ(names, (std::vector<std::string>{"全部", "黑色", "白色", "金色", "蓝色"}));
  TFrmColorEditor* editor = ColorEditor();
  auto* box = new TLookupComboBox(editor);
  box->KeyFieldNames = "F_ID";
  box->ListFieldNames = "F_NAME";
  editor->GetLookupData(*box, "SELECT F_ID, F_NAME FROM TB_PRODUCT_COLOR ORDER BY F_CODE");
  box->SelectListRow(1);
  EXPECT_EQ(box->Text(), "白色");
  EXPECT_EQ(box->EditValue().AsInt64(), shop.Colors[1]);
}

TEST_F(RecordEditorsTest, EditorClassesAreKnownByNameWhileThePackageIsLoaded) {
  for (const char* name : {"TFrmBaseEditor", "TFrmBaseDBGridEditor", "TFrmBaseDataEditor", "TFrmBaseDlgEditor",
                           "TFrameBase", "TFrameBaseEditor"}) {
    TComponent* made = CreateComponentByClassName(name, &Application());
    EXPECT_EQ(made->ClassName(), name);
  }
  PackageShutdown();
  EXPECT_EQ(FindClass("TFrmBaseDBGridEditor"), nullptr);
  EXPECT_EQ(FindClass("TFrameBaseEditor"), nullptr);
}

}  // namespace
}  // namespace jxc
