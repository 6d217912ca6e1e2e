#pragma once
// What the text-based export writers (text, HTML, spreadsheet XML) share: a file written in large pieces
// that appears whole or not at all, and text escaped for markup.

#include <string>
#include <string_view>

#include "platform/FileOutput.h"

namespace jxc {

// Collects output in a buffer and hands it to the file in large pieces. Without Commit (an error on the
// way) no file is left, and an earlier file of that name stays as it was. Not copyable.
class ExportSink {
 public:
  // Raises Exception "无法写入文件" + file name when the folder cannot take the file.
  explicit ExportSink(const std::string& fileName) : file_(fileName) {}
  std::string& Buffer() { return buffer_; }
  // Writes the buffer out once it has grown large; call between rows.
  void MaybeFlush() {
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Commit();

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  void Flush();
  FileOutput file_;
  std::string buffer_;
};

// Appends text escaped for HTML or XML content and attributes (& < > " '). Bytes that are not valid UTF-8
// become U+FFFD. With forXml, tabs and line breaks are written as character references (so attributes
// keep them too) and characters XML 1.0 cannot hold (other controls, U+FFFE, U+FFFF) are left out.
void AppendMarkupEscaped(std::string& out, std::string_view text, bool forXml);

}  // namespace jxc
