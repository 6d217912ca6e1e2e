#pragma once
// The host's rights service. A screen's identity is its caption: rights are asked with it.

#include <string>

namespace jxc {

class IGroupRights {
 public:
  static constexpr const char* IID = "{6D828CC4-1AD1-4826-B1B0-2A21AE9A2D42}";
  virtual ~IGroupRights() = default;

  // module = the screen's caption; operation such as "新增", "编辑", "删除", "打印", "导出", "审核", "反审核".
  virtual bool HasRight(const std::string& module, const std::string& operation) = 0;
  // group such as "特殊权限" or a caption; item such as "员工成本" or a field name.
  virtual bool HasItemRight(const std::string& group, const std::string& item) = 0;
  virtual bool CanOpen(const std::string& caption) = 0;
};

}  // namespace jxc
