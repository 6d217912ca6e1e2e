#pragma once
// Writers of an export table as plain text and as an HTML page, both UTF-8. Each writes the column
// captions, then every row with the text the grid shows. A failed write raises Exception "无法写入文件" +
// file name and leaves no partial file behind.
//
// Both are opened by spreadsheet programs as often as by people, and a spreadsheet reading text guesses
// what each cell is: "=HYPERLINK(...)" would become a live formula, "860000000000001" a rounded number,
// "00100" the number 100. So text is written to be read as text (see each writer).

#include <string>

#include "platform/ExportTable.h"

namespace jxc {

// Tab-separated lines ending in CR LF, with a UTF-8 byte-order mark so that Windows programs read the
// Chinese text right. Tabs and line breaks inside a cell become blanks (they would split the cell).
// A text cell that a spreadsheet would run as a formula (StartsLikeFormula: a leading "=", "+", "-", "@",
// tab or carriage return) is written with an apostrophe in front ("'=1+1"), so the spreadsheet shows it
// as text; this is the only change to what the grid shows. Numbers, negative ones included, and text
// that is a plain negative number are written as they are.
void WriteTextFile(const ExportTable& table, const std::string& fileName);

// A page with one table: a header row of captions (<th>) and one <tr> per row, each cell showing the
// grid's text (numbers right-aligned), escaped (& < > " '); bytes that are not valid UTF-8 become U+FFFD.
// Each cell also tells a spreadsheet program what it holds, in the ways Excel (a style sheet of number
// formats, "x:num") and LibreOffice ("sdnum", "sdval") read: text cells carry the text format ("@"), so
// serial numbers, codes with leading zeros and text beginning with "=" stay the text shown; number, money
// and date cells carry their exact value (money with four decimals, dates as day numbers) and the
// column's number format.
void WriteHtmlFile(const ExportTable& table, const std::string& fileName, const std::string& title = "");

}  // namespace jxc
