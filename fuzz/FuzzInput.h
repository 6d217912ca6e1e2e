#pragma once
// Reads a fuzzer's bytes as a stream of small choices, numbers and texts; past the end everything reads as
// zero or empty, so any input drives the harness to the end.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>

namespace jxc::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // One of count choices (count > 0).
  size_t Choice(size_t count) { return Byte() % count; }
  template <class T>
  T Number() {
    T value{};
    const size_t n = std::min(sizeof value, size_ - std::min(pos_, size_));
    std::memcpy(&value, data_ + pos_, n);
    pos_ += n;
    return value;
  }
  // The bytes up to the next 0xFF (not included) or the end.
  std::string Text() {
    std::string text;
    while (pos_ < size_ && data_[pos_] != 0xFF) text += static_cast<char>(data_[pos_++]);
    if (pos_ < size_) ++pos_;
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace jxc::fuzz
