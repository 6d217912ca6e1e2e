// Figures for the embedded database on a sample shop with 1,000,000 serial-numbered units in stock (or
// --units N): creating the shop, drawing identifiers, the serial-number look-ups as the stock-out screen
// sends them (with their query plans), and saving plus auditing stock-in bills of 1,000 and 10,000 units.
// Prints one line per figure; asserts nothing.
//
//   db_bench [--units N] [--database FILE]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/DataSet.h"

using namespace jxc;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of the process, which a machine shared with other work does not inflate as it does the
// clock.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string Reversed(std::string s) {
  std::reverse(s.begin(), s.end());
  return s;
}

// Median milliseconds of a query run `times` times through the screens' entry (OpenSQL).
double MedianMs(TSQLiteDBAccess& db, const std::vector<std::string>& sqls, int64_t& rows) {
  std::vector<double> ms;
  rows = 0;
  for (const auto& sql : sqls) {
    const auto start = std::chrono::steady_clock::now();
    auto result = db.OpenSQL(sql);
    ms.push_back(Since(start) * 1000.0);
    rows += result->RecordCount();
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void PrintPlan(TSQLiteDBAccess& db, const std::string& sql) {
  const std::string adapted = db.Dialect().AdaptOne(sql).Sql;
  for (const auto& row : db.QueryNative("EXPLAIN QUERY PLAN " + adapted).Rows)
    std::cout << "    plan: " << row.back().ToString() << '\n';
}

// A stock-in bill of `lines` new units saved as the bill screen saves it (header and lines in one
// ApplyUpdatesList) and then audited; prints both times and the service calls each took.
void StockInBill(TSQLiteDBAccess& db, const TSampleShop& shop, int lines, const std::string& prefix) {
  const int64_t bill = Variant(db.GetNewID("TB_IN_STOCK")).AsInt64();
  auto ids = db.GetNewIDs("", false, lines);
  auto head = db.OpenSQL("SELECT * FROM TB_IN_STOCK WHERE 1 = 0");
  auto detail = db.OpenSQL("SELECT * FROM TB_IN_STOCK_DETAIL WHERE 1 = 0");
  head->Append();
  head->FieldByName("F_ID").SetValue(Variant(static_cast<long long>(bill)));
  head->FieldByName("F_CODE").SetValue(Variant(db.GetNewCode("RK")));
  head->FieldByName("F_KIND").SetValue(Variant(2));
  head->FieldByName("F_SHOP_ID").SetValue(Variant(static_cast<long long>(shop.Branches[0])));
  head->FieldByName("F_STATUS").SetValue(Variant(1));
  head->Post();
  for (int i = 0; i < lines; ++i) {
    detail->Append();
    detail->FieldByName("F_ID").SetValue(ids->FieldByName("F_ID").Value());
    ids->Next();
    detail->FieldByName("F_MID").SetValue(Variant(static_cast<long long>(bill)));
    detail->FieldByName("F_PRODUCT_ID").SetValue(Variant(static_cast<long long>(shop.Handsets[static_cast<size_t>(i % 4)])));
    detail->FieldByName("F_LOCATION_ID").SetValue(Variant(static_cast<long long>(shop.CounterLocations[0])));
    char serial[32];
    std::snprintf(serial, sizeof serial, "%s%09d", prefix.c_str(), i);
    detail->FieldByName("F_MODE_NO").SetValue(Variant(std::string(serial)));
    detail->FieldByName("F_QTY").SetValue(Variant(1));
    detail->FieldByName("F_PRICE").SetValue(Variant(Currency::Parse("1999")));
    detail->Post();
  }
  int64_t calls = db.CallCount();
  auto start = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  db.ApplyUpdatesList({head.get(), detail.get()}, {"TB_IN_STOCK", "TB_IN_STOCK_DETAIL"});
  const double save = Since(start), saveCpu = CpuSeconds() - cpu;
  const int64_t saveCalls = db.CallCount() - calls;
  calls = db.CallCount();
  start = std::chrono::steady_clock::now();
  cpu = CpuSeconds();
  db.AuditBill(1, 2, "", std::to_string(bill));
  const double audit = Since(start), auditCpu = CpuSeconds() - cpu;
  const int64_t auditCalls = db.CallCount() - calls;
  std::printf("stock-in of %d units: save %.3f s (%lld call), audit %.3f s (%lld call), together %.3f s\n", lines, save,
              static_cast<long long>(saveCalls), audit, static_cast<long long>(auditCalls), save + audit);
  start = std::chrono::steady_clock::now();
  cpu = CpuSeconds();
  db.AuditBill(2, 2, "", std::to_string(bill));
  const double unAudit = Since(start), unAuditCpu = CpuSeconds() - cpu;
  std::printf("un-audit of the %d units: %.3f s\n", lines, unAudit);
  std::printf("processor time for %d units: save %.3f s, audit %.3f s, un-audit %.3f s\n", lines, saveCpu, auditCpu,
              unAuditCpu);
  db.AuditBill(1, 2, "", std::to_string(bill));
}

}  // namespace

int main(int argc, char** argv) {
  TSampleShopOptions options;
  options.Units = 1000000;
  std::string database = "/tmp/jxc_db_bench_" + std::to_string(::getpid()) + ".db";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--units") options.Units = std::atoll(argv[i + 1]);
    else if (arg == "--database") database = argv[i + 1];
  }
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((database + suffix).c_str());

  auto start = std::chrono::steady_clock::now();
  TSQLiteDBAccess db(database);
  const TSampleShop shop = CreateSampleShop(db, options);
  std::printf("sample shop with %lld units in stock: %.2f s\n", static_cast<long long>(shop.Units), Since(start));

  const int draws = 10000;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < draws; ++i) db.GetNewID("TB_IN_STOCK");
  double seconds = Since(start);
  std::printf("GetNewID: %d in %.3f s (%.0f per s)\n", draws, seconds, draws / seconds);
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) db.GetNewCode("XS");
  std::printf("GetNewCode: 1000 in %.3f s\n", Since(start));
  start = std::chrono::steady_clock::now();
  db.GetNewIDs("", false, 100000);
  std::printf("GetNewIDs block of 100000: %.4f s\n", Since(start));

  // The stock-out screen: a suffix of fewer than 10 characters searches by the reversed serial, a full
  // serial by equality.
  const int probes = 201;
  std::vector<std::string> suffix, exact;
  for (int i = 0; i < probes; ++i) {
    const std::string serial = SampleSerial((static_cast<int64_t>(i) * 7919) % std::max<int64_t>(shop.Units, 1));
    suffix.push_back("SELECT TOP 1 * FROM VI_GetSysStock WITH(nolock)  WHERE  reverse(F_MODE_NO) LIKE '" +
                     Reversed(serial.substr(serial.size() - 6)) + "%'");
    exact.push_back("SELECT * FROM VI_GetSysStock WITH(nolock) WHERE F_MODE_NO =  '" + serial + "'");
  }
  int64_t rows = 0;
  double median = MedianMs(db, suffix, rows);
  std::printf("suffix look-up (6 digits) on VI_GetSysStock: median %.3f ms over %d, %lld rows found\n", median, probes,
              static_cast<long long>(rows));
  PrintPlan(db, suffix[0]);
  median = MedianMs(db, exact, rows);
  std::printf("exact look-up on VI_GetSysStock: median %.3f ms over %d, %lld rows found\n", median, probes,
              static_cast<long long>(rows));
  PrintPlan(db, exact[0]);

  StockInBill(db, shop, 1000, "BA");
  StockInBill(db, shop, 10000, "BB");

  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((database + suffix).c_str());
  return 0;
}
