// The print preview through a spreadsheet program: which programs start, and the LibreOffice stand-in's
// PDF when LibreOffice is installed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/ExportCheck.h"
#include "platform/Desktop.h"
#include "platform/OfficeConversion.h"
#include "platform/SpreadsheetAutomation.h"
#include "platform/XlsWriter.h"
#include "support/ExportSample.h"

namespace jxc {
namespace {

// PATH narrowed to one folder for the lifetime of the guard.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) : previous_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    setenv("PATH", path.c_str(), 1);
  }
  ~ScopedPath() { setenv("PATH", previous_.c_str(), 1); }

 private:
  std::string previous_;
};

TEST(SpreadsheetPrint, HeaderAndFooterSectionsInTheirOrder) {
  TSheetPageSetup setup;
  setup.CenterHeader = "总店-库存查询";
  setup.LeftFooter = "制单人:张三";
  setup.CenterFooter = "第&P页";
  setup.RightFooter = "打印时间:2025-01-01 09:00:00";
  EXPECT_EQ(PageHeaderCode(setup), "&C总店-库存查询");
  EXPECT_EQ(PageFooterCode(setup), "&L制单人:张三&C第&P页&R打印时间:2025-01-01 09:00:00");
}

TEST(SpreadsheetPrint, WithoutLibreOfficeNoProgramStarts) {
  testing::ScratchFolder empty;
  ScopedPath path(empty.Path().string());
  EXPECT_EQ(SpreadsheetAutomation().CreateApplication("Excel.Application"), nullptr);
  EXPECT_EQ(SpreadsheetAutomation().CreateApplication("et.Application"), nullptr);
}

TEST(SpreadsheetPrint, OnlyInstalledProgramsOfTheRecorderStart) {
  TRecordingSpreadsheetAutomation automation;
  automation.Install("et.Application");
  SetSpreadsheetAutomation(&automation);
  EXPECT_EQ(SpreadsheetAutomation().CreateApplication("Excel.Application"), nullptr);
  auto app = SpreadsheetAutomation().CreateApplication("et.Application");
  SetSpreadsheetAutomation(nullptr);
  ASSERT_NE(app, nullptr);
  app->OpenWorkbook("/tmp/a.xls");
  app->SetSaved(true);
  EXPECT_EQ(automation.Requested(), (std::vector<std::string>{"Excel.Application", "et.Application"}));
  EXPECT_EQ(automation.Operations(), (std::vector<std::string>{"OpenWorkbook", "SetSaved"}));
  EXPECT_EQ(automation.Calls()[1].Argument, "1");
}

// Every printed page of the PDF carries the header and the footers with its own page number.
void ExpectHeadedAndFootedPages(const std::string& pdf, const std::string& header, const std::string& footer) {
  std::vector<std::string> pages = testing::PdfPageTexts(pdf);
  ASSERT_GT(pages.size(), 2u) << "a table of several pages";
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_NE(pages[p].find(header), std::string::npos) << "page " << p + 1;
    EXPECT_NE(pages[p].find(footer), std::string::npos) << "page " << p + 1;
    EXPECT_NE(pages[p].find("第" + std::to_string(p + 1) + "页"), std::string::npos) << "page " << p + 1;
  }
}

// Runs only where LibreOffice is installed: the preview is a PDF beside the workbook, opened by the shell,
// with the page setup on every page, and the workbook itself keeps its cells without the page setup.
TEST(SpreadsheetPrint, LibreOfficeTurnsTheWorkbookIntoAPdfPreviewHeadedOnEveryPage) {
  auto app = SpreadsheetAutomation().CreateApplication("Excel.Application");
  if (!app) GTEST_SKIP() << testing::kNoOffice;
  if (!testing::PdfTextInstalled()) GTEST_SKIP() << testing::kNoPdfText;
  testing::ScratchFolder folder;
  ExportTable table = testing::MakeStockExportTable(300);
  std::string file = folder.File("print.xls");
  WriteXlsFile(table, file);
  TRecordingShell shell;
  ScopedShell installed(shell);
  app->OpenWorkbook(file);
  TSheetPageSetup setup;
  setup.CenterHeader = "总店-库存查询";
  setup.LeftFooter = "制单人:张三";
  setup.CenterFooter = "第&P页";
  app->SetPageSetup(setup);
  app->PrintPreview();
  ASSERT_EQ(shell.Opened().size(), 1u);
  EXPECT_EQ(shell.Opened()[0], folder.File("print.pdf"));
  ExpectHeadedAndFootedPages(folder.File("print.pdf"), "总店-库存查询", "制单人:张三");
  EXPECT_EQ(testing::CheckExport("xls", file, table), "OK 3000 sheets 1");
}

// An exported workbook written with a page setup prints it on every page too.
TEST(SpreadsheetPrint, AnExportedWorkbookPrintsItsPageSetupOnEveryPage) {
  const std::string program = FindOfficeProgram();
  if (program.empty()) GTEST_SKIP() << testing::kNoOffice;
  if (!testing::PdfTextInstalled()) GTEST_SKIP() << testing::kNoPdfText;
  testing::ScratchFolder folder;
  std::string file = folder.File("库存.xls");
  WriteXlsFile(testing::MakeStockExportTable(300), file, {"&C中山路店-库存查询", "&L制单人:李四&C第&P页"});
  OfficeConversion how;
  how.Target = "pdf";
  how.TimeoutSeconds = 180;
  ASSERT_TRUE(ConvertWithOffice(program, {file}, folder.Path().string(), how));
  ExpectHeadedAndFootedPages(folder.File("库存.pdf"), "中山路店-库存查询", "制单人:李四");
}

}  // namespace
}  // namespace jxc
