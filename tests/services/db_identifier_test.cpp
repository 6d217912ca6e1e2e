// Identifiers and codes stay unique when two processes draw them from one file at the same time.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "services/SQLiteConnection.h"
#include "services/SQLiteDBAccess.h"
#include "platform/DataSet.h"
#include "services/SchemaMigrator.h"
#include "services/SequenceSource.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "support/DatabaseFiles.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

// Draws identifiers (single ones and blocks inside transactions, as audits do) and codes, writing them
// to the output file, one per line.
void DrawInChild(const std::string& database, const std::string& output, int count) {
  TSQLiteConnection connection(database);
  TSchemaMigrator().Migrate(connection);
  TSequenceSource sequences(connection);
  std::ofstream out(output);
  for (int i = 0; i < count; ++i) {
    if (i % 100 == 99) {
      TSQLiteTransaction transaction(connection);
      const int64_t first = sequences.Reserve("ID", 5);
      for (int k = 0; k < 5; ++k) out << first + k << '\n';
      transaction.Commit();
    } else {
      out << sequences.NextID() << '\n';
    }
    if (i % 1000 == 0) out << sequences.NewCode("XS", EncodeDate(2025, 1, 1)) << '\n';
  }
}

TEST(DbIdentifiers, TwoProcessesDrawingTenThousandEachNeverShareOne) {
  const std::string database = TempPath("identifiers");
  Remove(database);
  const int count = 10000;
  std::vector<std::string> outputs = {database + ".a", database + ".b"};
  std::vector<pid_t> children;
  for (const auto& output : outputs) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int code = 0;
      try {
        DrawInChild(database, output, count);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "child failed: %s\n", e.what());
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
  std::set<std::string> seen;
  size_t total = 0;
  for (const auto& output : outputs) {
    std::ifstream in(output);
    for (std::string line; std::getline(in, line); ++total) EXPECT_TRUE(seen.insert(line).second) << "repeated: " << line;
    std::remove(output.c_str());
  }
  EXPECT_EQ(total, static_cast<size_t>(2 * (count + count / 100 * 4 + count / 1000)));
  EXPECT_EQ(seen.size(), total);
  Remove(database);
}

TEST(DbIdentifiers, ValuesReservedInARolledBackTransactionAreNotKeptForLater) {
  const std::string database = TempPath("rollback");
  Remove(database);
  TSQLiteConnection connection(database);
  TSchemaMigrator().Migrate(connection);
  TSequenceSource sequences(connection);
  int64_t inside;
  {
    TSQLiteTransaction transaction(connection);
    inside = sequences.NextID();
  }  // rolled back: the value may be drawn again, it was never stored anywhere
  const int64_t after = sequences.NextID();
  EXPECT_EQ(after, inside);
  EXPECT_NE(sequences.NextID(), after);
  Remove(database);
}

TEST(DbIdentifiers, TheServiceGivesCodesPerPrefixAndDayAndBatchNumbersFromTheirOwnSequence) {
  TSQLiteDBAccess db(":memory:");
  const std::string first = db.GetNewCode("XS");
  const std::string second = db.GetNewCode("XS");
  const std::string other = db.GetNewCode("RK");
  ASSERT_EQ(first.size(), 2u + 8u + 4u) << first;
  EXPECT_EQ(first.substr(0, 10), second.substr(0, 10));
  EXPECT_EQ(first.substr(10), "0001");
  EXPECT_EQ(second.substr(10), "0002");
  EXPECT_EQ(other.substr(0, 2), "RK");
  EXPECT_EQ(other.substr(10), "0001");  // each prefix counts on its own

  auto batches = db.GetNewIDs("PH", false, 3);
  ASSERT_EQ(batches->RecordCount(), 3);
  EXPECT_EQ(batches->FieldByName("F_ID").AsLargeInt(), 1);
  batches->Last();
  EXPECT_EQ(batches->FieldByName("F_ID").AsLargeInt(), 3);
  EXPECT_EQ(db.GetNewIDs("PH", false, 1)->FieldByName("F_ID").AsLargeInt(), 4);

  // Identifiers from single draws and lists never meet.
  std::set<int64_t> seen;
  for (int i = 0; i < 300; ++i) EXPECT_TRUE(seen.insert(Variant(db.GetNewID("TB_SHOP")).AsInt64()).second);
  auto list = db.GetNewIDList("TB_SHOP_DETAIL", 500);
  ASSERT_EQ(list->RecordCount(), 500);
  EXPECT_EQ(list->FieldByName("F_ID").DataType(), ftLargeint);
  for (list->First(); !list->Eof(); list->Next()) EXPECT_TRUE(seen.insert(list->FieldByName("F_ID").AsLargeInt()).second);
  EXPECT_EQ(db.GetNewIDList("TB_SHOP", 0)->RecordCount(), 0);
}

TEST(DbSchema, ANewFileGetsTheLatestVersionAndANewerFileIsRefused) {
  const std::string database = TempPath("schema");
  Remove(database);
  TSchemaMigrator migrator;
  {
    TSQLiteConnection connection(database);
    EXPECT_EQ(migrator.Migrate(connection), migrator.LatestVersion());
    EXPECT_EQ(migrator.Migrate(connection), migrator.LatestVersion());  // nothing left to apply
    connection.ExecScript("INSERT INTO TB_SHOP (F_ID, F_NAME) VALUES (1, '总部'); PRAGMA user_version = 999;");
  }
  TSQLiteConnection connection(database);
  EXPECT_THROW(migrator.Migrate(connection), EDatabaseError);
  auto rows = connection.Prepare("SELECT COUNT(*) FROM TB_SHOP");
  ASSERT_TRUE(rows->Step());
  EXPECT_EQ(rows->Int64(0), 1);
  Remove(database);
}

TEST(DbSchema, AFailingScriptLeavesTheFileAtTheVersionBefore) {
  const std::string folder = ::testing::TempDir() + "jxc_schema_" + std::to_string(::getpid());
  std::system(("mkdir -p " + folder).c_str());
  std::ofstream(folder + "/001_a.sql") << "CREATE TABLE TB_A (F_ID BIGINT PRIMARY KEY);";
  std::ofstream(folder + "/002_b.sql") << "CREATE TABLE TB_B (F_ID BIGINT); INSERT INTO TB_NOPE VALUES (1);";
  const std::string database = TempPath("schema_fail");
  Remove(database);
  TSQLiteConnection connection(database);
  EXPECT_THROW(TSchemaMigrator(folder).Migrate(connection), EDatabaseError);
  EXPECT_EQ(TSchemaMigrator::FileVersion(connection), 1);
  auto tables = connection.Prepare("SELECT COUNT(*) FROM sqlite_master WHERE name = 'TB_B'");
  ASSERT_TRUE(tables->Step());
  EXPECT_EQ(tables->Int64(0), 0);
  Remove(database);
  std::system(("rm -rf " + folder).c_str());
}

}  // namespace
}  // namespace jxc
