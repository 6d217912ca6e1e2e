#pragma once
// Writers of an export table as plain text, HTML and XML, all UTF-8. Each writes the column captions, then
// every row with the text the grid shows. A failed write raises Exception "无法写入文件" + file name and
// leaves no partial file behind.

#include <string>
#include <string_view>

#include "platform/ExportTable.h"

namespace jxc {

// Tab-separated lines ending in CR LF, with a UTF-8 byte-order mark so that Windows programs read the
// Chinese text right. Tabs and line breaks inside a cell become blanks (they would split the cell).
void WriteTextFile(const ExportTable& table, const std::string& fileName);

// A page with one table: a header row of captions (<th>) and one <tr> per row; numbers right-aligned.
// Text is escaped (& < > " '); bytes that are not valid UTF-8 become U+FFFD.
void WriteHtmlFile(const ExportTable& table, const std::string& fileName, const std::string& title = "");

// The text escaped for HTML content and attributes (& < > " '); bytes that are not valid UTF-8 become
// U+FFFD.
std::string HtmlEscaped(std::string_view text);

// <table><columns><column caption=".." kind="text|number|currency|date|datetime" format=".."/>...</columns>
// <rows><row><cell>shown text</cell>...</row>...</rows></table>. Cells of non-text columns also carry the
// exact value in the attribute value ("12.5", "2025-01-01T09:30:00"); blank cells are empty <cell/>.
// Characters that XML 1.0 cannot hold (controls other than tab and line breaks) are left out.
void WriteXmlFile(const ExportTable& table, const std::string& fileName);

}  // namespace jxc
