#pragma once
// What the benchmark programs on a shop database file share: the stopwatch, rows written straight into a
// table, a scratch file and command-line numbers.

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Stopwatch.h"
#include "services/SQLiteDBAccess.h"

namespace jxc::bench {

// Rows written straight into the file, numbered after the identifiers the sample shop drew; in values,
// ?2 is the first identifier and i the row's number from 0.
inline void Fill(TSQLiteDBAccess& db, const std::string& table, const std::string& columns, const std::string& values,
                 int rows) {
  const int64_t first = db.Sequences().Reserve("ID", rows);
  auto fill = db.Connection().PrepareOnce("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?1) "
                                          "INSERT INTO " + table + " (F_ID, " + columns + ") SELECT ?2 + i, " + values + " FROM n");
  fill->BindInt64(0, rows).BindInt64(1, first);
  fill->Run();
}

// A database file of this process under /tmp, removed (with its journal companions) before use and when
// the benchmark ends.
struct TScratchFile {
  std::string Path;
  explicit TScratchFile(const std::string& name) : Path("/tmp/jxc_" + name + "_" + std::to_string(::getpid()) + ".db") { Remove(); }
  ~TScratchFile() { Remove(); }
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;
  void Remove() const {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((Path + suffix).c_str());
  }
};

// The number after an option ("--rows 5000") on the command line, or the fallback.
inline int IntOption(int argc, char** argv, std::string_view option, int fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (option == argv[i]) return std::atoi(argv[i + 1]);
  return fallback;
}

}  // namespace jxc::bench
