#include "platform/SpreadsheetAutomation.h"

#include <filesystem>

#include "platform/Desktop.h"
#include "platform/Exceptions.h"
#include "platform/OfficeConversion.h"
#include "platform/XlsWriter.h"

namespace jxc {

namespace {

std::string Sections(const std::string& left, const std::string& centre, const std::string& right) {
  std::string code;
  if (!left.empty()) code += "&L" + left;
  if (!centre.empty()) code += "&C" + centre;
  if (!right.empty()) code += "&R" + right;
  return code;
}

// Knows LibreOffice under both identifiers when it is installed.
class DefaultAutomation : public ISpreadsheetAutomation {
 public:
  std::unique_ptr<ISpreadsheetApplication> CreateApplication(const std::string& programId) override {
    if (programId != "Excel.Application" && programId != "et.Application") return nullptr;
    std::string program = FindOfficeProgram();
    if (program.empty()) return nullptr;
    return std::make_unique<TLibreOfficeSpreadsheet>(program);
  }
};

ISpreadsheetAutomation* installed = nullptr;

}  // namespace

ISpreadsheetAutomation& SpreadsheetAutomation() {
  static DefaultAutomation fallback;
  return installed ? *installed : fallback;
}

ISpreadsheetAutomation* SetSpreadsheetAutomation(ISpreadsheetAutomation* automation) {
  ISpreadsheetAutomation* previous = installed;
  installed = automation;
  return previous;
}

std::string PageHeaderCode(const TSheetPageSetup& s) { return Sections(s.LeftHeader, s.CenterHeader, s.RightHeader); }
std::string PageFooterCode(const TSheetPageSetup& s) { return Sections(s.LeftFooter, s.CenterFooter, s.RightFooter); }

void TLibreOfficeSpreadsheet::PrintPreview() {
  namespace fs = std::filesystem;
  if (workbook_.empty()) throw Exception("打印预览失败");
  // The page setup goes into a copy: the workbook itself stays as it was written, as an unsaved change would.
  const fs::path source(workbook_);
  const fs::path folder = fs::temp_directory_path() / ("jxc-preview-" + source.stem().string());
  struct RemoveFolder {
    const fs::path& path;
    ~RemoveFolder() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } removeFolder{folder};
  fs::create_directories(folder);
  const fs::path copy = folder / source.filename();
  fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
  SetXlsPageSetup(copy.string(), {PageHeaderCode(setup_), PageFooterCode(setup_)});
  OfficeConversion how;
  how.Target = "pdf";
  how.TimeoutSeconds = timeoutSeconds_;
  if (!ConvertWithOffice(program_, {copy.string()}, folder.string(), how)) throw Exception("打印预览失败");
  const fs::path pdf = ConvertedFileName(copy.string(), folder.string(), how.Target);
  preview_ = (source.parent_path() / pdf.filename()).string();
  fs::copy_file(pdf, preview_, fs::copy_options::overwrite_existing);
  Shell().OpenDocument(preview_);
}

class TRecordingSpreadsheetAutomation::Application : public ISpreadsheetApplication {
 public:
  Application(TRecordingSpreadsheetAutomation& owner, std::string programId)
      : owner_(owner), programId_(std::move(programId)) {}
  void OpenWorkbook(const std::string& fileName) override { Record("OpenWorkbook", fileName); }
  void SetPageSetup(const TSheetPageSetup& setup) override { Record("SetPageSetup", "", setup); }
  void PrintPreview() override { Record("PrintPreview"); }
  void SetSaved(bool saved) override { Record("SetSaved", saved ? "1" : "0"); }
  void CloseWorkbooks() override { Record("CloseWorkbooks"); }
  void Quit() override { Record("Quit"); }

 private:
  void Record(const char* operation, std::string argument = "", TSheetPageSetup setup = {}) {
    owner_.calls_.push_back({programId_, operation, std::move(argument), std::move(setup)});
  }
  TRecordingSpreadsheetAutomation& owner_;
  std::string programId_;
};

std::unique_ptr<ISpreadsheetApplication> TRecordingSpreadsheetAutomation::CreateApplication(const std::string& programId) {
  requested_.push_back(programId);
  if (!installed_.count(programId)) return nullptr;
  return std::make_unique<Application>(*this, programId);
}

std::vector<std::string> TRecordingSpreadsheetAutomation::Operations() const {
  std::vector<std::string> operations;
  for (const auto& call : calls_) operations.push_back(call.Operation);
  return operations;
}

}  // namespace jxc
