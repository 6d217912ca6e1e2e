// Audited bills are closed: a screen holding a stale copy of a bill that another workstation audited can
// neither rewrite nor delete it, and every save and audit that fails, at any statement or when the disk is
// full at commit, leaves the database and the screen's datasets as they were.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/UnitPublicUtils.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "support/DatabaseFiles.h"
#include "support/ShopBills.h"

namespace jxc {
namespace {

using testing::Remove;
using testing::TempPath;

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

// The message of the EDatabaseError an action raises ("" when it raises none).
template <class Action>
std::string Refusal(Action action) {
  try {
    action();
  } catch (const EDatabaseError& e) {
    return e.what();
  }
  return "";
}

class DbAuditGuard : public testing::ShopTest {
 protected:
  DbAuditGuard() : ShopTest(12, 2) {}
  std::string Everything() { return testing::TablesText(*db_, testing::StockAndBillTables()); }
};

TEST_F(DbAuditGuard, AStaleScreenCannotRewriteOrDeleteABillAnotherWorkstationAudited) {
  const int64_t sale = testing::SaveBill(*db_, "TB_RETAIL_SALE", 7, shop_.Branches[0],
                                         {testing::Unit(SampleSerial(0), shop_.Handsets[0])});
  const std::string code = "B" + std::to_string(sale);
  testing::BillDataSets screen = testing::ReadBill(*db_, "TB_RETAIL_SALE", sale);
  // The other workstation, on its own connection to the file, audits the bill.
  {
    TSQLiteDBAccess other(path_);
    other.AuditBill(1, 7, "", std::to_string(sale));
  }
  const std::string audited = Everything();

  // A stale save: another unit and price on the row.
  screen.Lines->Edit();
  screen.Lines->FieldByName("F_MODE_NO").SetValue(Variant(SampleSerial(2)));
  screen.Lines->FieldByName("F_PRICE").SetValue(Variant(Currency::Parse("1")));
  screen.Lines->Post();
  EXPECT_EQ(Refusal([&] { screen.Save(*db_); }), "单据[" + code + "]已审核,不能修改");
  EXPECT_EQ(Everything(), audited);
  EXPECT_EQ(screen.Lines->ChangeCount(), 1);
  EXPECT_EQ(screen.Lines->FieldByName("F_MODE_NO").AsString(), SampleSerial(2));

  // A new row, a deleted row, an edited header: each refused, nothing written.
  testing::BillDataSets adding = testing::ReadBill(*db_, "TB_RETAIL_SALE", sale);
  adding.Lines->Append();
  adding.Lines->FieldByName("F_ID").SetValue(Id(db_->NewID()));
  adding.Lines->FieldByName("F_MID").SetValue(Id(sale));
  adding.Lines->FieldByName("F_QTY").SetValue(Variant(1));
  adding.Lines->Post();
  EXPECT_EQ(Refusal([&] { adding.Save(*db_); }), "单据[" + code + "]已审核,不能修改");
  testing::BillDataSets removing = testing::ReadBill(*db_, "TB_RETAIL_SALE", sale);
  removing.Lines->Delete();
  EXPECT_EQ(Refusal([&] { removing.Save(*db_); }), "单据[" + code + "]已审核,不能删除");
  testing::BillDataSets header = testing::ReadBill(*db_, "TB_RETAIL_SALE", sale);
  header.Head->Edit();
  header.Head->FieldByName("F_STATUS").SetValue(Variant(1));
  header.Head->Post();
  EXPECT_EQ(Refusal([&] { header.Save(*db_); }), "单据[" + code + "]已审核,不能修改");
  EXPECT_EQ(header.Head->ChangeCount(), 1);
  EXPECT_EQ(Everything(), audited);

  // A stale delete, as the bill screen sends it: header first, then the lines.
  const std::string remove = " DELETE FROM  TB_RETAIL_SALE WHERE F_ID = " + std::to_string(sale) +
                             "\r\n DELETE FROM  TB_RETAIL_SALE_DETAIL WHERE F_MID = " + std::to_string(sale) + "\r\n";
  EXPECT_EQ(Refusal([&] { db_->ExecSQL(remove); }), "单据[" + code + "]已审核,不能删除");
  EXPECT_EQ(Refusal([&] { db_->ExecSQL("DELETE FROM TB_RETAIL_SALE_DETAIL WHERE F_MID = " + std::to_string(sale)); }),
            "单据[" + code + "]已审核,不能删除");
  EXPECT_EQ(Everything(), audited);

  // Un-audited, the bill is open again and the screen's kept change saves.
  db_->AuditBill(2, 7, "", std::to_string(sale));
  screen.Save(*db_);
  EXPECT_EQ(screen.Lines->ChangeCount(), 0);
  EXPECT_EQ(db_->QueryNative("SELECT F_MODE_NO FROM TB_RETAIL_SALE_DETAIL WHERE F_MID = ?", {Id(sale)}).Rows.at(0).at(0).ToString(),
            SampleSerial(2));
  db_->ExecSQL(remove);
  EXPECT_TRUE(db_->QueryNative("SELECT 1 FROM TB_RETAIL_SALE_DETAIL WHERE F_MID = ?", {Id(sale)}).Rows.empty());
}

TEST_F(DbAuditGuard, AnAuditedOrderCanOnlyBeFinishedAtWhatWasDrawnFromIt) {
  testing::BillLine line = testing::Counted(shop_.Accessories[0], 5);
  line.Price = "10";
  const int64_t order = testing::SaveBill(*db_, "TB_ORDER", 1, shop_.Branches[0], {line});
  db_->ExecSQL("UPDATE TB_ORDER_DETAIL SET F_USE_QTY = 2 WHERE F_MID = " + std::to_string(order));  // drawn by a delivery
  db_->AuditBill(1, 1, "", std::to_string(order));
  const std::string code = "B" + std::to_string(order);
  const auto finish = [&](int qty, const char* money) {
    testing::BillDataSets bill = testing::ReadBill(*db_, "TB_ORDER", order);
    bill.Lines->Edit();
    bill.Lines->FieldByName("F_QTY").SetValue(Variant(qty));
    bill.Lines->FieldByName("F_MONEY").SetValue(Variant(Currency::Parse(money)));
    bill.Lines->Post();
    return Refusal([&] { bill.Save(*db_); });
  };
  EXPECT_EQ(finish(1, "10"), "单据[" + code + "]已审核,不能修改");  // below what was drawn
  EXPECT_EQ(finish(2, "25"), "单据[" + code + "]已审核,不能修改");  // money other than quantity x price
  EXPECT_EQ(finish(2, "20"), "");
  testing::BillDataSets price = testing::ReadBill(*db_, "TB_ORDER", order);
  price.Lines->Edit();
  price.Lines->FieldByName("F_PRICE").SetValue(Variant(Currency::Parse("9")));
  price.Lines->Post();
  EXPECT_EQ(Refusal([&] { price.Save(*db_); }), "单据[" + code + "]已审核,不能修改");
}

// Makes the n-th write to the stock, journal, ledger, sequence or bill tables fail, on one connection.
class FailingWrites {
 public:
  explicit FailingWrites(TSQLiteDBAccess& db) : db_(db) {
    sqlite3_create_function(db.Connection().Handle(), "jxc_test_write", 0, SQLITE_UTF8, this, &Write, nullptr, nullptr);
    std::string triggers;
    for (const auto& table : testing::StockAndBillTables())
      for (const char* event : {"INSERT", "UPDATE", "DELETE"})
        triggers += "CREATE TEMP TRIGGER jxc_fail_" + table + "_" + event + " AFTER " + event + " ON main." + table +
                    " BEGIN SELECT jxc_test_write(); END;";
    db.Connection().ExecScript(triggers);
  }
  ~FailingWrites() {
    sqlite3_create_function(db_.Connection().Handle(), "jxc_test_write", 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr);
    std::string drop;
    for (const auto& table : testing::StockAndBillTables())
      for (const char* event : {"INSERT", "UPDATE", "DELETE"}) drop += "DROP TRIGGER temp.jxc_fail_" + table + "_" + event + ";";
    db_.Connection().ExecScript(drop);
  }
  void FailAt(int64_t write) { left_ = write; }
  bool Failed() const { return left_ == 0; }

