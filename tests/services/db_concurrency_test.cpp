// Two processes working one shop file at the same time: saving and auditing bills over the same units,
// drawing identifiers and codes. No unit is lost or sold twice, no identifier or code is handed out twice.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

// Saves a one-line bill through the service (header and line in one ApplyUpdatesList) and returns its id.
int64_t SaveBill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop, int64_t location,
                 int64_t product, const std::string& serial) {
  const int64_t id = Variant(db.GetNewID(table)).AsInt64();
  auto head = db.OpenSQL("SELECT * FROM " + table + " WHERE 1 = 0");
  auto detail = db.OpenSQL("SELECT * FROM " + table + "_DETAIL WHERE 1 = 0");
  head->Append();
  head->FieldByName("F_ID").SetValue(Id(id));
  head->FieldByName("F_CODE").SetValue(Variant(db.GetNewCode(kind == 2 ? "RK" : "XS")));
  head->FieldByName("F_KIND").SetValue(Variant(kind));
  head->FieldByName("F_SHOP_ID").SetValue(Id(shop));
  head->FieldByName("F_STATUS").SetValue(Variant(1));
  head->Post();
  detail->Append();
  detail->FieldByName("F_ID").SetValue(Id(Variant(db.GetNewID(table + "_DETAIL")).AsInt64()));
  detail->FieldByName("F_MID").SetValue(Id(id));
  detail->FieldByName("F_PRODUCT_ID").SetValue(Id(product));
  detail->FieldByName("F_LOCATION_ID").SetValue(Id(location));
  detail->FieldByName("F_MODE_NO").SetValue(Variant(serial));
  detail->FieldByName("F_QTY").SetValue(Variant(1));
  detail->Post();
  db.ApplyUpdatesList({head.get(), detail.get()}, {table, table + "_DETAIL"});
  return id;
}

// One worker: sells every opening-stock unit of branch 0 (the other worker tries the same units) and
// receives new units of its own. Writes "sold <serial>", "in <serial>" and the codes it got.
void Work(const std::string& database, const std::string& output, const std::string& tag, int64_t units) {
  TSQLiteDBAccess db(database);
  const TSampleShop shop = ReadSampleShop(db);
  std::ofstream out(output);
  for (int64_t i = 0; i < units; i += shop.Branches.size()) {
    const int64_t product = shop.Handsets[static_cast<size_t>(i % 4)];
    const int64_t sale = SaveBill(db, "TB_RETAIL_SALE", 7, shop.Branches[0], shop.CounterLocations[0], product, SampleSerial(i));
    try {
      db.AuditBill(1, 7, "", std::to_string(sale));
      out << "sold " << SampleSerial(i) << '\n';
    } catch (const EDatabaseError&) {
      // the other worker sold it first
    }
    const std::string serial = tag + std::to_string(i);
    const int64_t in = SaveBill(db, "TB_IN_STOCK", 2, shop.Branches[1], shop.CounterLocations[1], product, serial);
    db.AuditBill(1, 2, "", std::to_string(in));
    out << "in " << serial << '\n';
    out << "code " << db.GetNewCode("XS") << '\n';
  }
}

