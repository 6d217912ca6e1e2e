#include "platform/FileOutput.h"

#include <cstdint>

#include "platform/Exceptions.h"

namespace jxc {

FileOutput::FileOutput(std::string path) : path_(std::move(path)), partPath_(path_ + ".part") {
  file_ = std::fopen(partPath_.c_str(), "wb");
  if (!file_) throw Exception("无法写入文件" + path_);
  static constexpr size_t kBuffer = 1 << 20;  // few large writes instead of many small ones
  std::setvbuf(file_, nullptr, _IOFBF, kBuffer);
}

FileOutput::~FileOutput() {
  if (file_) std::fclose(file_);
  if (!committed_) std::remove(partPath_.c_str());
}

void FileOutput::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail();
  position_ += bytes.size();
}

void FileOutput::Commit() {
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0 || std::rename(partPath_.c_str(), path_.c_str()) != 0) Fail();
  committed_ = true;
}

void FileOutput::Fail() { throw Exception("无法写入文件" + path_); }

}  // namespace jxc
