#include "platform/XlsWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <unordered_map>
#include <vector>

#include "platform/CompoundFile.h"
#include "platform/Exceptions.h"
#include "platform/FileOutput.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// Record types of the workbook stream.
enum : uint16_t {
  rtBof = 0x0809, rtEof = 0x000A, rtCodePage = 0x0042, rtWindow1 = 0x003D, rtDateMode = 0x0022,
  rtFont = 0x0031, rtFormat = 0x041E, rtXf = 0x00E0, rtStyle = 0x0293, rtBoundSheet = 0x0085,
  rtSst = 0x00FC, rtContinue = 0x003C, rtExtSst = 0x00FF, rtHeader = 0x0014, rtFooter = 0x0015,
  rtColInfo = 0x007D, rtDimensions = 0x0200, rtWindow2 = 0x023E, rtLabelSst = 0x00FD, rtNumber = 0x0203,
  // The settings that open a worksheet, in the order the format gives them.
  rtUncalced = 0x005E, rtIndex = 0x020B, rtCalcMode = 0x000D, rtCalcCount = 0x000C, rtRefMode = 0x000F,
  rtIteration = 0x0011, rtDelta = 0x0010, rtSaveRecalc = 0x005F, rtPrintHeaders = 0x002A,
  rtPrintGridlines = 0x002B, rtGridSet = 0x0082, rtGuts = 0x0080, rtDefaultRowHeight = 0x0225,
  rtWsBool = 0x0081, rtSync = 0x0097, rtLpr = 0x0098, rtHPageBreaks = 0x001B, rtVPageBreaks = 0x001A,
  // The page setup block that follows them, then the column widths.
  rtHCenter = 0x0083, rtVCenter = 0x0084, rtSetup = 0x00A1, rtDefColWidth = 0x0055,
};

constexpr size_t kMaxRecordData = 8224;
constexpr uint16_t kFirstCustomFormat = 164;
constexpr uint16_t kStyleXfCount = 15;
constexpr uint16_t kDefaultCellXf = 15;
constexpr uint16_t kCaptionXf = 16;
constexpr uint16_t kFirstFormatXf = 17;
constexpr uint16_t kBoldFont = 5;  // font index 4 does not exist in this format

void U8(std::string& b, uint8_t v) { b += static_cast<char>(v); }
void U16(std::string& b, uint16_t v) {
  b += static_cast<char>(v & 0xFF);
  b += static_cast<char>(v >> 8);
}
void U32(std::string& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(char* at, uint16_t v) {
  at[0] = static_cast<char>(v & 0xFF);
  at[1] = static_cast<char>(v >> 8);
}
uint16_t Get16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}
void Set32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Record(std::string& out, uint16_t type, std::string_view data) {
  U16(out, type);
  U16(out, static_cast<uint16_t>(data.size()));
  out += data;
}

