#include "services/RecordingPrintSystem.h"

namespace jxc {

void TRecordingPrintSystem::DesignReport(const std::string& templatePath, const std::string& billID, int billKind,
                                         const std::string& fileName, int listIndex) {
  requests_.push_back({true, templatePath, billID, billKind, fileName, listIndex});
}

void TRecordingPrintSystem::PrintReport(const std::string& templatePath, const std::string& billID, int billKind,
                                        const std::string& fileName, int listIndex) {
  requests_.push_back({false, templatePath, billID, billKind, fileName, listIndex});
}

}  // namespace jxc