TEST(DbConcurrency, TwoProcessesSellingTheSameUnitsSellEachOnceAndLoseNothing) {
  const std::string database = TempPath("concurrency");
  Remove(database);
  const int64_t units = 120;
  {
    TSQLiteDBAccess db(database);
    TSampleShopOptions options;
    options.Units = units;
    options.Branches = 2;
    CreateSampleShop(db, options);
  }
  const std::vector<std::string> tags = {"PA", "PB"};
  std::vector<pid_t> children;
  for (const auto& tag : tags) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int code = 0;
      try {
        Work(database, database + "." + tag, tag, units);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "worker %s failed: %s\n", tag.c_str(), e.what());
        code = 1;
      }
      _exit(code);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::multiset<std::string> sold;
  std::set<std::string> codes;
  size_t received = 0, codeCount = 0;
  for (const auto& tag : tags) {
    std::ifstream in(database + "." + tag);
    for (std::string word, value; in >> word >> value;) {
      if (word == "sold") sold.insert(value);
      if (word == "in") ++received;
      if (word == "code") {
        ++codeCount;
        codes.insert(value);
      }
    }
    std::remove((database + "." + tag).c_str());
  }
  // Every unit of branch 0 was sold exactly once, by one worker or the other.
  EXPECT_EQ(sold.size(), static_cast<size_t>(units / 2));
  for (const auto& serial : sold) EXPECT_EQ(sold.count(serial), 1u) << serial;
  EXPECT_EQ(codes.size(), codeCount);

  TSQLiteDBAccess db(database);
  const TSampleShop shop = ReadSampleShop(db);
  auto count = [&](const std::string& sql, const std::vector<Variant>& parameters = {}) {
    return db.QueryNative(sql, parameters).Rows.at(0).at(0).AsInt64();
  };
  EXPECT_EQ(count("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_SHOP_ID = ? AND F_MODE_NO IS NOT NULL AND F_HAVE_QTY > 0",
                  {Id(shop.Branches[0])}), 0);
  EXPECT_EQ(count("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_SHOP_ID = ? AND F_MODE_NO IS NOT NULL AND F_HAVE_QTY > 0",
                  {Id(shop.Branches[1])}), units / 2 + static_cast<int64_t>(received));
  EXPECT_EQ(count("SELECT COUNT(*) FROM TB_RETAIL_SALE WHERE F_STATUS = 2"), units / 2);
  // No serial in stock twice, no identifier used twice across the bills' tables.
  EXPECT_EQ(count("SELECT COUNT(*) FROM (SELECT F_MODE_NO FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0 AND F_MODE_NO IS NOT NULL "
                  "GROUP BY F_MODE_NO HAVING COUNT(*) > 1)"), 0);
  EXPECT_EQ(count("SELECT COUNT(*) FROM (SELECT F_ID FROM TB_RETAIL_SALE UNION ALL SELECT F_ID FROM TB_IN_STOCK "
                  "UNION ALL SELECT F_ID FROM TB_RETAIL_SALE_DETAIL UNION ALL SELECT F_ID FROM TB_IN_STOCK_DETAIL "
                  "UNION ALL SELECT F_ID FROM TB_SYS_STOCK)"),
            count("SELECT COUNT(*) FROM (SELECT F_ID FROM TB_RETAIL_SALE UNION SELECT F_ID FROM TB_IN_STOCK "
                  "UNION SELECT F_ID FROM TB_RETAIL_SALE_DETAIL UNION SELECT F_ID FROM TB_IN_STOCK_DETAIL "
                  "UNION SELECT F_ID FROM TB_SYS_STOCK)"));
  EXPECT_EQ(db.QueryNative("PRAGMA journal_mode").Rows.at(0).at(0).ToString(), "wal");
  Remove(database);
}

TEST(DbConcurrency, ReadersSeeTheLastCommittedStateWhileAWriterHoldsTheFile) {
  const std::string database = TempPath("busy");
  Remove(database);
  TSQLiteDBAccess first(database);
  TSQLiteDBAccess second(database);
  {
    TSQLiteTransaction hold(first.Connection());
    first.Connection().ExecScript("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, 'A')");
    // Readers still see the last committed state while the writer holds the file.
    EXPECT_EQ(second.Query("SELECT COUNT(*) FROM TB_SHOP").Rows[0][0].AsInt64(), 0);
    hold.Commit();
  }
  second.ExecSQL("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (2, 'B')");
  EXPECT_EQ(first.Query("SELECT COUNT(*) FROM TB_SHOP").Rows[0][0].AsInt64(), 2);
  Remove(database);
}

}  // namespace
}  // namespace jxc
