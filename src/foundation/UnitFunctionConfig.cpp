#include "foundation/UnitFunctionConfig.h"

#include "foundation/HostServicesIntf.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/RtcRecord.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kStatusOn = "on";

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

// The parsed document; malformed text becomes an error that says which screen it belongs to.
TRtcRecord ParseDocument(std::string_view json, std::string_view caption) {
  try {
    return TRtcRecord::FromJSON(json);
  } catch (const Exception& error) {
    throw EConvertError("[" + std::string(caption) + "]的界面配置F_UI_CONFIG格式错误：" + error.Message());
  }
}

bool Applies(const TRtcRecord& object) { return object.AsString("STATUS") == kStatusOn; }

void ReadUIConfig(const TRtcRecord& object, TUIConfig& config) {
  if (!Applies(object)) return;
  config.F_CLASS_NAME = object.AsString("CLASS_NAME");
  config.F_VIEW_DATA = object.AsString("DATA");
  config.F_UPDATE_TABLE = object.AsString("UPDATE_TABLE");
  config.F_FILTER = object.AsString("FILTER");
  config.F_SCRIPT_NAME = object.AsString("SCRIPT");
  config.F_WIDTH = object.AsInteger("WIDTH");
  config.F_HEIGHT = object.AsInteger("HEIGHT");
}

// The query panel. Editor screens read the keys both kinds share; query screens also read DIM_CONFIG and
// HEIGHT. False when the object does not apply.
bool ReadQueryConfig(const TRtcRecord& object, TQueryConfig& config, bool queryScreen) {
  if (!Applies(object)) return false;
  config.F_CLASS_NAME = object.AsString("CLASS_NAME");
  config.F_GRID_CONFIG = object.AsText("GRID_NAME");
  config.F_QUERY_CONFIG = object.AsText("QUERY_CONFIG");
  config.F_DATA = object.AsString("DATA");
  config.F_CAN_SELECT = object.AsBoolean("CAN_SELECT");
  if (queryScreen) {
    config.F_DIM_CONFIG = object.AsText("DIM_CONFIG");
    config.F_HEIGHT = object.AsInteger("HEIGHT");
  }
  return true;
}

void ReadBillConfig(const TRtcRecord& object, TBillConfig& config) {
  if (!Applies(object)) return;
  config.F_BILL_TYPE = object.AsInteger("BILL_TYPE");
  config.F_AUDIT_CALL = object.AsString("AUDIT_CALL");
  // The un-audit call sits beside the audit call under its own key.
  config.F_UN_AUDIT_CALL = object.AsString("UN_AUDIT_CALL");
}

void ReadDetailConfig(const TRtcRecord& object, TUIDetailConfig& config) {
  if (!Applies(object)) return;
  config.F_PAGE = object.AsInteger("PAGE");
  config.F_DATASET_NAME = object.AsString("DATASET");
  config.F_GRID_NAME = object.AsString("GRID_NAME");
  config.F_VIEW_TABLE = object.AsString("VIEW_TABLE");
  config.F_UPDATE_TABLE = object.AsString("UPDATE_TABLE");
  config.F_FOREIGN_KEY = object.AsString("FOREIGNKEY");
  config.F_DISPLAY = object.AsText("DISPLAY");
  config.F_KIND = object.AsInteger("KIND");
}

// Fills the records that the document describes, in the order the screens expect them read.
void ReadDocument(const TRtcRecord& document, TFormParams& params) {
  params.F_SCRIPT_NAME = document.AsText("SCRIPT");
  struct Region {
    const char* key;
    TUIConfig TFormParams::*config;
  };
  static constexpr Region kRegions[] = {
      {"UI_EDITOR_CONFIG", &TFormParams::F_UI_Editor_Config},
      {"UI_LEFT_CONFIG", &TFormParams::F_UI_Left_Config},
      {"UI_TOP_CONFIG", &TFormParams::F_UI_Top_Config},
      {"UI_BOTTOM_CONFIG", &TFormParams::F_UI_Bottom_Config},
      {"UI_RIGHT_CONFIG", &TFormParams::F_UI_Right_Config},
  };
  for (const Region& region : kRegions) {
    if (document.IsObject(region.key)) ReadUIConfig(document.AsRecord(region.key), params.*region.config);
  }
  if (document.IsObject("UI_QUERY_CONFIG")) ReadQueryConfig(document.AsRecord("UI_QUERY_CONFIG"), params.F_QUERY_CONFIG, false);
  if (document.IsObject("BILL_CONFIG")) ReadBillConfig(document.AsRecord("BILL_CONFIG"), params.F_BILL_CONFIG);
  if (document.IsObject("UI_DETAIL_CONFIG")) {
    TRtcRecord detail = document.AsRecord("UI_DETAIL_CONFIG");
    if (Applies(detail) && detail.IsObject("PARAMS")) {
      TRtcRecord pages = detail.AsRecord("PARAMS");
      if (pages.Count() > 0) {
        std::string firstPage = pages.NameAt(0);
        if (pages.IsObject(firstPage)) ReadDetailConfig(pages.AsRecord(firstPage), params.F_DETAIL_CONFIG);
      }
    }
  }
}