bool Compressible(const std::u16string& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

void AppendChars(std::string& out, const std::u16string& text, size_t from, size_t count, bool compressed) {
  for (size_t i = from; i < from + count; ++i) {
    if (compressed) U8(out, static_cast<uint8_t>(text[i]));
    else U16(out, text[i]);
  }
}

// A string with a 16-bit (or 8-bit) character count, an option byte and the characters.
// Text of records other than cells is short by nature (captions of formats, sheet names, page headers).
std::string UnicodeString(std::string_view utf8, bool shortLength, size_t limit) {
  std::u16string text = SpreadsheetCellText(utf8);
  if (text.size() > limit) text.resize(limit);
  bool compressed = Compressible(text);
  std::string out;
  if (shortLength) U8(out, static_cast<uint8_t>(text.size()));
  else U16(out, static_cast<uint16_t>(text.size()));
  U8(out, compressed ? 0 : 1);
  AppendChars(out, text, 0, text.size(), compressed);
  return out;
}

// The shared string table: each distinct text once, cells refer to it by index. Texts are held as views of
// the table's own strings (which outlive the writer); texts made on the way are kept here.
class SharedStrings {
 public:
  explicit SharedStrings(size_t expected) { index_.reserve(expected); }

  uint32_t Add(std::string_view utf8) {
    ++references_;
    auto [it, inserted] = index_.try_emplace(utf8, static_cast<uint32_t>(order_.size()));
    if (inserted) order_.push_back(utf8);
    return it->second;
  }
  uint32_t AddCopy(std::string utf8) {
    auto found = index_.find(utf8);
    if (found != index_.end()) {
      ++references_;
      return found->second;
    }
    return Add(made_.emplace_back(std::move(utf8)));
  }

  // SST with as many CONTINUE records as needed, then EXTSST. Positions in EXTSST are offsets in the
  // stream, which starts where out starts.
  void Write(std::string& out) const {
    const uint32_t perBucket = std::max<uint32_t>(8, static_cast<uint32_t>(order_.size() / 128 + 1));
    std::string buckets;
    std::string data;
    uint16_t type = rtSst;
    auto flush = [&] {
      Record(out, type, data);
      data.clear();
      type = rtContinue;
    };
    U32(data, references_);
    U32(data, static_cast<uint32_t>(order_.size()));
    for (size_t s = 0; s < order_.size(); ++s) {
      const std::u16string text = SpreadsheetCellText(order_[s]);
      const bool compressed = Compressible(text);
      const size_t charSize = compressed ? 1 : 2;
      // The count and option byte, with the first character, never straddle two records.
      if (data.size() + 3 + (text.empty() ? 0 : charSize) > kMaxRecordData) flush();
      if (s % perBucket == 0) {
        U32(buckets, static_cast<uint32_t>(out.size() + 4 + data.size()));
        U16(buckets, static_cast<uint16_t>(4 + data.size()));
        U16(buckets, 0);
      }
      U16(data, static_cast<uint16_t>(text.size()));
      U8(data, compressed ? 0 : 1);
      for (size_t done = 0; done < text.size();) {
        size_t room = (kMaxRecordData - data.size()) / charSize;
        if (room == 0) {
          flush();
          U8(data, compressed ? 0 : 1);  // a continued string restates its option byte
          continue;
        }
        size_t n = std::min(room, text.size() - done);
        AppendChars(data, text, done, n, compressed);
        done += n;
      }
    }
    flush();
    std::string ext;
    U16(ext, static_cast<uint16_t>(perBucket));
    ext += buckets;
    Record(out, rtExtSst, ext);
  }

 private:
  std::unordered_map<std::string_view, uint32_t> index_;
  std::vector<std::string_view> order_;
  std::deque<std::string> made_;  // stable addresses
  uint32_t references_ = 0;
};

std::string Bof(uint16_t substreamType) {
  std::string d;
  U16(d, 0x0600);  // BIFF8
  U16(d, substreamType);
  U16(d, 0x0DBB);  // build
  U16(d, 0x07CC);  // year
  U32(d, 0);
  U32(d, 0x00000006);  // lowest version that reads the file
  std::string r;
  Record(r, rtBof, d);
  return r;
}

std::string Font(bool bold) {
  std::string d;
  U16(d, 200);      // 10 points in twips
  U16(d, 0);        // not italic, not struck out
  U16(d, 0x7FFF);   // the window text colour
  U16(d, bold ? 700 : 400);
  U16(d, 0);        // no super- or subscript
  U8(d, 0);         // not underlined
  U8(d, 0);         // family
  U8(d, 134);       // GB2312 character set
  U8(d, 0);
  d += UnicodeString("宋体", true, 255);
  std::string r;
  Record(r, rtFont, d);
  return r;
}

std::string Xf(uint16_t font, uint16_t format, bool style, uint8_t usedAttributes) {
  std::string d;
  U16(d, font);
  U16(d, format);
  U16(d, style ? 0xFFF5 : 0x0001);  // locked; a style has no parent, a cell's parent is the Normal style
  U8(d, 0x20);                      // aligned to the bottom
  U8(d, 0);
  U8(d, 0);
  U8(d, usedAttributes);
  U32(d, 0);
  U32(d, 0);
  U16(d, 0x20C0);  // window text on window background
  std::string r;
  Record(r, rtXf, d);
  return r;
}

// Formats of the table's columns: each distinct format code gets one FORMAT record and one cell XF.
struct ColumnStyles {
  std::vector<uint16_t> cellXf;           // per column
  std::vector<std::string> formatCodes;   // index i has number kFirstCustomFormat + i, XF kFirstFormatXf + i
};

ColumnStyles StylesOf(const ExportTable& table) {
  ColumnStyles styles;
  std::map<std::string, uint16_t> known;
  for (const auto& column : table.Columns()) {
    std::string code = SpreadsheetFormatCode(column);
    if (code.empty()) {
      styles.cellXf.push_back(kDefaultCellXf);
      continue;
    }
    auto [it, inserted] = known.try_emplace(code, static_cast<uint16_t>(styles.formatCodes.size()));
    if (inserted) styles.formatCodes.push_back(code);
    styles.cellXf.push_back(static_cast<uint16_t>(kFirstFormatXf + it->second));
  }
  return styles;
}

std::string U16Record(uint16_t type, uint16_t value) {
  std::string d, r;
  U16(d, value);
  Record(r, type, d);
  return r;
}

// What a worksheet states before its page setup: calculation, printing and outline settings. Spreadsheet
// programs read the page setup that follows them; a header met elsewhere may be ignored.
std::string SheetSettings() {
  std::string r = U16Record(rtCalcMode, 1) + U16Record(rtCalcCount, 100) + U16Record(rtRefMode, 1) +
                  U16Record(rtIteration, 0);
  std::string d;
  const double delta = 0.001;
  d.append(reinterpret_cast<const char*>(&delta), 8);
  Record(r, rtDelta, d);
  r += U16Record(rtSaveRecalc, 1) + U16Record(rtPrintHeaders, 0) + U16Record(rtPrintGridlines, 0) +
       U16Record(rtGridSet, 1);
  d.assign(8, '\0');  // no outline levels
  Record(r, rtGuts, d);
  d.clear();
  U16(d, 0);
  U16(d, 270);  // rows of 13.5 points
  Record(r, rtDefaultRowHeight, d);
  r += U16Record(rtWsBool, 0x04C1);  // page breaks shown, outline summaries below and right
  return r;
}

bool IsSettingBeforePageSetup(uint16_t type) {
  switch (type) {
    case rtBof: case rtUncalced: case rtIndex: case rtCalcMode: case rtCalcCount: case rtRefMode:
    case rtIteration: case rtDelta: case rtSaveRecalc: case rtPrintHeaders: case rtPrintGridlines:
    case rtGridSet: case rtGuts: case rtDefaultRowHeight: case rtWsBool: case rtSync: case rtLpr:
    case rtHPageBreaks: case rtVPageBreaks:
      return true;
    default:
      return false;
  }
}

std::string HeaderFooter(const XlsPageSetup& page) {
  std::string r;
  if (!page.Header.empty()) Record(r, rtHeader, UnicodeString(page.Header, false, 255));
  if (!page.Footer.empty()) Record(r, rtFooter, UnicodeString(page.Footer, false, 255));
  return r;
}

// The page setup block: header and footer, not centred, A4 portrait at full size.
std::string PageSetupBlock(const XlsPageSetup& page) {
  std::string r = HeaderFooter(page) + U16Record(rtHCenter, 0) + U16Record(rtVCenter, 0);
  std::string d;
  for (uint16_t v : {9, 100, 1, 1, 1, 0x0002, 600, 600}) U16(d, v);  // A4, 100 %, from page 1, portrait
  const double margin = 0.5;  // inches from header and footer to the page edge
  d.append(reinterpret_cast<const char*>(&margin), 8);
  d.append(reinterpret_cast<const char*>(&margin), 8);
  U16(d, 1);  // one copy
  Record(r, rtSetup, d);
  return r;
}

bool IsNumericKind(ExportKind kind) { return kind != ExportKind::Text; }

class SheetWriter {
 public:
  SheetWriter(const ExportTable& table, const ColumnStyles& styles, SharedStrings& strings)
      : table_(table), styles_(styles), strings_(strings) {}

  // Rows [firstRow, endRow) of the table with the caption row above them.
  std::string Write(size_t firstRow, size_t endRow, bool firstSheet, const XlsPageSetup& page) {
    std::string out = Bof(0x0010);
    out.reserve((endRow - firstRow + 1) * table_.ColumnCount() * 16 + 1024);
    out += SheetSettings();
    out += PageSetupBlock(page);
    out += U16Record(rtDefColWidth, 8);
    const auto& columns = table_.Columns();
    for (size_t c = 0; c < columns.size(); ++c) {
      std::string d;
      U16(d, static_cast<uint16_t>(c));
      U16(d, static_cast<uint16_t>(c));
      U16(d, static_cast<uint16_t>(std::clamp(columns[c].Width, 8, 1700) * 256 / 7));
      U16(d, kDefaultCellXf);
      U16(d, 0);
      U16(d, 0);
      Record(out, rtColInfo, d);
    }
    std::string dim;
    U32(dim, 0);
    U32(dim, static_cast<uint32_t>(endRow - firstRow + 1));
    U16(dim, 0);
    U16(dim, static_cast<uint16_t>(columns.size()));
    U16(dim, 0);
    Record(out, rtDimensions, dim);

    for (size_t c = 0; c < columns.size(); ++c) Label(out, 0, c, kCaptionXf, strings_.Add(columns[c].Caption));
    for (size_t r = firstRow; r < endRow; ++r) {
      const uint16_t row = static_cast<uint16_t>(r - firstRow + 1);
      for (size_t c = 0; c < columns.size(); ++c) {
        const Variant& value = table_.Value(r, c);
        if (value.IsNullOrEmpty()) continue;
        double number;
        if (IsNumericKind(columns[c].Kind) && SpreadsheetNumberOf(value, number)) {
          char record[18];
          Put16(record, rtNumber);
          Put16(record + 2, 14);
          Put16(record + 4, row);
          Put16(record + 6, static_cast<uint16_t>(c));
          Put16(record + 8, styles_.cellXf[c]);
          std::memcpy(record + 10, &number, 8);  // the machine is little-endian, as the format
          out.append(record, sizeof record);
        } else if (value.IsString()) {
          Label(out, row, c, kDefaultCellXf, strings_.Add(value.Get<std::string>()));
        } else {
          Label(out, row, c, kDefaultCellXf, strings_.AddCopy(value.ToString()));
        }
      }
    }

    std::string w;
    U16(w, firstSheet ? 0x06B6 : 0x00B6);  // grid, headers, zeros, outline; the first sheet selected and shown
    U16(w, 0);
    U16(w, 0);
    U16(w, 64);  // grid line colour: automatic
    U16(w, 0);
    U16(w, 0);
    U16(w, 0);
    U32(w, 0);
    Record(out, rtWindow2, w);
    Record(out, rtEof, {});
    return out;
  }

 private:
  static void Label(std::string& out, size_t row, size_t column, uint16_t xf, uint32_t index) {
    char record[14];
    Put16(record, rtLabelSst);
    Put16(record + 2, 10);
    Put16(record + 4, static_cast<uint16_t>(row));
    Put16(record + 6, static_cast<uint16_t>(column));
    Put16(record + 8, xf);
    Put16(record + 10, static_cast<uint16_t>(index & 0xFFFF));
    Put16(record + 12, static_cast<uint16_t>(index >> 16));
    out.append(record, sizeof record);
  }

  const ExportTable& table_;
  const ColumnStyles& styles_;
  SharedStrings& strings_;
};

std::string Globals(const ColumnStyles& styles, const SharedStrings& strings, size_t sheetCount,
                    std::vector<size_t>& sheetOffsetSlots) {
  std::string out = Bof(0x0005);
  std::string d;
  U16(d, 1200);  // text is UTF-16
  Record(out, rtCodePage, d);
  d.clear();
  for (uint16_t v : {0, 0, 0x4000, 0x2000, 0x0038, 0, 0, 1, 600}) U16(d, v);
  Record(out, rtWindow1, d);
  d.clear();
  U16(d, 0);  // dates count from 1899-12-30, as TDateTime
  Record(out, rtDateMode, d);
  for (int i = 0; i < 4; ++i) out += Font(false);
  out += Font(true);
  for (size_t i = 0; i < styles.formatCodes.size(); ++i) {
    d.clear();
    U16(d, static_cast<uint16_t>(kFirstCustomFormat + i));
    d += UnicodeString(styles.formatCodes[i], false, 255);
    Record(out, rtFormat, d);
  }
  out += Xf(0, 0, true, 0x00);
  for (int i = 1; i < kStyleXfCount; ++i) out += Xf(0, 0, true, 0xF4);
  out += Xf(0, 0, false, 0x00);
  out += Xf(kBoldFont, 0, false, 0x08);
  for (size_t i = 0; i < styles.formatCodes.size(); ++i)
    out += Xf(0, static_cast<uint16_t>(kFirstCustomFormat + i), false, 0x04);
  d.clear();
  U16(d, 0x8000);  // built-in style of XF 0
  U8(d, 0);        // "Normal"
  U8(d, 0xFF);
  Record(out, rtStyle, d);
  for (size_t s = 0; s < sheetCount; ++s) {
    d.clear();
    sheetOffsetSlots.push_back(out.size() + 4);
    U32(d, 0);  // position of the sheet's BOF, filled in later
    U16(d, 0);  // visible worksheet
    d += UnicodeString("Sheet" + std::to_string(s + 1), true, 31);
    Record(out, rtBoundSheet, d);
  }
  strings.Write(out);
  Record(out, rtEof, {});
  return out;
}

// Writes the globals and the sheets as one stream, pointing each BOUNDSHEET at its sheet.
void WriteWorkbook(const std::string& fileName, std::string globals, const std::vector<size_t>& slots,
                   const std::vector<std::string>& sheets) {
  std::vector<std::string_view> pieces{globals};
  size_t size = globals.size();
  for (size_t s = 0; s < sheets.size(); ++s) {
    Set32(globals, slots[s], static_cast<uint32_t>(size));
    pieces.push_back(sheets[s]);
    size += sheets[s].size();
  }
  std::string padding(size < kCompoundMinStreamSize ? kCompoundMinStreamSize - size : 0, '\0');
  pieces.push_back(padding);
  FileOutput out(fileName);
  WriteCompoundFile(out, "Workbook", pieces);
  out.Commit();
}

struct RawRecord {
  uint16_t type;
  size_t start;  // of the record header
  size_t end;    // after the data
};

RawRecord ReadRecord(std::string_view stream, size_t at) {
  if (at + 4 > stream.size()) throw Exception("不是Excel97-2003文件");
  size_t end = at + 4 + Get16(stream, at + 2);
  if (end > stream.size()) throw Exception("不是Excel97-2003文件");
  return {Get16(stream, at), at, end};
}

}  // namespace

