// Exported files opened in LibreOffice, as the person who receives them would open them, and compared cell
// by cell with what was written. Skipped with a clear line where LibreOffice is not installed.

#include <gtest/gtest.h>

#include "platform/SpreadsheetXmlWriter.h"
#include "platform/TextExport.h"
#include "platform/XlsWriter.h"
#include "services/XlsxWriter.h"
#include "support/ExportCheck.h"
#include "support/ExportSample.h"

namespace jxc {
namespace {

using testing::CheckInOffice;
using testing::ScratchFolder;

// 2,000 rows of 11 columns. No cell may come up as a formula in any format; text stays the text written
// (serial numbers and codes with leading zeros included) in every format but plain text, which leaves the
// spreadsheet to guess and is checked for what it guesses; money keeps four decimals and dates stay dates.
// LibreOffice reads HTML slowly (seconds per thousand rows, and minutes for one cell of tens of thousands
// of Chinese characters, which it lays out as it reads), so the page holds 500 rows without the longest
// remarks; the other formats carry those.
TEST(OfficeOpensExports, EveryFormatShowsTheStockListAsWritten) {
  if (!testing::OfficeInstalled()) GTEST_SKIP() << testing::kNoOffice;
  ScratchFolder folder;
  const ExportTable table = testing::MakeAwkwardStockTable(2000);
  const std::string cells = "OK 22000 sheets 1";
  const ExportTable page = testing::MakeAwkwardStockTable(500, false);

  WriteXlsFile(table, folder.File("库存.xls"));
  EXPECT_EQ(CheckInOffice("xls", folder.File("库存.xls"), table), cells);
  WriteXlsxFile(table, folder.File("库存.xlsx"));
  EXPECT_EQ(CheckInOffice("xlsx", folder.File("库存.xlsx"), table), cells);
  WriteXmlFile(table, folder.File("库存.xml"));
  EXPECT_EQ(CheckInOffice("xml", folder.File("库存.xml"), table), cells);
  WriteHtmlFile(page, folder.File("库存.html"), "库存查询");
  EXPECT_EQ(CheckInOffice("html", folder.File("库存.html"), page), "OK 5500 sheets 1");
  WriteTextFile(table, folder.File("库存.txt"));
  EXPECT_EQ(CheckInOffice("txt", folder.File("库存.txt"), table), cells);
}

}  // namespace
}  // namespace jxc