 private:
  static void Write(sqlite3_context* context, int, sqlite3_value**) {
    auto* self = static_cast<FailingWrites*>(sqlite3_user_data(context));
    if (self->left_ > 0 && --self->left_ == 0) sqlite3_result_error(context, "写入失败(测试)", -1);
    else sqlite3_result_null(context);
  }
  TSQLiteDBAccess& db_;
  int64_t left_ = 0;
};

TEST_F(DbAuditGuard, ASaveOrAuditFailingAtAnyStatementLeavesTheDatabaseAndTheDatasetsAsTheyWere) {
  // A sale of two units and some accessories, as the screen holds it before saving.
  testing::BillLine accessories = testing::Counted(shop_.Accessories[0], 3);
  accessories.Color = shop_.Colors[0];
  testing::BillDataSets bill = testing::NewBill(*db_, "TB_PF_SALE", 6, shop_.Branches[0],
                                                {testing::Unit(SampleSerial(0), shop_.Handsets[0]),
                                                 testing::Unit(SampleSerial(2), shop_.Handsets[2]), accessories});
  TClientDataSet* head = bill.Head.get();
  TClientDataSet* lines = bill.Lines.get();
  const int64_t sale = bill.Id;
  FailingWrites failing(*db_);
  // Fails the action at its first, second, ... write until it succeeds; returns the writes it made.
  const auto everyFailure = [&](const char* what, const std::function<void()>& action) -> int64_t {
    for (int64_t n = 1;; ++n) {
      const std::string before = Everything();
      const int headChanges = head->ChangeCount(), lineChanges = lines->ChangeCount();
      failing.FailAt(n);
      try {
        action();
        failing.FailAt(0);
        return n - 1;
      } catch (const EDatabaseError& e) {
        EXPECT_TRUE(failing.Failed()) << what << " failed on its own at write " << n << ": " << e.what();
        EXPECT_EQ(Everything(), before) << what << " failing at write " << n;
        EXPECT_EQ(head->ChangeCount(), headChanges) << what << " failing at write " << n;
        EXPECT_EQ(lines->ChangeCount(), lineChanges) << what << " failing at write " << n;
        if (::testing::Test::HasFailure()) return n;
      }
    }
  };
  EXPECT_GT(everyFailure("save", [&] { bill.Save(*db_); }), 3);
  EXPECT_EQ(head->ChangeCount(), 0);
  EXPECT_GT(everyFailure("audit", [&] { db_->AuditBill(1, 6, "", std::to_string(sale)); }), 10);
  EXPECT_GT(everyFailure("un-audit", [&] { db_->AuditBill(2, 6, "", std::to_string(sale)); }), 5);
  EXPECT_GT(everyFailure("audit again", [&] { db_->AuditBill(1, 6, "", std::to_string(sale)); }), 10);
}

// A disk that fills up when asked: writes to the write-ahead log fail with SQLITE_FULL, which is where a
// commit puts its pages. Registered as the default file system while it lives.
class FullDisk {
 public:
  FullDisk() {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = *real_;
    vfs_.zName = "jxc_full_disk";
    vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
    vfs_.pNext = nullptr;
    vfs_.xOpen = &Open;
    instance_ = this;
    methods_ = {};
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~FullDisk() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, 1);
    instance_ = nullptr;
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;
  void Fill(bool full) { full_ = full; }