// Runs a lookup statement; the dataset is the caller's and is freed when the result goes.
std::unique_ptr<TClientDataSet> Lookup(ILocalDB& localDB, TComponent* owner, const char* statement,
                                       std::string_view caption) {
  return localDB.OpenDataSet(owner, statement + QuotedStr(caption));
}

bool HasRow(const std::unique_ptr<TClientDataSet>& rows) { return rows != nullptr && rows->Active() && !rows->IsEmpty(); }

// The JSON text of F_UI_CONFIG in the current row; "" when null.
std::string ConfigText(const TDataSet& rows) {
  const TField& field = rows.FieldByName("F_UI_CONFIG");
  return field.IsNull() ? std::string() : field.AsString();
}

}  // namespace

std::string FunctionLookupSQL(std::string_view caption, TFunctionLookup kind) {
  const char* statement = kind == TFunctionLookup::DataEditor ? kFunctionLookupWithPYSQL : kFunctionLookupSQL;
  return statement + QuotedStr(caption);
}

TFormParams ParseScreenConfig(std::string_view json, std::string_view caption) {
  TFormParams params;
  if (IsBlank(json)) return params;
  ReadDocument(ParseDocument(json, caption), params);
  return params;
}

TFunctionConfig ReadFunctionConfig(ILocalDB& localDB, TComponent* owner, const std::string& caption,
                                   TFunctionLookup kind) {
  const char* statement = kind == TFunctionLookup::DataEditor ? kFunctionLookupWithPYSQL : kFunctionLookupSQL;
  std::unique_ptr<TClientDataSet> rows = Lookup(localDB, owner, statement, caption);
  TFunctionConfig result;
  if (!HasRow(rows)) return result;
  rows->First();
  if (kind == TFunctionLookup::Editor) result.Params = ParseScreenConfig(ConfigText(*rows), caption);
  result.Found = true;
  result.Params.F_ID = rows->FieldByName("F_ID").AsString();
  result.Params.F_CODE = rows->FieldByName("F_CODE").AsString();
  result.Params.F_GridConfig = rows->FieldByName("F_GRID_NAME").AsString();
  result.Params.F_Data = rows->FieldByName("F_DATA").AsString();
  result.Params.F_UpdateTable = rows->FieldByName("F_TABLENAME").AsString();
  result.SortField = rows->FieldByName("F_SORT_FIELD").AsString();
  if (kind == TFunctionLookup::DataEditor) result.PY = rows->FieldByName("F_PY").AsString();
  rows->Close();
  return result;
}

TQueryScreenConfig ParseQueryScreenConfig(std::string_view json, std::string_view caption) {
  TQueryScreenConfig result;
  if (IsBlank(json)) return result;
  TRtcRecord document = ParseDocument(json, caption);
  if (document.IsObject("BILL_CONFIG")) result.QueryConfig.F_KIND = document.AsRecord("BILL_CONFIG").AsInteger("BILL_TYPE");
  if (document.IsObject("UI_QUERY_CONFIG")) {
    TRtcRecord query = document.AsRecord("UI_QUERY_CONFIG");
    if (ReadQueryConfig(query, result.QueryConfig, true)) result.ShowQueryConfig = query.AsBoolean("ShowQueryConfig");
  }
  if (document.Exists("DetailSQL")) result.DetailSQL = document.AsString("DetailSQL");
  return result;
}

TQueryScreenConfig ReadQueryScreenConfig(ILocalDB& localDB, TComponent* owner, const std::string& caption) {
  std::unique_ptr<TClientDataSet> rows = Lookup(localDB, owner, kQueryScreenConfigSQL, caption);
  if (!HasRow(rows)) return {};
  rows->First();
  TQueryScreenConfig result = ParseQueryScreenConfig(ConfigText(*rows), caption);
  result.Found = true;
  rows->Close();
  return result;
}

std::string ReadFunctionTableName(ILocalDB& localDB, TComponent* owner, const std::string& caption) {
  std::unique_ptr<TClientDataSet> rows = Lookup(localDB, owner, kFunctionTableSQL, caption);
  if (!HasRow(rows)) return {};
  rows->First();
  return rows->FieldByName("F_TABLENAME").AsString();
}

}  // namespace jxc
