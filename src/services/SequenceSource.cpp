#include "services/SequenceSource.h"

#include <cstdio>

#include "services/SQLiteConnection.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace jxc {

int64_t TSequenceSource::NextID() {
  if (connection_.InTransaction()) return Reserve("ID", 1);
  if (next_ >= limit_) {
    next_ = Reserve("ID", kBlockSize);
    limit_ = next_ + kBlockSize;
  }
  return next_++;
}

int64_t TSequenceSource::Reserve(const std::string& sequence, int64_t count) {
  if (count <= 0) throw EDatabaseError("序列[" + sequence + "]的取值个数必须大于0");
  TSQLiteTransaction transaction(connection_);
  auto update = connection_.Prepare(
      "UPDATE TB_SYS_SEQUENCE SET F_VALUE = F_VALUE + ?1 WHERE F_NAME = ?2 RETURNING F_VALUE - ?1");
  update->BindInt64(0, count).BindText(1, sequence);
  int64_t first;
  if (update->Step()) {
    first = update->Int64(0);
    update->Run();
  } else {
    first = sequence == "ID" ? kFirstIdentifier : 1;
    auto insert = connection_.Prepare("INSERT INTO TB_SYS_SEQUENCE (F_NAME, F_VALUE) VALUES (?1, ?2)");
    insert->BindText(0, sequence).BindInt64(1, first + count);
    insert->Run();
  }
  update.reset();
  transaction.Commit();
  return first;
}

std::string TSequenceSource::NewCode(const std::string& prefix, TDateTime day) {
  int y, m, d;
  DecodeDate(day, y, m, d);
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", y, m, d);
  const int64_t counter = Reserve("CODE:" + prefix + ":" + date, 1);
  char number[32];
  std::snprintf(number, sizeof number, "%04lld", static_cast<long long>(counter));
  return prefix + date + number;
}

}  // namespace jxc
