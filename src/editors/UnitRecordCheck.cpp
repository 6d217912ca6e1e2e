#include "editors/UnitRecordCheck.h"

#include <memory>
#include <optional>
#include <utility>

#include "editors/UnitEditorUtils.h"
#include "foundation/DBIntf.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

bool IsBlank(const TField& field) { return field.IsNull() || Trim(field.AsString()).empty(); }

}  // namespace

std::string FieldConstraintsSQL(const std::string& functionID) { return kFieldConstraintsSQL + functionID; }

std::vector<TFieldConstraint> LoadFieldConstraints(ILocalDB& local, TComponent* owner, const std::string& functionID,
                                                   const std::string& caption) {
  const std::optional<int64_t> id = TryStrToInt64(functionID);
  if (!id) throw Exception("没有找到[" + caption + "]的功能配置, 无法检查必填项");
  std::unique_ptr<TClientDataSet> rows = local.OpenDataSet(owner, FieldConstraintsSQL(IntToStr(*id)));
  std::vector<TFieldConstraint> constraints;
  if (!rows || !rows->Active()) return constraints;
  const TField& name = rows->FieldByName("F_NAME");
  const TField& label = rows->FieldByName("F_CONSTRAINTS_MESSAGE");
  for (rows->First(); !rows->Eof(); rows->Next()) constraints.push_back({Trim(name.AsString()), label.AsString()});
  rows->Close();
  return constraints;
}

std::string EmptyFieldsMessage(const TDataSet& record, const std::vector<TFieldConstraint>& constraints,
                               TField** lastEmpty) {
  std::string message;
  if (lastEmpty) *lastEmpty = nullptr;
  for (const TFieldConstraint& constraint : constraints) {
    TField* field = record.FindField(constraint.FieldName);
    if (!field || !IsBlank(*field)) continue;
    message += constraint.Label + "不能为空,请重新输入" + "\n\r";
    if (lastEmpty) *lastEmpty = field;
  }
  return message;
}

TRecordCheck::TRecordCheck(TSettings settings) : settings_(std::move(settings)) {}

const std::vector<TFieldConstraint>& TRecordCheck::Constraints() {
  if (!loaded_) {
    if (!settings_.LocalDB) throw Exception("没有本地配置服务, 无法检查[" + settings_.Caption + "]的必填项");
    constraints_ = LoadFieldConstraints(*settings_.LocalDB, settings_.Owner, settings_.FunctionID, settings_.Caption);
    loaded_ = true;
  }
  return constraints_;
}

void TRecordCheck::CheckName(TDataSet& record) {
  TField* name = record.FindField("F_NAME");
  if (!name) return;
  const std::string normalised = UpperCase(Trim(name->AsString()));
  if (normalised.empty()) {
    ShowErrorMessage(settings_.Dialog, "名称不能为空");
    Abort();
  }
  // Written only when it changes, so a record in browse is not put into edit for nothing.
  if (name->IsNull() || name->AsString() != normalised) {
    if (record.State() == dsBrowse) record.Edit();
    name->SetAsString(normalised);
  }
  // A record without pinyin initials gets those of its name, so that searches by initials find it.
  TField* initials = record.FindField("F_PY");
  if (initials && Trim(initials->AsString()).empty()) {
    if (record.State() == dsBrowse) record.Edit();
    initials->SetAsString(TPYHelper::GetShort(normalised, true));
  }
  if (!settings_.DBAccess) throw Exception("没有数据库服务, 无法检查名称是否重复");
  const TField* id = record.FindField("F_ID");
  if (settings_.DBAccess->NameExists(settings_.UpdatingTable, id ? id->AsString() : std::string(), normalised)) {
    ShowErrorMessage(settings_.Dialog, "[" + normalised + "]名称重复,请重新输入");
    Abort();
  }
}

void TRecordCheck::Check(TDataSet& record) {
  CheckName(record);
  if (record.State() == dsEdit || record.State() == dsInsert) record.Post();
  TField* lastEmpty = nullptr;
  const std::string message = EmptyFieldsMessage(record, Constraints(), &lastEmpty);
  if (message.empty()) return;
  ShowErrorMessage(settings_.Dialog, "保存失败\r\n" + message);
  if (lastEmpty) {
    if (OnFocusField) OnFocusField(*lastEmpty);
    else lastEmpty->FocusControl();
  }
  Abort();
}

}  // namespace jxc
