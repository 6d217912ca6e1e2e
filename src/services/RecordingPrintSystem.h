#pragma once
// A print system that prints nothing and remembers every design and print request with its arguments.

#include <string>
#include <vector>

#include "foundation/HostServicesIntf.h"

namespace jxc {

class TRecordingPrintSystem : public IPrintSystem {
 public:
  void DesignReport(const std::string& templatePath, const std::string& billID, int billKind,
                    const std::string& fileName, int listIndex) override;
  void PrintReport(const std::string& templatePath, const std::string& billID, int billKind,
                   const std::string& fileName, int listIndex) override;

  struct TRequest {
    bool Design;  // false: print
    std::string TemplatePath;
    std::string BillID;
    int BillKind;
    std::string FileName;
    int ListIndex;
  };
  const std::vector<TRequest>& Requests() const { return requests_; }
  void Clear() { requests_.clear(); }

 private:
  std::vector<TRequest> requests_;
};

}  // namespace jxc
