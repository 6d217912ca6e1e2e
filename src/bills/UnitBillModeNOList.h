#pragma once
// The serial numbers a bill holds: one entry per unit, sorted. A number already held is refused with
// "手机串码/卡号[" + number + "]重复"; empty numbers are never held.

#include <set>
#include <string>

namespace jxc {

class TDataSet;

class TModeNOList {
 public:
  // Refuses a number already held; otherwise adds it when add is true. An empty number passes.
  void Check(const std::string& modeNO, bool add);
  bool Contains(const std::string& modeNO) const { return items_.count(modeNO) > 0; }
  void Add(const std::string& modeNO);
  void Remove(const std::string& modeNO) { items_.erase(modeNO); }
  void Clear() { items_.clear(); }
  // Every non-empty F_MODE_NO of the dataset's visible rows, the row being edited or appended as it is
  // being edited, without moving the cursor. Nothing when the dataset lacks the field.
  void Rebuild(const TDataSet& detail);

  int Count() const { return static_cast<int>(items_.size()); }
  const std::set<std::string>& Items() const { return items_; }

 private:
  std::set<std::string> items_;
};

}  // namespace jxc
