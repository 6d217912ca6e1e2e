#pragma once
// Reading a screen's configuration. Every screen has one row in TB_SYS_FUNCTION, found by the screen's
// caption; its columns and the JSON document in F_UI_CONFIG fill the screen's TFormParams.
//
// The document: a top-level object with an optional SCRIPT and the objects UI_EDITOR_CONFIG,
// UI_LEFT_CONFIG, UI_TOP_CONFIG, UI_BOTTOM_CONFIG, UI_RIGHT_CONFIG, UI_QUERY_CONFIG, BILL_CONFIG and
// UI_DETAIL_CONFIG. Each object is applied only when its "STATUS" is exactly "on" (case-sensitive);
// otherwise its record keeps its defaults. UI_DETAIL_CONFIG holds an object PARAMS whose first member,
// itself an object with its own STATUS, describes the detail page. Missing keys read as "", 0 or false.
//
// BILL_CONFIG names the server calls of a bill: "AUDIT_CALL" for the audit and "UN_AUDIT_CALL" for the
// un-audit (both strings), read from the same object at the same moment. F_AUDIT_PROC and F_QUERY_CLASS
// are never read from the configuration.
//
// Malformed JSON raises EConvertError naming the screen's caption; the caller's records are then left
// as they were, since every reader here returns a new value rather than filling one in place.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/UnitPublicUtils.h"

namespace jxc {

class ILocalDB;
class TComponent;

// The statements, each followed by the caption as a quoted SQL literal.
inline constexpr const char* kFunctionLookupSQL =
    "SELECT F_ID, F_CODE, F_NAME, F_PARENTID,  F_ClassName, F_FormType, F_TableName, F_DATA, F_SORT_FIELD, "
    "F_GRID_NAME,F_UI_CONFIG   FROM TB_SYS_FUNCTION WHERE F_NAME = ";
// The data editor's: F_PY added after F_NAME.
inline constexpr const char* kFunctionLookupWithPYSQL =
    "SELECT F_ID, F_CODE, F_NAME, F_PY,  F_PARENTID,  F_ClassName, F_FormType, F_TableName, F_DATA, "
    "F_SORT_FIELD, F_GRID_NAME,F_UI_CONFIG   FROM TB_SYS_FUNCTION WHERE F_NAME = ";
inline constexpr const char* kQueryScreenConfigSQL = "SELECT F_UI_CONFIG FROM TB_SYS_FUNCTION WHERE F_NAME = ";
inline constexpr const char* kFunctionTableSQL = "SELECT F_TABLENAME FROM TB_SYS_FUNCTION WHERE F_NAME = ";

enum class TFunctionLookup {
  Editor,      // the base editor and the bill screens
  DataEditor,  // the data editor: also reads F_PY, keeps only the columns (F_UI_CONFIG is not parsed)
};

// The statement that looks the caption up: the statement text followed by the caption single-quoted with
// embedded quotes doubled.
std::string FunctionLookupSQL(std::string_view caption, TFunctionLookup kind = TFunctionLookup::Editor);

// A screen's function row, read.
struct TFunctionConfig {
  bool Found = false;      // false when no row has the caption: everything below is empty
  TFormParams Params;      // from the columns and from F_UI_CONFIG
  std::string SortField;   // F_SORT_FIELD: when not empty, the sort order of the screen's main dataset
  std::string PY;          // F_PY; read by the data-editor lookup only
};

// Looks the caption up through the local database (the screen as owner) and reads the first row, as the
// base editor does at its initialisation before it runs its region hooks. A caption without a row gives
// Found false and empty records. A null or blank F_UI_CONFIG leaves the records filled from the document
// empty. Malformed JSON in F_UI_CONFIG raises EConvertError naming the caption. Failures of the local
// database propagate. The lookup dataset is freed in every case.
TFunctionConfig ReadFunctionConfig(ILocalDB& localDB, TComponent* owner, const std::string& caption,
                                   TFunctionLookup kind = TFunctionLookup::Editor);

// The records filled from one F_UI_CONFIG document, as ReadFunctionConfig fills them: F_SCRIPT_NAME, the
// five regions, F_QUERY_CONFIG (the editor keys), F_BILL_CONFIG and F_DETAIL_CONFIG; every other field of
// the result keeps its default. Blank text gives an empty block. Malformed text raises EConvertError
// naming the caption.
TFormParams ParseScreenConfig(std::string_view json, std::string_view caption);

// What a query screen reads from its F_UI_CONFIG.
struct TQueryScreenConfig {
  bool Found = false;           // a row has the caption
  TQueryConfig QueryConfig;     // UI_QUERY_CONFIG with the query-screen keys; F_KIND from BILL_CONFIG
  // The boolean "ShowQueryConfig" of UI_QUERY_CONFIG, set whenever that object is applied (false when
  // the key is absent). The screen heeds it only in its first kind of layout and only while it still
  // offers the advanced query.
  std::optional<bool> ShowQueryConfig;
  // The top-level string "DetailSQL", set when the key is present.
  std::optional<std::string> DetailSQL;
};

// The query screen's lookup ("SELECT F_UI_CONFIG FROM TB_SYS_FUNCTION WHERE F_NAME = " + quoted caption).
// UI_QUERY_CONFIG, when its STATUS is "on", gives CLASS_NAME, GRID_NAME (text), DIM_CONFIG (text),
// QUERY_CONFIG (text), DATA, HEIGHT, ShowQueryConfig and CAN_SELECT. The bill kind F_KIND is the integer
// BILL_TYPE of BILL_CONFIG whenever BILL_CONFIG is an object: the bill queries filter their rows by it
// whatever that object's STATUS. Errors as ReadFunctionConfig.
TQueryScreenConfig ReadQueryScreenConfig(ILocalDB& localDB, TComponent* owner, const std::string& caption);
// The same from a document's text (Found stays false).
TQueryScreenConfig ParseQueryScreenConfig(std::string_view json, std::string_view caption);

// The tree editor's lookup: F_TABLENAME of the caption's row; "" when there is none.
std::string ReadFunctionTableName(ILocalDB& localDB, TComponent* owner, const std::string& caption);

}  // namespace jxc
