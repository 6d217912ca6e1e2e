// A screen's configuration read from its function row in the local configuration database.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/UnitFunctionConfig.h"
#include "foundation/UnitSysParams.h"
#include "services/SQLiteLocalDB.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/RtcRecord.h"

namespace jxc {
namespace {

// The local database, remembering every statement it was sent.
class TRecordingLocalDB : public ILocalDB {
 public:
  TRecordingLocalDB() : local_(":memory:") {
    local_.ExecSQL(
        "CREATE TABLE TB_SYS_FUNCTION (F_ID BIGINT PRIMARY KEY, F_CODE VARCHAR(20), F_NAME VARCHAR(50), F_PY VARCHAR(50),"
        " F_PARENTID BIGINT, F_ClassName VARCHAR(50), F_FormType INT, F_TableName VARCHAR(50), F_DATA VARCHAR(50),"
        " F_SORT_FIELD VARCHAR(50), F_GRID_NAME VARCHAR(50), F_UI_CONFIG TEXT)");
  }
  std::unique_ptr<TClientDataSet> OpenDataSet(TComponent* owner, const std::string& sql) override {
    statements.push_back(sql);
    return local_.OpenDataSet(owner, sql);
  }
  std::unique_ptr<TClientDataSet> OpenTable(TComponent* owner, const std::string& table,
                                            const std::string& condition) override {
    return local_.OpenTable(owner, table, condition);
  }
  void AddFunction(int id, const std::string& name, const char* config) {
    std::string value = "NULL";
    if (config) {
      value = "'";
      for (const char* c = config; *c; ++c) value += *c == '\'' ? std::string("''") : std::string(1, *c);
      value += "'";
    }
    std::string quotedName;
    for (char c : name) quotedName += c == '\'' ? std::string("''") : std::string(1, c);
    local_.ExecSQL("INSERT INTO TB_SYS_FUNCTION VALUES (" + std::to_string(id) + ", 'F" + std::to_string(id) + "', '" +
                   quotedName + "', 'py', 0, 'TFrmX', 1, 'TB_IN_STOCK', 'InStock', 'F_CODE', 'grid" +
                   std::to_string(id) + "', " + value + ")");
  }
  std::vector<std::string> statements;

 private:
  TSQLiteLocalDB local_;
};

constexpr const char* kInStockConfig = R"({
  "SCRIPT": 12,
  "UI_LEFT_CONFIG": {"STATUS": "on", "CLASS_NAME": "TFrameShopTree", "WIDTH": 180, "FILTER": "F_STATUS = 0"},
  "UI_TOP_CONFIG": {"STATUS": "On", "CLASS_NAME": "TNotApplied"},
  "UI_RIGHT_CONFIG": {"STATUS": "off", "WIDTH": 99},
  "UI_BOTTOM_CONFIG": {"CLASS_NAME": "TNoStatus"},
  "UI_EDITOR_CONFIG": {"STATUS": "on", "CLASS_NAME": "TFrmInStockEditor", "HEIGHT": 300},
  "UI_QUERY_CONFIG": {"STATUS": "on", "GRID_NAME": 7, "QUERY_CONFIG": "入库", "CAN_SELECT": true, "HEIGHT": 40,
                      "DIM_CONFIG": "not for editors"},
  "BILL_CONFIG": {"STATUS": "on", "BILL_TYPE": 3, "AUDIT_CALL": "PROC_AUDIT_IN", "UN_AUDIT_CALL": "PROC_UNAUDIT_IN"},
  "UI_DETAIL_CONFIG": {"STATUS": "on", "PARAMS": {
      "明细": {"STATUS": "on", "PAGE": 1, "DATASET": "cdsDetail", "DISPLAY": 5, "FOREIGNKEY": "F_BILL_ID", "KIND": 2},
      "串码": {"STATUS": "on", "PAGE": 2, "DATASET": "cdsModeNO"}}}
})";

