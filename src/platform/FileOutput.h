#pragma once
// Writes a file so that it appears whole or not at all: the bytes go to a neighbouring temporary file that
// replaces the target only on Commit. A writer destroyed without Commit (an error on the way) removes the
// temporary file and leaves any earlier file of that name untouched. Not copyable.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace jxc {

class FileOutput {
 public:
  // Raises Exception "无法写入文件" + path when the folder cannot take the file.
  explicit FileOutput(std::string path);
  ~FileOutput();
  FileOutput(const FileOutput&) = delete;
  FileOutput& operator=(const FileOutput&) = delete;

  void Write(std::string_view bytes);
  void Write(const void* data, size_t size) { Write(std::string_view(static_cast<const char*>(data), size)); }
  // Bytes written so far.
  uint64_t Position() const { return position_; }
  // Flushes and puts the file in place; raises Exception "无法写入文件" + path on failure.
  void Commit();

 private:
  [[noreturn]] void Fail();

  std::string path_, partPath_;
  std::FILE* file_ = nullptr;
  uint64_t position_ = 0;
  bool committed_ = false;
};

}  // namespace jxc
