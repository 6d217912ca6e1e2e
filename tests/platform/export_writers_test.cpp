// Exported files are opened by independent readers and compared cell by cell with the table.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "support/ExportCheck.h"
#include "platform/CompoundFile.h"
#include "platform/Exceptions.h"
#include "platform/FileOutput.h"
#include "platform/SpreadsheetXmlWriter.h"
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

// The writers' quick way to the shown text of dates and money gives exactly the grid's text.
TEST(ExportFormats, TheQuickShownTextIsTheGridsText) {
  std::vector<Variant> moments{"文字"}, amounts{"文字", 1234.565};
  for (double day : {-700000.25, -1.5, 0.0, 1.0, 2.0, 45000.0, 45000.99999999, 45000.5000057, 2958465.999, 3000000.0})
    moments.emplace_back(TDateTime(day));
  for (int64_t raw : {0LL, 1LL, 49LL, 50LL, -49LL, -50LL, 9949LL, 9950LL, 99949LL, 99950LL, -99950LL, 12345678905LL,
                      -9999999999950LL, 922337203685477580LL, -922337203685477580LL})
    amounts.emplace_back(Currency::FromRaw(raw));
  const std::vector<std::pair<ExportColumn, const std::vector<Variant>*>> columns = {
      {{"日期", ExportKind::Date}, &moments},
      {{"时间", ExportKind::DateTime}, &moments},
      {{"时间", ExportKind::DateTime, "yyyy-mm-dd hh:nn:ss"}, &moments},
      {{"时间", ExportKind::DateTime, "yyyy/mm/dd hh:nn"}, &moments},
      {{"成本", ExportKind::Currency}, &amounts},
      {{"单价", ExportKind::Currency, "0.00"}, &amounts},
      {{"金额", ExportKind::Currency, "#,##0.00"}, &amounts},
      {{"数量", ExportKind::Number, "#,##0.00"}, &amounts}};
  for (const auto& [column, values] : columns) {
    const ExportTextFormatter formatter(column);
    for (const Variant& value : *values) {
      std::string quick;
      formatter.Append(quick, value);
      EXPECT_EQ(quick, ExportDisplayText(column, value)) << column.DisplayFormat << " " << value.ToString();
    }
  }
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

// Customers and remarks that begin like formulas, serial numbers and codes with leading zeros are text
// cells in every workbook format, never formulas or numbers.
TEST(ExportFormats, TextThatLooksLikeAFormulaOrANumberStaysTextInEveryWorkbook) {
  ScratchFolder folder;
  const ExportTable table = testing::MakeAwkwardStockTable(120);
  WriteXlsFile(table, folder.File("a.xls"));
  EXPECT_EQ(CheckExport("xls", folder.File("a.xls"), table), "OK 1320 sheets 1");
  WriteXlsxFile(table, folder.File("a.xlsx"));
  EXPECT_EQ(CheckExport("xlsx", folder.File("a.xlsx"), table), "OK 1320 sheets 1");
  WriteXmlFile(table, folder.File("a.xml"));
  EXPECT_EQ(CheckExport("xml", folder.File("a.xml"), table), "OK 1320 sheets 1");
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

// The record types of each worksheet of a workbook stream, in order, BOF to EOF.
std::vector<std::vector<uint16_t>> SheetRecordTypes(const std::string& stream) {
  auto u16 = [&](size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(stream[at]) | static_cast<unsigned char>(stream[at + 1]) << 8);
  };
  std::vector<std::vector<uint16_t>> sheets;
  bool inSheet = false;
  for (size_t at = 0; at + 4 <= stream.size(); at += 4 + u16(at + 2)) {
    const uint16_t type = u16(at);
    if (type == 0x0809 && u16(at + 6) == 0x0010) {  // BOF of a worksheet
      sheets.emplace_back();
      inSheet = true;
    }
    if (inSheet) sheets.back().push_back(type);
    if (type == 0x000A) inSheet = false;
  }
  return sheets;
}

// Spreadsheet programs read the page header and footers where the format puts them: after the sheet's
// calculation and print settings (GRIDSET, WSBOOL), before SETUP, the column widths and the cells.
void ExpectPageSetupInItsPlace(const std::string& file, size_t sheets) {
  const auto all = SheetRecordTypes(ReadCompoundStream(ReadFile(file), "Workbook"));
  ASSERT_EQ(all.size(), sheets);
  for (const auto& types : all) {
    auto at = [&](uint16_t type) { return std::find(types.begin(), types.end(), type) - types.begin(); };
    EXPECT_EQ(std::count(types.begin(), types.end(), 0x0014), 1) << "one HEADER";
    EXPECT_EQ(std::count(types.begin(), types.end(), 0x0015), 1) << "one FOOTER";
    EXPECT_LT(at(0x0082), at(0x0014)) << "GRIDSET before HEADER";
    EXPECT_LT(at(0x0081), at(0x0014)) << "WSBOOL before HEADER";
    EXPECT_EQ(at(0x0014) + 1, at(0x0015)) << "FOOTER right after HEADER";
    EXPECT_LT(at(0x0015), at(0x00A1)) << "SETUP after FOOTER";
    EXPECT_LT(at(0x00A1), at(0x007D)) << "column widths after the page setup";
    EXPECT_LT(at(0x007D), at(0x0200)) << "DIMENSIONS after the column widths";
  }
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
  ExpectPageSetupInItsPlace(file, 2);

  std::string exported = folder.File("exported.xls");
  WriteXlsFile(table, exported, {"&C总店-库存查询", "&C第&P页"});
  ExpectPageSetupInItsPlace(exported, 2);
  std::string plain = folder.File("plain.xls");
  WriteXlsFile(MakeStockExportTable(10), plain);
  SetXlsPageSetup(plain, {"&C总店-库存查询", "&C第&P页"});
  ExpectPageSetupInItsPlace(plain, 1);
  EXPECT_EQ(CheckExport("xls", plain, MakeStockExportTable(10)), "OK 100 sheets 1");
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

TEST(XmlExport, EveryCellReadsBackWithItsTypeAndFormat) {
  ScratchFolder folder;
  ExportTable table = StockTableWithLongTexts(600);
  table.AddRow({"控制\x01字符", "A&B<C>\"D\"'E'", "颜色\t制表\r\n换行", 1});
  std::string file = folder.File("库存.xml");
  WriteXmlFile(table, file);
  // The control character cannot stand in XML 1.0: the reader sees the text without it.
  ExportTable readable = StockTableWithLongTexts(600);
  readable.AddRow({"控制字符", "A&B<C>\"D\"'E'", "颜色\t制表\r\n换行", 1});
  EXPECT_EQ(CheckExport("xml", file, readable), "OK 6020 sheets 1");
  EXPECT_EQ(CheckExport("xml", file, WithOneCellChanged(readable)), "row 17 col 5: expected number 1.5, got number 6048.51");
}

TEST(XmlExport, LongTablesGoOnToFurtherSheetsAndBlanksKeepTheirColumn) {
  ScratchFolder folder;
  ExportTable table = MakeStockExportTable(450);  // every seventh remark is blank
  table.AddRow({Variant(), "只有名称", Variant(), Variant(), Variant(), Currency::FromInt(5)});
  std::string file = folder.File("split.xml");
  WriteXmlFile(table, file, 201);
  EXPECT_EQ(CheckExport("xml", file, table), "OK 4510 sheets 3");
}

// No spreadsheet date holds a day before 1900 and no number holds infinity: such cells keep the text the
// grid shows rather than make the file unreadable.
TEST(XmlExport, ValuesNoSpreadsheetHoldsAreWrittenAsText) {
  ScratchFolder folder;
  ExportTable table({{"日期", ExportKind::Date}, {"数量", ExportKind::Number}});
  table.AddRow({EncodeDate(1899, 12, 30), std::numeric_limits<double>::infinity()});
  table.AddRow({EncodeDate(1900, 1, 1), 2.5});
  std::string file = folder.File("odd.xml");
  WriteXmlFile(table, file);
  std::string xml = ReadFile(file);
  EXPECT_NE(xml.find("<Row><Cell><Data ss:Type=\"String\">1899-12-30</Data></Cell><Cell><Data ss:Type=\"String\">" +
                     Variant(std::numeric_limits<double>::infinity()).ToString() + "</Data></Cell></Row>"),
            std::string::npos);
  EXPECT_NE(xml.find("<Data ss:Type=\"DateTime\">1900-01-01T00:00:00.000</Data></Cell><Cell><Data ss:Type=\"Number\">2.5<"),
            std::string::npos);
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

// What a spreadsheet reads as a cell's type: text cells carry the text format, numbers, money and dates
// their exact value and format, in the attributes of Excel and of LibreOffice.
TEST(TextExports, HtmlCellsTellASpreadsheetWhatTheyHold) {
  ScratchFolder folder;
  ExportTable table({{"串码"}, {"编码"}, {"客户"}, {"单价", ExportKind::Currency, "#,##0.00"}, {"入库日期", ExportKind::Date},
                     {"数量", ExportKind::Number}});
  table.AddRow({"860000000000001", "00100", "=1+1", Currency::Parse("1999.1234"), EncodeDate(2025, 3, 7), -5});
  table.AddRow({Variant(), Variant(), Variant(), Variant(), Variant(), "约5台"});
  std::string file = folder.File("t.html");
  WriteHtmlFile(table, file);
  const std::string html = ReadFile(file);
  const std::string text = "<td sdnum=\"1033;0;@\">";
  EXPECT_NE(html.find("<tr>" + text + "860000000000001</td>" + text + "00100</td>" + text + "=1+1</td>"),
            std::string::npos);
  EXPECT_NE(html.find("<td class=\"c3\" sdnum=\"1033;0;#,##0.00\" sdval=\"1999.1234\" x:num=\"1999.1234\">1,999.12</td>"),
            std::string::npos);
  EXPECT_NE(html.find("<td class=\"c4\" sdnum=\"1033;0;yyyy-mm-dd\" sdval=\"45723\" x:num=\"45723\">2025-03-07</td>"),
            std::string::npos);
  EXPECT_NE(html.find("<td class=\"c5\" sdnum=\"1033;0;General\" sdval=\"-5\" x:num=\"-5\">-5</td>"), std::string::npos);
  EXPECT_NE(html.find("<tr><td></td><td></td><td></td><td></td><td></td>" + text + "约5台</td></tr>"), std::string::npos)
      << "a stray text in a number column is a text cell";
  EXPECT_NE(html.find("td {mso-number-format:\"\\@\";}"), std::string::npos);
  EXPECT_NE(html.find("td.c3 {text-align:right; mso-number-format:\"\\#\\,\\#\\#0\\.00\";}"), std::string::npos);
  EXPECT_NE(html.find("td.c5 {text-align:right; mso-number-format:General;}"), std::string::npos);
  EXPECT_EQ(CheckExport("html", file, table), "OK 12");
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

// Only text cells that begin like a formula change, and only by an apostrophe in front; numbers, negative
// ones and text that is a plain negative number stay as the grid shows them.
TEST(TextExports, TextThatASpreadsheetWouldRunAsAFormulaGetsAnApostrophe) {
  ScratchFolder folder;
  ExportTable table({{"客户"}, {"数量", ExportKind::Number}, {"金额", ExportKind::Currency, "#,##0.00"}});
  table.AddRow({"=HYPERLINK(\"http://x\",\"点我\")", -5, Currency::Parse("-1234.5")});
  for (const char* text : {"=1+1", "+1+2", "-1+2", "@SUM(A1)", "\t=1+1", "\r=1+1", "-", "-1,", "-.5", "--5"})
    table.AddRow({text});
  for (const char* text : {"-5", "-1,234.50", "-0.25", "张三=1", "1-2", " =1"}) table.AddRow({text});
  table.AddRow({Variant(), "=1+1", Variant(-7)});  // a stray text in a number column is a text cell too
  std::string file = folder.File("guard.txt");
  WriteTextFile(table, file);
  EXPECT_EQ(ReadFile(file),
            "\xEF\xBB\xBF客户\t数量\t金额\r\n"
            "'=HYPERLINK(\"http://x\",\"点我\")\t-5\t-1,234.50\r\n"
            "'=1+1\t\t\r\n'+1+2\t\t\r\n'-1+2\t\t\r\n'@SUM(A1)\t\t\r\n' =1+1\t\t\r\n' =1+1\t\t\r\n"
            "'-\t\t\r\n'-1,\t\t\r\n'-.5\t\t\r\n'--5\t\t\r\n"
            "-5\t\t\r\n-1,234.50\t\t\r\n-0.25\t\t\r\n张三=1\t\t\r\n1-2\t\t\r\n =1\t\t\r\n"
            "\t'=1+1\t-7.00\r\n");
  EXPECT_EQ(CheckExport("txt", file, table), "OK 54");
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
