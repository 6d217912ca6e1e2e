#include "editors/UnitEditorUtils.h"

#include <utility>

#include "foundation/DBIntf.h"
#include "foundation/DialogIntf.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"

namespace jxc {

namespace {

constexpr double kTipSeconds = 1.5;

// Restores a client dataset's change logging and new-record handler however the work ends.
class TUnloggedWork {
 public:
  explicit TUnloggedWork(TClientDataSet& dataSet)
      : dataSet_(dataSet), logChanges_(dataSet.LogChanges), onNewRecord_(std::move(dataSet.OnNewRecord)) {
    dataSet_.LogChanges = false;
    dataSet_.OnNewRecord = nullptr;
  }
  ~TUnloggedWork() {
    dataSet_.LogChanges = logChanges_;
    dataSet_.OnNewRecord = std::move(onNewRecord_);
  }
  TUnloggedWork(const TUnloggedWork&) = delete;
  TUnloggedWork& operator=(const TUnloggedWork&) = delete;

 private:
  TClientDataSet& dataSet_;
  bool logChanges_;
  TDataSet::DataSetHandler onNewRecord_;
};

}  // namespace

void ShowErrorMessage(IDialog* dialog, const std::string& text) {
  if (!dialog) throw Exception(text);
  dialog->ShowError(text);
}

void ShowWarningMessage(IDialog* dialog, const std::string& text) {
  if (!dialog) throw Exception(text);
  dialog->ShowWarning(text);
}

void ShowInfoMessage(IDialog* dialog, const std::string& text) {
  if (dialog) dialog->ShowInfo(text);
}

void ShowTipMessage(IDialog* dialog, const std::string& text) {
  if (dialog) dialog->ShowTip(text, kTipSeconds);
}

bool ConfirmMessage(IDialog* dialog, const std::string& caption, const std::string& text) {
  return dialog && dialog->Confirm(caption, text);
}

std::string SaveFailureText(std::string_view reason) { return "保存失败\r\n失败原因：" + std::string(reason); }

std::string QueryFailureText(std::string_view reason) { return "查询失败\r\n失败原因：" + std::string(reason); }

Variant LargeIntValue(const TDataSet& record, std::string_view fieldName) {
  const TField* field = record.FindField(fieldName);
  if (!field || field->IsNull()) return Variant::Null();
  return Variant(static_cast<long long>(field->AsLargeInt()));
}

void FillNewRecordDefaults(TDataSet& record, IDBAccess& db, const std::string& caption, const std::string& updateTable) {
  if (TField* status = record.FindField("F_STATUS")) {
    if (status->DataType() == ftBoolean) status->SetAsBoolean(false);
    else status->SetAsInteger(0);
  }
  if (TField* parent = record.FindField("F_PARENTID")) parent->SetAsString("0");
  if (TField* code = record.FindField("F_CODE")) code->SetAsString(db.GetNewCode(TPYHelper::GetShort(caption, false)));
  if (TField* id = record.FindField("F_ID")) id->SetAsString(db.GetNewID(updateTable));
}

void RemoveDeletedRecord(TClientDataSet& dataSet) {
  if (!dataSet.Active()) return;
  if (dataSet.State() == dsEdit || dataSet.State() == dsInsert) dataSet.Cancel();
  if (dataSet.IsEmpty()) return;
  if (dataSet.UpdateStatus() != usUnmodified) {
    // Its pending change is replaced by a delete, or, for a row never saved, by nothing at all.
    dataSet.Delete();
    return;
  }
  TUnloggedWork unlogged(dataSet);
  dataSet.Delete();
}

void AppendSavedRecord(TClientDataSet& dataSet, const TDataSet& source) {
  TUnloggedWork unlogged(dataSet);
  dataSet.Append();
  try {
    for (int i = 0; i < source.FieldCount(); ++i) {
      const TField& from = source.Fields(i);
      TField* to = dataSet.FindField(from.FieldName());
      if (to && to->FieldKind == fkData && !to->ReadOnly) to->SetValue(from.Value());
    }
    dataSet.Post();
  } catch (...) {
    dataSet.Cancel();
    throw;
  }
}

}  // namespace jxc
