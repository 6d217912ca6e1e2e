// Exported files are opened by independent readers and compared cell by cell with the table.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/ExportCheck.h"
#include "platform/CompoundFile.h"
#include "platform/Exceptions.h"
#include "platform/FileOutput.h"
#include "platform/TextExport.h"
#include "platform/XlsWriter.h"
#include "services/XlsxWriter.h"
#include "support/ExportSample.h"

namespace jxc {
namespace {

using testing::CheckExport;
using testing::MakeStockExportTable;
using testing::ScratchFolder;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The sample grid plus rows that stress the string table: one text longer than a cell may hold and one
// long enough to run over several records.
ExportTable StockTableWithLongTexts(size_t rows) {
  ExportTable table = MakeStockExportTable(rows);
  std::string veryLong, long1;
  for (int i = 0; i < 40000; ++i) veryLong += "串";
  for (int i = 0; i < 9000; ++i) long1 += "ab";
  table.AddRow({"A1", veryLong, "黑色", 1, Currency::FromInt(1), Variant(), Variant(), Variant(), Variant(), long1});
  return table;
}

// The same table with the money of row 17 changed: the readers must notice.
ExportTable WithOneCellChanged(const ExportTable& table) {
  ExportTable changed(table.Columns());
  for (size_t r = 0; r < table.RowCount(); ++r) {
    std::vector<Variant> row;
    for (size_t c = 0; c < table.ColumnCount(); ++c) row.push_back(table.Value(r, c));
    if (r == 17) row[5] = Currency::FromRaw(15000);
    changed.AddRow(std::move(row));
  }
  return changed;
}

TEST(ExportFormats, ShownTextFollowsTheColumnFormat) {
  ExportColumn money{"单价", ExportKind::Currency, "#,##0.00"};
  EXPECT_EQ(ExportDisplayText(money, Currency::FromRaw(123455000)), "12,345.50");
  EXPECT_EQ(ExportDisplayText({"成本", ExportKind::Currency}, Currency::FromRaw(31416)), "3.14");
  EXPECT_EQ(ExportDisplayText({"数量", ExportKind::Number}, 2.5), "2.5");
  EXPECT_EQ(ExportDisplayText({"日期", ExportKind::Date}, EncodeDate(2025, 3, 7)), "2025-03-07");
  EXPECT_EQ(ExportDisplayText({"时间", ExportKind::DateTime}, EncodeDateTime(2025, 3, 7, 9, 5, 0, 0)),
            "2025-03-07 09:05:00");
  EXPECT_EQ(ExportDisplayText(money, Variant()), "");
}

TEST(ExportFormats, SpreadsheetCodesQuoteLiteralTextAndUseMinutes) {
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Number, "记录数:#0条"}), "\"记录数:\"#0\"条\"");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Currency, "#,##0.00"}), "#,##0.00");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Currency, ""}), "0.00");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Number, "0.00%"}), "0.00\"%\"");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::DateTime, ""}), "yyyy-mm-dd hh:mm:ss");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Date, "yyyy年mm月dd日"}), "yyyy\"年\"mm\"月\"dd\"日\"");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Text, "0.00"}), "");
  EXPECT_EQ(SpreadsheetFormatCode({"c", ExportKind::Number, ""}), "");
}