TEST(FunctionConfig, TheRowAndItsDocumentFillTheParameterBlock) {
  TRecordingLocalDB local;
  local.AddFunction(1, "采购入库单", kInStockConfig);
  const TFunctionConfig config = ReadFunctionConfig(local, nullptr, "采购入库单");
  ASSERT_EQ(local.statements.size(), 1u);
  EXPECT_EQ(local.statements[0],
            "SELECT F_ID, F_CODE, F_NAME, F_PARENTID,  F_ClassName, F_FormType, F_TableName, F_DATA, F_SORT_FIELD, "
            "F_GRID_NAME,F_UI_CONFIG   FROM TB_SYS_FUNCTION WHERE F_NAME = '采购入库单'");
  ASSERT_TRUE(config.Found);
  const TFormParams& p = config.Params;
  EXPECT_EQ(p.F_ID, "1");
  EXPECT_EQ(p.F_CODE, "F1");
  EXPECT_EQ(p.F_GridConfig, "grid1");
  EXPECT_EQ(p.F_Data, "InStock");
  EXPECT_EQ(p.F_UpdateTable, "TB_IN_STOCK");
  EXPECT_EQ(config.SortField, "F_CODE");
  EXPECT_EQ(p.F_SCRIPT_NAME, "12") << "SCRIPT is read as text";

  EXPECT_EQ(p.F_UI_Left_Config.F_CLASS_NAME, "TFrameShopTree");
  EXPECT_EQ(p.F_UI_Left_Config.F_WIDTH, 180);
  EXPECT_EQ(p.F_UI_Left_Config.F_FILTER, "F_STATUS = 0");
  EXPECT_EQ(p.F_UI_Top_Config, TUIConfig{}) << "\"On\" is not \"on\"";
  EXPECT_EQ(p.F_UI_Right_Config, TUIConfig{}) << "\"off\"";
  EXPECT_EQ(p.F_UI_Bottom_Config, TUIConfig{}) << "no STATUS";
  EXPECT_EQ(p.F_UI_Editor_Config.F_HEIGHT, 300);

  EXPECT_EQ(p.F_QUERY_CONFIG.F_GRID_CONFIG, "7") << "GRID_NAME is read as text";
  EXPECT_EQ(p.F_QUERY_CONFIG.F_QUERY_CONFIG, "入库");
  EXPECT_TRUE(p.F_QUERY_CONFIG.F_CAN_SELECT);
  EXPECT_EQ(p.F_QUERY_CONFIG.F_HEIGHT, 0) << "editors do not read HEIGHT";
  EXPECT_EQ(p.F_QUERY_CONFIG.F_DIM_CONFIG, "");

  EXPECT_EQ(p.F_BILL_CONFIG.F_BILL_TYPE, 3);
  EXPECT_EQ(p.F_BILL_CONFIG.F_AUDIT_CALL, "PROC_AUDIT_IN");
  EXPECT_EQ(p.F_BILL_CONFIG.F_UN_AUDIT_CALL, "PROC_UNAUDIT_IN");
  EXPECT_EQ(p.F_BILL_CONFIG.F_AUDIT_PROC, "");

  EXPECT_EQ(p.F_DETAIL_CONFIG.F_PAGE, 1) << "only the first page of PARAMS";
  EXPECT_EQ(p.F_DETAIL_CONFIG.F_DATASET_NAME, "cdsDetail");
  EXPECT_EQ(p.F_DETAIL_CONFIG.F_DISPLAY, "5");
  EXPECT_EQ(p.F_DETAIL_CONFIG.F_FOREIGN_KEY, "F_BILL_ID");
  EXPECT_EQ(p.F_DETAIL_CONFIG.F_KIND, 2);
}

TEST(FunctionConfig, NoRowNullOrBlankConfigurationAndAQuotedCaption) {
  TRecordingLocalDB local;
  local.AddFunction(2, "老板's 报表", nullptr);
  local.AddFunction(3, "空配置", "   ");

  const TFunctionConfig missing = ReadFunctionConfig(local, nullptr, "没有的窗口");
  EXPECT_FALSE(missing.Found);
  EXPECT_EQ(missing.Params, TFormParams{});

  const TFunctionConfig quoted = ReadFunctionConfig(local, nullptr, "老板's 报表");
  EXPECT_EQ(local.statements.back(), FunctionLookupSQL("老板's 报表"));
  EXPECT_EQ(FunctionLookupSQL("老板's 报表").rfind(" WHERE F_NAME = '老板''s 报表'"),
            FunctionLookupSQL("老板's 报表").size() - std::string(" WHERE F_NAME = '老板''s 报表'").size());
  ASSERT_TRUE(quoted.Found);
  TFormParams columnsOnly;
  columnsOnly.F_ID = "2";
  columnsOnly.F_CODE = "F2";
  columnsOnly.F_GridConfig = "grid2";
  columnsOnly.F_Data = "InStock";
  columnsOnly.F_UpdateTable = "TB_IN_STOCK";
  EXPECT_EQ(quoted.Params, columnsOnly);
  EXPECT_TRUE(ReadFunctionConfig(local, nullptr, "空配置").Found);
}

