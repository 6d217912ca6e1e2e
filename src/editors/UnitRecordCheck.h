#pragma once
// The checks a master record passes before it is saved, shared by the editor frames, the grid screens and
// the record editors:
//   1. a record with F_NAME needs a name that is not blank; the name is stored trimmed with its ASCII
//      letters in upper case, and no other row of the table may hold it (the database compares without
//      case and surrounding blanks); a blank F_PY takes the name's pinyin initials;
//   2. the fields that the screen's function marks mandatory in TB_SYS_FIELD_LIST (F_CONTROL 1, F_MID the
//      function's F_ID) may not be null or blank; all empty ones are named in one message, in the order of
//      the constraint rows, and the focus goes to the last of them.
// A refusal shows its message through the dialog service and ends in a silent abort, leaving the record
// where it is (in edit when its name was being normalised).

#include <functional>
#include <string>
#include <vector>

namespace jxc {

class IDBAccess;
class IDialog;
class ILocalDB;
class TComponent;
class TDataSet;
class TField;

inline constexpr const char* kFieldConstraintsSQL =
    "SELECT F_ID, F_CONSTRAINTS_MESSAGE, F_NAME FROM TB_SYS_FIELD_LIST WHERE F_CONTROL = 1 AND F_MID =";

struct TFieldConstraint {
  std::string FieldName;  // F_NAME: the dataset field checked
  std::string Label;      // F_CONSTRAINTS_MESSAGE: how the message names it
};

// The statement that reads the mandatory fields of a function: the text above followed directly by the
// function's identifier (decimal, 64-bit).
std::string FieldConstraintsSQL(const std::string& functionID);

// The mandatory fields of the function, in row order, read through the local database with the screen as
// owner. An identifier that is empty or not a whole number raises Exception naming the screen's caption:
// without it the mandatory fields cannot be known, and a check that found none would pass records it
// ought to refuse.
std::vector<TFieldConstraint> LoadFieldConstraints(ILocalDB& local, TComponent* owner, const std::string& functionID,
                                                   const std::string& caption);

// The complaint about the record's current row: for each constraint whose field the record has and whose
// value is null or blank, the label + "不能为空,请重新输入" + LF + CR; "" when every field is filled.
// lastEmpty receives the last empty field (null when none).
std::string EmptyFieldsMessage(const TDataSet& record, const std::vector<TFieldConstraint>& constraints,
                               TField** lastEmpty = nullptr);

class TRecordCheck {
 public:
  struct TSettings {
    IDBAccess* DBAccess = nullptr;  // for the name test
    IDialog* Dialog = nullptr;      // for the messages
    ILocalDB* LocalDB = nullptr;    // for the constraints
    TComponent* Owner = nullptr;    // the screen asking
    std::string Caption;            // the screen's caption
    std::string FunctionID;         // the screen's function (TB_SYS_FUNCTION.F_ID)
    std::string UpdatingTable;      // the table whose names must not repeat
  };
  explicit TRecordCheck(TSettings settings);

  // Moves the focus to a field that failed; the field's own control by default.
  std::function<void(TField& field)> OnFocusField;

  // Checks the record's current row: name first, then the row is posted when it is being edited, then
  // the mandatory fields. Refuses as described at the top of this unit. The constraints are read on the
  // first check and kept for the next rows.
  void Check(TDataSet& record);

 private:
  void CheckName(TDataSet& record);
  const std::vector<TFieldConstraint>& Constraints();

  TSettings settings_;
  std::vector<TFieldConstraint> constraints_;
  bool loaded_ = false;
};

}  // namespace jxc