TEST(XlsExport, EveryCellReadsBackWithItsTypeAndFormat) {
  ScratchFolder folder;
  ExportTable table = StockTableWithLongTexts(600);
  std::string file = folder.File("库存.xls");
  WriteXlsFile(table, file);
  EXPECT_EQ(CheckExport("xls", file, table), "OK 6010 sheets 1");
  EXPECT_EQ(CheckExport("xls", file, WithOneCellChanged(table)), "row 17 col 5: expected number 1.5, got number 6048.51");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST(XlsExport, LongTablesGoOnToFurtherSheetsWithTheCaptionsAgain) {
  ScratchFolder folder;
  ExportTable table({{"串码", ExportKind::Text}, {"数量", ExportKind::Number}});
  for (int r = 0; r < 70000; ++r) table.AddRow({"SN" + std::to_string(r), r});
  std::string file = folder.File("long.xls");
  WriteXlsFile(table, file);
  EXPECT_EQ(CheckExport("xls", file, table), "OK 140000 sheets 2");
}

TEST(XlsExport, AnEmptyTableStillMakesAWorkbookWithTheCaptions) {
  ScratchFolder folder;
  ExportTable table({{"串码", ExportKind::Text}, {"金额", ExportKind::Currency, "#,##0.00"}});
  std::string file = folder.File("empty.xls");
  WriteXlsFile(table, file);
  EXPECT_EQ(CheckExport("xls", file, table), "OK 0 sheets 1");
}

TEST(XlsExport, TooManyColumnsAreRefusedAndNothingIsWritten) {
  ScratchFolder folder;
  std::vector<ExportColumn> columns(257, ExportColumn{"列"});
  ExportTable table(columns);
  std::string file = folder.File("wide.xls");
  try {
    WriteXlsFile(table, file);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Excel97-2003文件最多256列");
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(XlsExport, PageSetupGoesIntoEverySheetAndKeepsTheCells) {
  ScratchFolder folder;
  ExportTable table({{"串码", ExportKind::Text}, {"数量", ExportKind::Number}});
  for (int r = 0; r < 66000; ++r) table.AddRow({"SN" + std::to_string(r), r});
  std::string file = folder.File("print.xls");
  WriteXlsFile(table, file, {"&C旧页眉", ""});
  SetXlsPageSetup(file, {"&C总店-库存查询", "&L制单人:张三&C第&P页&R打印时间:2025-01-01 09:00:00"});
  EXPECT_EQ(CheckExport("xls", file, table), "OK 132000 sheets 2");

  std::string stream = ReadCompoundStream(ReadFile(file), "Workbook");
  auto count = [&](const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    size_t n = 0;
    for (size_t at = stream.find(bytes); at != std::string::npos; at = stream.find(bytes, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(u"&C总店-库存查询"), 2u);
  EXPECT_EQ(count(u"&L制单人:张三&C第&P页"), 2u);
  EXPECT_EQ(count(u"旧页眉"), 0u);
}

TEST(XlsExport, AFileThatIsNoWorkbookIsRefused) {
  ScratchFolder folder;
  std::string file = folder.File("not.xls");
  std::ofstream(file) << "plain text, not a workbook";
  EXPECT_THROW(SetXlsPageSetup(file, {"&C页眉", ""}), Exception);
  EXPECT_EQ(ReadFile(file), "plain text, not a workbook");
}

TEST(CompoundFile, LargeStreamsNeedExtensionSectorsThatOtherReadersFollow) {
  ScratchFolder folder;
  std::string stream(9 * 1024 * 1024 + 123, '\0');  // more allocation sectors than the header lists
  for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<char>((i * 2654435761u) >> 13);
  std::string file = folder.File("big.bin");
  {
    FileOutput out(file);
    WriteCompoundFile(out, "Workbook", {std::string_view(stream).substr(0, 1000), std::string_view(stream).substr(1000)});
    out.Commit();
  }
  EXPECT_EQ(ReadCompoundStream(ReadFile(file), "Workbook"), stream);
  std::string raw = folder.File("raw.bin");
  std::ofstream(raw, std::ios::binary) << stream;
  std::string script =
      "import sys, xlrd.compdoc as c; d = c.CompDoc(open(sys.argv[1], 'rb').read(), logfile=open('/dev/null', 'w'));"
      "print(d.get_named_stream('Workbook') == open(sys.argv[2], 'rb').read())";
  EXPECT_EQ(testing::RunCommand(std::string(testing::kPython) + " -c \"" + script + "\" '" + file + "' '" + raw + "'"),
            "True");
}

TEST(XlsxExport, EveryCellReadsBackWithItsTypeAndFormat) {
  ScratchFolder folder;
  ExportTable table = StockTableWithLongTexts(600);
  std::string file = folder.File("库存.xlsx");
  WriteXlsxFile(table, file);
  EXPECT_EQ(CheckExport("xlsx", file, table), "OK 6010 sheets 1");
  EXPECT_EQ(CheckExport("xlsx", file, WithOneCellChanged(table)), "row 17 col 5: expected number 1.5, got number 6048.51");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST(XlsxExport, RowsBeyondASheetGoOnToTheNext) {
  ScratchFolder folder;
  ExportTable table = MakeStockExportTable(450);
  std::string file = folder.File("split.xlsx");
  WriteXlsxFile(table, file, 201);
  EXPECT_EQ(CheckExport("xlsx", file, table), "OK 4500 sheets 3");
}

TEST(XlsxExport, AnUnwritableFolderRaisesAndLeavesNothing) {
  ScratchFolder folder;
  std::string file = folder.File("missing/out.xlsx");
  try {
    WriteXlsxFile(MakeStockExportTable(3), file);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "无法写入文件" + file);
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(TextExports, XmlIsWellFormedAndHoldsEveryCell) {
  ScratchFolder folder;
  ExportTable table = MakeStockExportTable(300);
  table.AddRow({"控制\x01字符", "A&B<C>\"D\"'E'", "颜色\t制表", 1});
  std::string file = folder.File("库存.xml");
  WriteXmlFile(table, file);
  // The control character cannot stand in XML 1.0: the reader sees the text without it.
  ExportTable readable = MakeStockExportTable(300);
  readable.AddRow({"控制字符", "A&B<C>\"D\"'E'", "颜色\t制表", 1});
  EXPECT_EQ(CheckExport("xml", file, readable), "OK 3010");
}

TEST(TextExports, HtmlTableEscapesMarkup) {
  ScratchFolder folder;
  ExportTable table = MakeStockExportTable(300);
  table.AddRow({"<script>alert(1)</script>", "A&B", Variant(), 2});
  std::string file = folder.File("库存.html");
  WriteHtmlFile(table, file, "库存<查询>");
  EXPECT_EQ(CheckExport("html", file, table), "OK 3010");
  std::string html = ReadFile(file);
  EXPECT_EQ(html.find("<script>"), std::string::npos);
  EXPECT_NE(html.find("<title>库存&lt;查询&gt;</title>"), std::string::npos);
}

TEST(TextExports, TextIsTabSeparatedUtf8) {
  ScratchFolder folder;
  ExportTable table = MakeStockExportTable(300);
  std::string file = folder.File("库存.txt");
  WriteTextFile(table, file);
  EXPECT_EQ(CheckExport("txt", file, table), "OK 3000");
}

TEST(TextExports, TabsAndLineBreaksInsideACellDoNotSplitIt) {
  ScratchFolder folder;
  ExportTable table({{"备注"}, {"串码"}});
  table.AddRow({"第一行\r\n第二行\t完", "SN1"});
  std::string file = folder.File("t.txt");
  WriteTextFile(table, file);
  EXPECT_EQ(ReadFile(file), "\xEF\xBB\xBF备注\t串码\r\n第一行  第二行 完\tSN1\r\n");
}

TEST(TextExports, AFailedWriteKeepsTheEarlierFile) {
  ScratchFolder folder;
  std::string file = folder.File("keep.txt");
  std::ofstream(file) << "earlier";
  {
    FileOutput out(file);
    out.Write("half a file");
  }  // no Commit: as when a writer fails on the way
  EXPECT_EQ(ReadFile(file), "earlier");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
  EXPECT_THROW(WriteTextFile(MakeStockExportTable(1), folder.File("no/such/folder.txt")), Exception);
}

}  // namespace
}  // namespace jxc

namespace jxc {
namespace {

// A full stock list, as a large shop exports it: every cell of every format reads back through an
// independent reader. Slow on purpose (the readers take most of the time), so it runs once per format.
TEST(ExportFormats, AHundredThousandRowStockListReadsBackCellByCell) {
  ScratchFolder folder;
  const ExportTable table = MakeStockExportTable(100000);
  const std::string xls = folder.File("stock.xls");
  const std::string xlsx = folder.File("stock.xlsx");
  const std::string xml = folder.File("stock.xml");
  WriteXlsFile(table, xls);
  WriteXlsxFile(table, xlsx);
  WriteXmlFile(table, xml);
  // 65,535 data rows fit a worksheet of the old format and 1,048,575 one of the new.
  EXPECT_EQ(CheckExport("xls", xls, table), "OK 1000000 sheets 2");
  EXPECT_EQ(CheckExport("xlsx", xlsx, table), "OK 1000000 sheets 1");
  EXPECT_EQ(CheckExport("xml", xml, table).substr(0, 10), "OK 1000000");
}

}  // namespace
}  // namespace jxc