TEST(FunctionConfig, MalformedConfigurationNamesTheScreenAndFillsNothing) {
  TRecordingLocalDB local;
  local.AddFunction(4, "零售单", R"({"UI_LEFT_CONFIG": {"STATUS": "on", "WIDTH": 1,)");
  try {
    ReadFunctionConfig(local, nullptr, "零售单");
    FAIL() << "malformed configuration was accepted";
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("零售单"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ParseScreenConfig("[1, 2]", "零售单"), EConvertError);
}

TEST(FunctionConfig, ADeeplyNestedConfigurationIsRefusedNamingTheScreen) {
  std::string deep = R"({"UI_LEFT_CONFIG": {"STATUS": "on", "WIDTH": )";
  deep += std::string(100000, '[') + std::string(100000, ']') + "}}";
  for (auto parse : {+[](const std::string& json) { ParseScreenConfig(json, "零售单"); },
                     +[](const std::string& json) { ParseQueryScreenConfig(json, "零售单"); }}) {
    try {
      parse(deep);
      ADD_FAILURE() << "a configuration nested 100000 levels deep was accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()),
                "[零售单]的界面配置F_UI_CONFIG格式错误：Invalid JSON: objects and arrays nested deeper than 256 levels");
    }
  }
}

TEST(FunctionConfig, TheDataEditorReadsPinyinAndQueryScreensTheirOwnKeys) {
  TRecordingLocalDB local;
  local.AddFunction(5, "商品资料", kInStockConfig);
  const TFunctionConfig editor = ReadFunctionConfig(local, nullptr, "商品资料", TFunctionLookup::DataEditor);
  EXPECT_EQ(local.statements.back().rfind("SELECT F_ID, F_CODE, F_NAME, F_PY,  F_PARENTID,  F_ClassName", 0), 0u);
  EXPECT_EQ(editor.PY, "py");
  EXPECT_EQ(editor.Params.F_UI_Left_Config, TUIConfig{}) << "the data editor keeps to the columns";

  const TQueryScreenConfig query = ReadQueryScreenConfig(local, nullptr, "商品资料");
  EXPECT_EQ(local.statements.back(), "SELECT F_UI_CONFIG FROM TB_SYS_FUNCTION WHERE F_NAME = '商品资料'");
  EXPECT_TRUE(query.Found);
  EXPECT_EQ(query.QueryConfig.F_HEIGHT, 40);
  EXPECT_EQ(query.QueryConfig.F_DIM_CONFIG, "not for editors");
  EXPECT_EQ(query.QueryConfig.F_KIND, 3);
  EXPECT_EQ(query.ShowQueryConfig, false);
  EXPECT_FALSE(query.DetailSQL.has_value());

  const TQueryScreenConfig kindOnly = ParseQueryScreenConfig(R"({"BILL_CONFIG": {"STATUS": "off", "BILL_TYPE": 9},
      "DetailSQL": "SELECT 1"})", "x");
  EXPECT_EQ(kindOnly.QueryConfig.F_KIND, 9) << "the bill kind is read whatever the STATUS";
  EXPECT_EQ(kindOnly.DetailSQL, "SELECT 1");
  EXPECT_FALSE(kindOnly.ShowQueryConfig.has_value());

  EXPECT_EQ(ReadFunctionTableName(local, nullptr, "商品资料"), "TB_IN_STOCK");
  EXPECT_EQ(local.statements.back(), "SELECT F_TABLENAME FROM TB_SYS_FUNCTION WHERE F_NAME = '商品资料'");
  EXPECT_EQ(ReadFunctionTableName(local, nullptr, "没有"), "");
}

}  // namespace
}  // namespace jxc