 private:
  struct File {
    sqlite3_file Base;
    sqlite3_file* Real;
    bool Wal;
  };
  static sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->Real; }

  static int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* f = reinterpret_cast<File*>(file);
    f->Real = reinterpret_cast<sqlite3_file*>(f + 1);
    f->Wal = (flags & SQLITE_OPEN_WAL) != 0;
    const int rc = instance_->real_->xOpen(instance_->real_, name, f->Real, flags, outFlags);
    if (!f->Real->pMethods) {
      f->Base.pMethods = nullptr;
      return rc;
    }
    instance_->Wrap(f->Real->pMethods);
    f->Base.pMethods = &instance_->methods_;
    return rc;
  }

  // Every operation goes to the real file; writes to the log fail while the disk is full.
  void Wrap(const sqlite3_io_methods* real) {
    if (methods_.iVersion) return;
    methods_ = *real;
    methods_.xClose = [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); };
    methods_.xRead = [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return Real(f)->pMethods->xRead(Real(f), b, n, o); };
    methods_.xWrite = [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
      if (instance_->full_ && reinterpret_cast<File*>(f)->Wal) return SQLITE_FULL;
      return Real(f)->pMethods->xWrite(Real(f), b, n, o);
    };
    methods_.xTruncate = [](sqlite3_file* f, sqlite3_int64 s) { return Real(f)->pMethods->xTruncate(Real(f), s); };
    methods_.xSync = [](sqlite3_file* f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); };
    methods_.xFileSize = [](sqlite3_file* f, sqlite3_int64* s) { return Real(f)->pMethods->xFileSize(Real(f), s); };
    methods_.xLock = [](sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); };
    methods_.xUnlock = [](sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); };
    methods_.xCheckReservedLock = [](sqlite3_file* f, int* r) { return Real(f)->pMethods->xCheckReservedLock(Real(f), r); };
    methods_.xFileControl = [](sqlite3_file* f, int op, void* a) { return Real(f)->pMethods->xFileControl(Real(f), op, a); };
    methods_.xSectorSize = [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); };
    methods_.xDeviceCharacteristics = [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); };
    methods_.xShmMap = [](sqlite3_file* f, int r, int s, int e, void volatile** p) {
      return Real(f)->pMethods->xShmMap(Real(f), r, s, e, p);
    };
    methods_.xShmLock = [](sqlite3_file* f, int o, int n, int fl) { return Real(f)->pMethods->xShmLock(Real(f), o, n, fl); };
    methods_.xShmBarrier = [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); };
    methods_.xShmUnmap = [](sqlite3_file* f, int d) { return Real(f)->pMethods->xShmUnmap(Real(f), d); };
    methods_.xFetch = [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return Real(f)->pMethods->xFetch(Real(f), o, n, p); };
    methods_.xUnfetch = [](sqlite3_file* f, sqlite3_int64 o, void* p) { return Real(f)->pMethods->xUnfetch(Real(f), o, p); };
  }

  static inline FullDisk* instance_ = nullptr;
  sqlite3_vfs* real_ = nullptr;
  sqlite3_vfs vfs_{};
  sqlite3_io_methods methods_{};
  bool full_ = false;
};