void WriteXlsFile(const ExportTable& table, const std::string& fileName, const XlsPageSetup& page) {
  if (table.ColumnCount() > kXlsMaxColumns) throw Exception("Excel97-2003文件最多256列");
  ColumnStyles styles = StylesOf(table);
  SharedStrings strings(table.RowCount() + table.ColumnCount());
  SheetWriter writer(table, styles, strings);
  const size_t rowsPerSheet = kXlsRowsPerSheet - 1;
  std::vector<std::string> sheets;
  for (size_t first = 0; first == 0 || first < table.RowCount(); first += rowsPerSheet)
    sheets.push_back(writer.Write(first, std::min(table.RowCount(), first + rowsPerSheet), sheets.empty(), page));
  std::vector<size_t> slots;
  std::string globals = Globals(styles, strings, sheets.size(), slots);
  WriteWorkbook(fileName, std::move(globals), slots, sheets);
}

void SetXlsPageSetup(const std::string& fileName, const XlsPageSetup& page) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw Exception("无法打开文件" + fileName);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string stream = ReadCompoundStream(file, "Workbook");

  // The globals up to their EOF, remembering where each BOUNDSHEET keeps its sheet's position.
  std::vector<size_t> slots, sheetStarts;
  size_t at = 0;
  for (;;) {
    RawRecord r = ReadRecord(stream, at);
    if (r.type == rtBoundSheet) {
      slots.push_back(r.start + 4);
      sheetStarts.push_back(Get16(stream, r.start + 4) | static_cast<size_t>(Get16(stream, r.start + 6)) << 16);
    }
    at = r.end;
    if (r.type == rtEof) break;
  }
  std::string globals = stream.substr(0, at);

  // Each sheet again, its old header and footer dropped and the new ones put where the page setup block
  // starts: after the settings that precede it.
  std::vector<std::string> sheets;
  for (size_t start : sheetStarts) {
    RawRecord bof = ReadRecord(stream, start);
    if (bof.type != rtBof) throw Exception("不是Excel97-2003文件");
    std::string sheet = stream.substr(bof.start, bof.end - bof.start);
    bool placed = false;
    int depth = 0;  // charts embedded in a sheet bring their own BOF ... EOF
    for (size_t p = bof.end;;) {
      RawRecord r = ReadRecord(stream, p);
      if (!placed && !IsSettingBeforePageSetup(r.type)) {
        sheet += HeaderFooter(page);
        placed = true;
      }
      bool ours = depth == 0 && (r.type == rtHeader || r.type == rtFooter);
      if (!ours) sheet.append(stream, r.start, r.end - r.start);
      p = r.end;
      if (r.type == rtBof) ++depth;
      if (r.type == rtEof && depth-- == 0) break;
    }
    sheets.push_back(std::move(sheet));
  }
  WriteWorkbook(fileName, std::move(globals), slots, sheets);
}

}  // namespace jxc
