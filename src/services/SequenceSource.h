#pragma once
// Identifiers, codes and named sequences kept in TB_SYS_SEQUENCE. Values never repeat, also across
// processes sharing the file: each reservation is an update of the sequence row under the write lock.
// Outside a transaction identifiers are reserved in blocks and handed out from the block; inside one,
// exactly what is asked is reserved in that transaction, so a roll-back cannot leave a block that another
// process would be given again.

#include <cstdint>
#include <map>
#include <string>

namespace jxc {

class TSQLiteConnection;
class TDateTime;

class TSequenceSource {
 public:
  static constexpr int64_t kFirstIdentifier = 100001;
  static constexpr int kBlockSize = 256;

  explicit TSequenceSource(TSQLiteConnection& connection) : connection_(connection) {}

  // A new identifier of the shared identifier sequence (all tables draw from it).
  int64_t NextID();
  // count consecutive values of the named sequence; returns the first. Values start at 1 for new
  // sequences ("PH") and at kFirstIdentifier for "ID".
  int64_t Reserve(const std::string& sequence, int64_t count);
  // prefix + "yyyymmdd" of the day + a counter per prefix and day of at least four digits.
  std::string NewCode(const std::string& prefix, TDateTime day);

 private:
  TSQLiteConnection& connection_;
  int64_t next_ = 0;   // next identifier of the reserved block
  int64_t limit_ = 0;  // first identifier after the block
};

}  // namespace jxc
