// Figures of the stock consistency check on a sample shop with 1,000,000 serial-numbered units in stock
// (or --units N) after a day's bills: a stock-in, a sale, a transfer and a return of 1,000 units each.
// Prints one line per figure; asserts nothing. With --database FILE an existing shop file is checked as it
// is (nothing is written to it).
//
//   consistency_bench [--units N] [--database FILE]

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "services/StockConsistency.h"
#include "platform/DataSet.h"

using namespace jxc;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

// A bill of `serials` units (counted lines when empty) saved in one ApplyUpdatesList and audited.
int64_t Bill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop, int64_t location,
             const std::vector<std::pair<std::string, int64_t>>& units, int64_t inShop = 0,
             const std::vector<int64_t>& sources = {}) {
  const int64_t id = db.NewID();
  auto head = db.OpenSQL("SELECT * FROM " + table + " WHERE 1 = 0");
  auto detail = db.OpenSQL("SELECT * FROM " + table + "_DETAIL WHERE 1 = 0");
  auto ids = db.GetNewIDs("", false, static_cast<int>(units.size()));
  Currency total;
  for (size_t i = 0; i < units.size(); ++i, ids->Next()) {
    detail->Append();
    detail->FieldByName("F_ID").SetValue(ids->FieldByName("F_ID").Value());
    detail->FieldByName("F_MID").SetValue(Id(id));
    detail->FieldByName("F_PRODUCT_ID").SetValue(Id(units[i].second));
    detail->FieldByName("F_LOCATION_ID").SetValue(Id(location));
    detail->FieldByName("F_MODE_NO").SetValue(Variant(units[i].first));
    detail->FieldByName("F_QTY").SetValue(Variant(1));
    detail->FieldByName("F_PRICE").SetValue(Variant(Currency::Parse("1999")));
    detail->FieldByName("F_MONEY").SetValue(Variant(Currency::Parse("1999")));
    if (table == "TB_IN_STOCK") detail->FieldByName("F_COST_PRICE").SetValue(Variant(Currency::Parse("1999")));
    if (i < sources.size()) detail->FieldByName("F_SOURCE_ID").SetValue(Id(sources[i]));
    detail->Post();
    total += Currency::Parse("1999");
  }
  head->Append();
  head->FieldByName("F_ID").SetValue(Id(id));
  head->FieldByName("F_CODE").SetValue(Variant(db.GetNewCode("BENCH")));
  head->FieldByName("F_KIND").SetValue(Variant(kind));
  head->FieldByName("F_SHOP_ID").SetValue(Id(shop));
  head->FieldByName("F_STATUS").SetValue(Variant(1));
  if (inShop) head->FieldByName("F_IN_SHOP_ID").SetValue(Id(inShop));
  head->FieldByName("F_TOTAL_QTY").SetValue(Variant(static_cast<int>(units.size())));
  head->FieldByName("F_TOTAL_MONEY").SetValue(Variant(total));
  head->Post();
  db.ApplyUpdatesList({head.get(), detail.get()}, {table, table + "_DETAIL"});
  db.AuditBill(1, kind, "", std::to_string(id));
  return id;
}

void Day(TSQLiteDBAccess& db, const TSampleShop& shop) {
  const int n = 1000;
  std::vector<std::pair<std::string, int64_t>> bought, sold, moved;
  for (int i = 0; i < n; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "BENCH%09d", i);
    bought.emplace_back(serial, shop.Handsets[static_cast<size_t>(i % 4)]);
    // Opening unit k lies in branch k % branches as handset k % 4.
    const int64_t branches = static_cast<int64_t>(shop.Branches.size());
    const int64_t k = static_cast<int64_t>(i) * branches;
    sold.emplace_back(SampleSerial(k), shop.Handsets[static_cast<size_t>(k % 4)]);
    const int64_t m = static_cast<int64_t>(i + n) * branches;
    moved.emplace_back(SampleSerial(m), shop.Handsets[static_cast<size_t>(m % 4)]);
  }
  const auto start = std::chrono::steady_clock::now();
  Bill(db, "TB_IN_STOCK", 2, shop.Branches[0], shop.CounterLocations[0], bought);
  const int64_t sale = Bill(db, "TB_RETAIL_SALE", 7, shop.Branches[0], shop.CounterLocations[0], sold);
  Bill(db, "TB_OUT_STOCK", 12, shop.Branches[0], shop.CounterLocations[0], moved, shop.Branches[1]);
  std::vector<int64_t> lines;
  for (const auto& row : db.QueryNative("SELECT F_ID FROM TB_RETAIL_SALE_DETAIL WHERE F_MID = ? ORDER BY F_ID LIMIT 100",
                                        {Id(sale)}).Rows)
    lines.push_back(row[0].AsInt64());
  sold.resize(lines.size());
  Bill(db, "TB_PF_RETURN", 8, shop.Branches[0], shop.CounterLocations[0], sold, 0, lines);
  std::printf("a day's bills (stock-in, sale, transfer of %d units, return of %zu): %.2f s\n", n, lines.size(), Since(start));
}

long MaxResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  TSampleShopOptions options;
  options.Units = 1000000;
  std::string database;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--units") options.Units = std::atoll(argv[i + 1]);
    else if (arg == "--database") database = argv[i + 1];
  }
  const bool scratch = database.empty();
  if (scratch) {
    database = "/tmp/jxc_consistency_bench_" + std::to_string(::getpid()) + ".db";
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((database + suffix).c_str());
  } else if (!std::filesystem::is_regular_file(database)) {
    std::fprintf(stderr, "consistency_bench: %s does not exist\n", database.c_str());
    return 2;
  }
  {
    TSQLiteDBAccess db(database);
    if (scratch) {
      const auto start = std::chrono::steady_clock::now();
      const TSampleShop shop = CreateSampleShop(db, options);
      std::printf("sample shop with %lld units in stock: %.2f s\n", static_cast<long long>(shop.Units), Since(start));
      Day(db, shop);
    }
    const int64_t inStock = db.QueryNative("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0").Rows[0][0].AsInt64();
    const long before = MaxResidentMiB();
    const auto start = std::chrono::steady_clock::now();
    const TConsistencyReport report = CheckStockConsistency(db.Connection());
    const double seconds = Since(start);
    std::printf("consistency check of %lld stock rows in stock: %.2f s, %lld violations\n", static_cast<long long>(inStock),
                seconds, static_cast<long long>(report.Violations()));
    std::printf("peak memory during the check: %ld MiB (before %ld MiB)\n", MaxResidentMiB(), before);
    for (const auto& rule : report.Rules) std::printf("  %s\n", rule.Line().c_str());
  }
  if (scratch)
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((database + suffix).c_str());
  return 0;
}
