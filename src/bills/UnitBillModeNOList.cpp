#include "bills/UnitBillModeNOList.h"

#include "platform/DataSet.h"
#include "platform/Exceptions.h"

namespace jxc {

void TModeNOList::Check(const std::string& modeNO, bool add) {
  if (modeNO.empty()) return;
  if (Contains(modeNO)) throw Exception("手机串码/卡号[" + modeNO + "]重复");
  if (add) items_.insert(modeNO);
}

void TModeNOList::Add(const std::string& modeNO) {
  if (!modeNO.empty()) items_.insert(modeNO);
}

void TModeNOList::Rebuild(const TDataSet& detail) {
  items_.clear();
  const TField* field = detail.Active() ? detail.FindField("F_MODE_NO") : nullptr;
  if (!field) return;
  const bool editing = detail.State() == dsEdit;
  const int current = editing ? detail.RecNo() - 1 : -1;
  const int rows = detail.RecordCount();
  for (int row = 0; row < rows; ++row) {
    if (row == current) continue;
    const Variant value = detail.RowValue(row, field->Index());
    if (!value.IsNullOrEmpty()) Add(value.ToString());
  }
  if (editing || detail.State() == dsInsert) Add(field->AsString());
}

}  // namespace jxc