TEST(DbDiskFull, ASaveAndAnAuditThatFailAtCommitLeaveTheDatabaseAndTheDatasetsAsTheyWere) {
  FullDisk disk;
  const std::string path = TempPath("disk_full");
  Remove(path);
  {
    TSQLiteDBAccess db(path);
    TSampleShopOptions options;
    options.Units = 6;
    options.Branches = 2;
    const TSampleShop shop = CreateSampleShop(db, options);
    const auto everything = [&] { return testing::TablesText(db, testing::StockAndBillTables()); };
    const auto fullAtCommit = [](const std::string& message) {
      return message.find("磁盘已满") != std::string::npos && message.find("COMMIT") != std::string::npos;
    };

    testing::BillDataSets bill = testing::NewBill(db, "TB_RETAIL_SALE", 7, shop.Branches[0],
                                                  {testing::Unit(SampleSerial(0), shop.Handsets[0])});
    const int64_t sale = bill.Id;

    const std::string empty = everything();
    disk.Fill(true);
    const std::string save = Refusal([&] { bill.Save(db); });
    disk.Fill(false);
    EXPECT_TRUE(fullAtCommit(save)) << save;
    EXPECT_EQ(everything(), empty);
    EXPECT_EQ(bill.Head->ChangeCount(), 1);
    EXPECT_EQ(bill.Lines->ChangeCount(), 1);
    bill.Save(db);
    EXPECT_EQ(bill.Lines->ChangeCount(), 0);

    for (int operation : {1, 2}) {
      const std::string before = everything();
      disk.Fill(true);
      const std::string audit = Refusal([&] { db.AuditBill(operation, 7, "", std::to_string(sale)); });
      disk.Fill(false);
      EXPECT_TRUE(fullAtCommit(audit)) << audit;
      EXPECT_EQ(everything(), before);
      db.AuditBill(operation, 7, "", std::to_string(sale));
      EXPECT_NE(everything(), before);
    }
    testing::ExpectConsistent(db);
  }
  Remove(path);
}

}  // namespace
}  // namespace jxc
