#pragma once
// Driving a spreadsheet program from outside, as automation does on the desktop: start the program by its
// program identifier ("Excel.Application", "et.Application"), open a workbook, set the active sheet's page
// header and footers, show the print preview, mark the workbook saved, close it and quit.
//
// The installed factory decides which programs exist. The default knows LibreOffice: when `soffice` is on
// PATH it answers both identifiers with a stand-in that turns the workbook, with the page setup applied to
// a copy, into a PDF next to it and opens that as the print preview. Without it no program starts. Tests
// install a recording factory.

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace jxc {

// The texts of the page header and footers; "&P" stands for the page number.
struct TSheetPageSetup {
  std::string LeftHeader, CenterHeader, RightHeader;
  std::string LeftFooter, CenterFooter, RightFooter;
};

class ISpreadsheetApplication {
 public:
  virtual ~ISpreadsheetApplication() = default;
  virtual void OpenWorkbook(const std::string& fileName) = 0;
  // Applies to the active sheet of the open workbook.
  virtual void SetPageSetup(const TSheetPageSetup& setup) = 0;
  // Returns when the user closes the preview.
  virtual void PrintPreview() = 0;
  virtual void SetSaved(bool saved) = 0;
  virtual void CloseWorkbooks() = 0;
  virtual void Quit() = 0;
};

class ISpreadsheetAutomation {
 public:
  virtual ~ISpreadsheetAutomation() = default;
  // The started program, or null when no program answers to the identifier.
  virtual std::unique_ptr<ISpreadsheetApplication> CreateApplication(const std::string& programId) = 0;
};

// Never null; the setter installs a factory (not owned; nullptr restores the default) and returns the
// previous one.
ISpreadsheetAutomation& SpreadsheetAutomation();
ISpreadsheetAutomation* SetSpreadsheetAutomation(ISpreadsheetAutomation* automation);

// Header and footer in the workbook's code language: "&L" left, "&C" centre, "&R" right sections.
std::string PageHeaderCode(const TSheetPageSetup& setup);
std::string PageFooterCode(const TSheetPageSetup& setup);

// The LibreOffice stand-in (the default factory's program). PrintPreview writes "<workbook>.pdf" and opens
// it through the installed shell; raises Exception "打印预览失败" when the conversion fails or takes longer
// than the time allowed (see OfficeConversion.h).
class TLibreOfficeSpreadsheet : public ISpreadsheetApplication {
 public:
  explicit TLibreOfficeSpreadsheet(std::string programPath, int timeoutSeconds = 600)
      : program_(std::move(programPath)), timeoutSeconds_(timeoutSeconds) {}
  void OpenWorkbook(const std::string& fileName) override { workbook_ = fileName; }
  void SetPageSetup(const TSheetPageSetup& setup) override { setup_ = setup; }
  void PrintPreview() override;
  void SetSaved(bool) override {}
  void CloseWorkbooks() override { workbook_.clear(); }
  void Quit() override {}
  // The preview of the last PrintPreview.
  const std::string& PreviewFile() const { return preview_; }

 private:
  std::string program_, workbook_, preview_;
  int timeoutSeconds_;
  TSheetPageSetup setup_;
};

// Records every call of the programs it starts. Only the identifiers it is told about start.
class TRecordingSpreadsheetAutomation : public ISpreadsheetAutomation {
 public:
  struct Call {
    std::string ProgramId;
    std::string Operation;  // "OpenWorkbook", "SetPageSetup", "PrintPreview", "SetSaved", "CloseWorkbooks", "Quit"
    std::string Argument;   // the file name, "1"/"0" for SetSaved
    TSheetPageSetup PageSetup;
  };

  void Install(const std::string& programId) { installed_.insert(programId); }
  std::unique_ptr<ISpreadsheetApplication> CreateApplication(const std::string& programId) override;
  // Identifiers asked for, in order, started or not.
  const std::vector<std::string>& Requested() const { return requested_; }
  const std::vector<Call>& Calls() const { return calls_; }
  // The operations in order, as "OpenWorkbook", "SetPageSetup" ... (arguments left out).
  std::vector<std::string> Operations() const;

 private:
  class Application;
  std::set<std::string> installed_;
  std::vector<std::string> requested_;
  std::vector<Call> calls_;
};

}  // namespace jxc
