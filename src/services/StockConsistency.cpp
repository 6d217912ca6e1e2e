#include "services/StockConsistency.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "services/SQLiteConnection.h"
#include "services/StockAudit.h"
#include "platform/Currency.h"
#include "platform/Exceptions.h"

namespace jxc {

namespace {

constexpr size_t kExamples = 3;

// Money as stored (a real with four decimals) in ten-thousandths, so that sums are exact.
int64_t Raw(double money) { return std::llround(money * 10000.0); }
std::string MoneyText(int64_t raw) { return Currency::FromRaw(raw).ToString(); }
std::string Text(int64_t n) { return std::to_string(n); }

// Counts a violation; the example is only written for the first few.
template <class Describe>
void Violate(TConsistencyRule& rule, Describe describe) {
  ++rule.Violations;
  if (rule.Examples.size() < kExamples) rule.Examples.push_back(describe());
}

// Reads under one snapshot: a deferred transaction that takes no write lock.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(TSQLiteConnection& connection) : connection_(connection), own_(!connection.InTransaction()) {
    if (own_) connection_.ExecScript("BEGIN");
  }
  ~ReadSnapshot() {
    if (!own_ || !connection_.InTransaction()) return;
    try {
      connection_.ExecScript("COMMIT");
    } catch (...) {
      // nothing was written; the read transaction ends with the connection at the latest
    }
  }
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  TSQLiteConnection& connection_;
  bool own_;
};

struct HeaderTable {
  std::string Name;
  bool MovesStock = false;  // holds bills that move stock: rows with quantities and header totals
  bool Goods = true;        // its rows have quantities (settlements have none)
};

struct Bill {
  size_t Table = 0;
  int Kind = 0, Status = 0;
  std::string Code;
  int64_t TotalQty = 0, TotalMoney = 0;  // as the header says
  int64_t RowsQty = 0, RowsMoney = 0;    // the sums of its rows
  bool Journal = false, Ledger = false;
};

struct StockRow {
  int64_t Id = 0, Shop = 0, Location = 0, Product = 0, Color = 0, Qty = 0, Money = 0, InBill = 0, OutBill = 0;
  std::string ModeNo;  // empty for a counted row
  int64_t JournalQty = 0, JournalMoney = 0;
  int64_t CreatedBy = 0, TakenBy = 0;  // the bills that brought the unit in and took it out
  bool Journalled = false;
  // What the journal moved minus what the ledger moved: quantity, cost money, and both weighted by the
  // bill, so that a move booked on another bill shows too. All zero when the ledger agrees.
  int64_t UnbookedQty = 0, UnbookedMoney = 0;
  uint64_t UnbookedBillQty = 0, UnbookedBillMoney = 0;

  void Book(int64_t bill, int64_t qty, int64_t money) {  // negative for the ledger's side
    UnbookedQty += qty;
    UnbookedMoney += money;
    UnbookedBillQty += static_cast<uint64_t>(bill) * static_cast<uint64_t>(qty);
    UnbookedBillMoney += static_cast<uint64_t>(bill) * static_cast<uint64_t>(money);
  }
  bool Booked() const { return UnbookedQty == 0 && UnbookedMoney == 0 && UnbookedBillQty == 0 && UnbookedBillMoney == 0; }
};

// Sorts each list of identifiers and merges them into one sorted list.
std::vector<int64_t> Merged(std::vector<std::vector<int64_t>> lists) {
  for (auto& list : lists)
    if (!std::is_sorted(list.begin(), list.end())) std::sort(list.begin(), list.end());
  while (lists.size() > 1) {
    std::vector<std::vector<int64_t>> next;
    for (size_t i = 0; i + 1 < lists.size(); i += 2) {
      std::vector<int64_t> both(lists[i].size() + lists[i + 1].size());
      std::merge(lists[i].begin(), lists[i].end(), lists[i + 1].begin(), lists[i + 1].end(), both.begin());
      next.push_back(std::move(both));
    }
    if (lists.size() % 2) next.push_back(std::move(lists.back()));
    lists = std::move(next);
  }
  return lists.empty() ? std::vector<int64_t>() : std::move(lists.front());
}

class Checker {
 public:
  explicit Checker(TSQLiteConnection& connection) : c_(connection) {
    const auto add = [&](TConsistencyRuleId id, const char* name) {
      TConsistencyRule rule;
      rule.Id = id;
      rule.Name = name;
      report_.Rules.push_back(std::move(rule));
    };
    add(TConsistencyRuleId::SerialsInStock, "在库串码唯一, 且位于本店铺的库位");
    add(TConsistencyRuleId::UnitsByAuditedBills, "在库商品由已审核单据入库, 出库串码由已审核单据出库");
    add(TConsistencyRuleId::StockEqualsJournal, "库存数量与成本金额等于库存流水");
    add(TConsistencyRuleId::LedgerEqualsJournal, "台账等于库存流水");
    add(TConsistencyRuleId::JournalOfAuditedBills, "流水与台账只属于已审核的出入库单据, 且每张已审核的出入库单据都有");
    add(TConsistencyRuleId::DetailHasHeader, "明细都有单头");
    add(TConsistencyRuleId::UsedQuantities, "已用数量在0与数量之间, 且等于后续单据的引用");
    add(TConsistencyRuleId::HeaderTotals, "出入库单据的合计数量与金额等于明细之和");
    add(TConsistencyRuleId::UniqueIdentifiers, "标识与单据编号不重复");
    for (const auto& kind : BillKinds()) {
      auto known = std::find_if(tables_.begin(), tables_.end(), [&](const HeaderTable& t) { return t.Name == kind.Table; });
      if (known == tables_.end()) known = tables_.insert(tables_.end(), HeaderTable{kind.Table, false, true});
      if (kind.Flow != TStockFlow::StatusOnly) known->MovesStock = true;
      if (std::string(kind.Table) == "TB_ACC_SETTELMENT") known->Goods = false;
    }
  }

  TConsistencyReport Run() {
    ReadSnapshot snapshot(c_);
    ReadLocations();
    ReadBills();
    ReadStock();
    ReadSerialsInStock();
    ReadJournal();
    ReadLedger();
    for (size_t t = 0; t < tables_.size(); ++t) {
      ReadDetail(t);
      if (tables_[t].MovesStock) detailRows_.push_back(identifiers_.back());
    }
    CheckStock();
    CheckBills();
    CheckUsedQuantities();
    CheckIdentifiers();
    return std::move(report_);
  }

 private:
  TConsistencyRule& Rule(TConsistencyRuleId id) { return report_.Rules[static_cast<size_t>(id)]; }

  static bool MovesStock(int kind) {
    const TBillKind* known = FindBillKind(kind);
    return known && known->Flow != TStockFlow::StatusOnly;
  }
  const Bill* FindBill(int64_t id) const {
    auto found = bills_.find(id);
    return found == bills_.end() ? nullptr : &found->second;
  }
  Bill* FindBill(int64_t id) {
    auto found = bills_.find(id);
    return found == bills_.end() ? nullptr : &found->second;
  }
  std::string BillName(int64_t id) const {
    const Bill* bill = FindBill(id);
    return bill ? "单据[" + bill->Code + "]" : "单据(F_ID " + Text(id) + ")";
  }
  // Why a journal or ledger row may not belong to the bill; empty when it may.
  std::string NotAnAuditedMove(int64_t billID, int64_t kind) const {
    const Bill* bill = FindBill(billID);
    if (!bill) return "单据(F_ID " + Text(billID) + ")不存在";
    if (bill->Status != 2) return BillName(billID) + "未审核";
    if (!MovesStock(bill->Kind) || bill->Kind != kind) return BillName(billID) + "的类型(" + Text(bill->Kind) + ")不移动库存或与记录不符";
    return {};
  }

  void ReadLocations() {
    auto rows = c_.PrepareOnce("SELECT F_ID, IFNULL(F_SHOP_ID, 0) FROM TB_STOCK_LOCATION");
    while (rows->Step()) locationShops_[rows->Int64(0)] = rows->Int64(1);
  }

  void ReadBills() {
    std::vector<int64_t>& ids = identifiers_.emplace_back();
    for (size_t t = 0; t < tables_.size(); ++t) {
      const HeaderTable& table = tables_[t];
      auto rows = c_.PrepareOnce("SELECT F_ID, IFNULL(F_KIND, 0), IFNULL(F_STATUS, 0), IFNULL(F_CODE, ''), " +
                                 std::string(table.Goods ? "IFNULL(F_TOTAL_QTY, 0)" : "0") +
                                 ", IFNULL(F_TOTAL_MONEY, 0) FROM " + table.Name);
      while (rows->Step()) {
        const int64_t id = rows->Int64(0);
        ids.push_back(id);
        Bill bill;
        bill.Table = t;
        bill.Kind = static_cast<int>(rows->Int64(1));
        bill.Status = static_cast<int>(rows->Int64(2));
        bill.Code = rows->Text(3);
        bill.TotalQty = rows->Int64(4);
        bill.TotalMoney = Raw(rows->Double(5));
        if (!bill.Code.empty() && bill.Code != "新增单据") codes_.emplace_back(bill.Code, id);
        bills_.emplace(id, std::move(bill));  // a repeated F_ID is reported with the identifiers
      }
    }
  }

  void ReadStock() {
    auto rows = c_.PrepareOnce(
        "SELECT F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, IFNULL(F_MODE_NO, ''), F_HAVE_QTY, "
        "IFNULL(F_COST_MONEY, 0), IFNULL(F_IN_BILL_ID, 0), IFNULL(F_OUT_BILL_ID, 0), IFNULL(F_STOCK_ID, 0) FROM TB_SYS_STOCK");
    TConsistencyRule& located = Rule(TConsistencyRuleId::SerialsInStock);
    stock_.reserve(static_cast<size_t>(RowsAbout("TB_SYS_STOCK")));
    while (rows->Step()) {
      const int64_t id = rows->Int64(0);
      StockRow row;
      row.Id = id;
      row.Shop = rows->Int64(1);
      row.Location = rows->Int64(2);
      row.Product = rows->Int64(3);
      row.Color = rows->Int64(4);
      row.ModeNo = rows->Text(5);
      row.Qty = rows->Int64(6);
      row.Money = Raw(rows->Double(7));
      row.InBill = rows->Int64(8);
      row.OutBill = rows->Int64(9);
      if (row.Qty > 0) {
        ++located.Examined;
        auto location = locationShops_.find(row.Location);
        if (location == locationShops_.end() || location->second != row.Shop)
          Violate(located, [&] {
            return (row.ModeNo.empty() ? "库存行[" + Text(id) + "]" : "串码[" + row.ModeNo + "]") + "的库位(F_ID " +
                   Text(row.Location) + ")不属于店铺(F_ID " + Text(row.Shop) + ")";
          });
      }
      // A unit that left counts as used on the row that brought it in, unless a customer exchange took it
      // back (that row counts returns of the unit it gave out).
      const int64_t arrival = rows->Int64(10);
      if (!row.ModeNo.empty() && row.Qty == 0 && arrival) {
        const Bill* in = FindBill(row.InBill);
        if (!in || (in->Kind != 10 && in->Kind != 11)) ++cited_[arrival];
      }
      stock_.push_back(std::move(row));
    }
    // Audits number stock rows as they make them, so the rows usually come in order already.
    const auto byId = [](const StockRow& a, const StockRow& b) { return a.Id < b.Id; };
    if (!std::is_sorted(stock_.begin(), stock_.end(), byId)) std::sort(stock_.begin(), stock_.end(), byId);
    std::vector<int64_t>& ids = identifiers_.emplace_back();
    ids.reserve(stock_.size());
    for (const StockRow& row : stock_) ids.push_back(row.Id);
  }

  // The number of rows of a table, about (its largest row number), for reserving memory.
  int64_t RowsAbout(const std::string& table) {
    auto rows = c_.PrepareOnce("SELECT IFNULL(MAX(rowid), 0) FROM " + table);
    return rows->Step() ? rows->Int64(0) : 0;
  }

  StockRow* FindStock(int64_t id) {
    auto found = std::lower_bound(stock_.begin(), stock_.end(), id, [](const StockRow& row, int64_t key) { return row.Id < key; });
    return found != stock_.end() && found->Id == id ? &*found : nullptr;
  }

  // The in-stock serial numbers in order (the unique index serves them), so that repeats lie side by side.
  void ReadSerialsInStock() {
    auto rows = c_.PrepareOnce(
        "SELECT F_MODE_NO FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0 AND F_MODE_NO IS NOT NULL ORDER BY F_MODE_NO");
    TConsistencyRule& rule = Rule(TConsistencyRuleId::SerialsInStock);
    std::string previous;
    int64_t times = 0;
    const auto close = [&] {
      if (times > 1) Violate(rule, [&] { return "串码[" + previous + "]在库" + Text(times) + "次"; });
    };
    while (rows->Step()) {
      std::string serial = rows->Text(0);
      if (times > 0 && serial == previous) {
        ++times;
        continue;
      }
      close();
      previous = std::move(serial);
      times = 1;
    }
    close();
  }

  void ReadJournal() {
    auto rows = c_.PrepareOnce(
        "SELECT F_BILL_ID, F_KIND, F_STOCK_ROW_ID, F_ACTION, F_QTY, IFNULL(F_MONEY, 0) FROM TB_SYS_STOCK_JOURNAL ORDER BY F_ID");
    TConsistencyRule& owners = Rule(TConsistencyRuleId::JournalOfAuditedBills);
    TConsistencyRule& stock = Rule(TConsistencyRuleId::StockEqualsJournal);
    while (rows->Step()) {
      const int64_t billID = rows->Int64(0), stockRow = rows->Int64(2), qty = rows->Int64(4);
      const int action = static_cast<int>(rows->Int64(3));
      const int64_t money = Raw(rows->Double(5));
      ++owners.Examined;
      if (const std::string why = NotAnAuditedMove(billID, rows->Int64(1)); !why.empty())
        Violate(owners, [&] { return "库存流水属于" + why; });
      if (Bill* bill = FindBill(billID)) bill->Journal = true;
      if (action != jaRowCreated && action != jaUnitTakenOut && action != jaQuantityChanged) continue;
      StockRow* found = FindStock(stockRow);
      if (!found) {
        Violate(stock, [&] { return BillName(billID) + "的库存流水指向不存在的库存行(F_ID " + Text(stockRow) + ")"; });
        continue;
      }
      StockRow& row = *found;
      row.Journalled = true;
      int64_t movedQty = qty, movedMoney = money;
      if (action == jaRowCreated && qty == 1) row.CreatedBy = billID;
      if (action == jaUnitTakenOut) {
        row.TakenBy = billID;
        movedQty = -qty;
        movedMoney = -money;
      } else {
        row.JournalMoney += money;
      }
      row.JournalQty += movedQty;
      row.Book(billID, movedQty, movedMoney);
    }
  }

  void ReadLedger() {
    auto rows = c_.PrepareOnce(
        "SELECT F_ID, F_BILL_ID, IFNULL(F_KIND, 0), IFNULL(F_STOCK_ID, 0), F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, "
        "F_COLOR_ID, IFNULL(F_MODE_NO, ''), IFNULL(F_QTY, 0), IFNULL(F_COST_MONEY, 0) FROM TB_JXC_ACCOUNT");
    TConsistencyRule& owners = Rule(TConsistencyRuleId::JournalOfAuditedBills);
    TConsistencyRule& ledger = Rule(TConsistencyRuleId::LedgerEqualsJournal);
    std::vector<int64_t>& ids = identifiers_.emplace_back();
    ids.reserve(static_cast<size_t>(RowsAbout("TB_JXC_ACCOUNT")));
    while (rows->Step()) {
      const int64_t id = rows->Int64(0), billID = rows->Int64(1), stockRow = rows->Int64(3);
      ids.push_back(id);
      ++owners.Examined;
      ++ledger.Examined;
      if (const std::string why = NotAnAuditedMove(billID, rows->Int64(2)); !why.empty())
        Violate(owners, [&] { return "台账属于" + why; });
      if (Bill* bill = FindBill(billID)) bill->Ledger = true;
      StockRow* found = FindStock(stockRow);
      if (!found) {
        Violate(ledger, [&] { return BillName(billID) + "的台账(F_ID " + Text(id) + ")没有对应的库存行"; });
        continue;
      }
      StockRow& row = *found;
      if (rows->Int64(4) != row.Shop || rows->Int64(5) != row.Location || rows->Int64(6) != row.Product ||
          rows->Int64(7) != row.Color || rows->Text(8) != row.ModeNo)
        Violate(ledger, [&] {
          return BillName(billID) + "的台账(F_ID " + Text(id) + ")的店铺、库位、商品、颜色或串码与库存行(F_ID " +
                 Text(stockRow) + ")不符";
        });
      row.Book(billID, -rows->Int64(9), -Raw(rows->Double(10)));
    }
  }

  void ReadDetail(size_t t) {
    const HeaderTable& table = tables_[t];
    const std::string name = table.Name + "_DETAIL";
    auto rows = c_.PrepareOnce("SELECT F_ID, F_MID, " +
                               std::string(table.Goods ? "IFNULL(F_QTY, 0), IFNULL(F_USE_QTY, 0), IFNULL(F_SOURCE_ID, 0)"
                                                       : "0, 0, 0") +
                               ", IFNULL(F_MONEY, 0) FROM " + name);
    TConsistencyRule& headers = Rule(TConsistencyRuleId::DetailHasHeader);
    TConsistencyRule& used = Rule(TConsistencyRuleId::UsedQuantities);
    std::vector<int64_t>& ids = identifiers_.emplace_back();
    ids.reserve(static_cast<size_t>(RowsAbout(name)));
    while (rows->Step()) {
      const int64_t id = rows->Int64(0), mid = rows->Int64(1), qty = rows->Int64(2), use = rows->Int64(3);
      const int64_t source = rows->Int64(4);
      ids.push_back(id);
      ++headers.Examined;
      Bill* bill = FindBill(mid);
      if (!bill || bill->Table != t) {
        Violate(headers, [&] { return name + "的明细(F_ID " + Text(id) + ")没有单头(F_MID " + Text(mid) + ")"; });
      } else {
        bill->RowsQty += qty;
        bill->RowsMoney += Raw(rows->Double(5));
      }
      if (!table.Goods) continue;
      ++used.Examined;
      if (use < 0 || use > std::max<int64_t>(qty, 0))
        Violate(used, [&] { return name + "的明细(F_ID " + Text(id) + ")已用数量" + Text(use) + ", 数量" + Text(qty); });
      if (!table.MovesStock) continue;
      if (use != 0) used_[id] = use;
      // Audited returns and exchanges cite the sale row they take back from; a row citing itself has no source.
      if (bill && bill->Status == 2 && source != 0 && source != id &&
          (bill->Kind == 5 || bill->Kind == 8 || bill->Kind == 10 || bill->Kind == 11))
        cited_[source] += qty;
    }
  }

  void CheckStock() {
    TConsistencyRule& audited = Rule(TConsistencyRuleId::UnitsByAuditedBills);
    TConsistencyRule& stock = Rule(TConsistencyRuleId::StockEqualsJournal);
    TConsistencyRule& ledger = Rule(TConsistencyRuleId::LedgerEqualsJournal);
    const auto byAuditedMove = [&](int64_t bill) {
      const Bill* b = FindBill(bill);
      return b && b->Status == 2 && MovesStock(b->Kind);
    };
    for (const StockRow& row : stock_) {
      const int64_t id = row.Id;
      ++stock.Examined;
      if (row.Qty != row.JournalQty || row.Money != row.JournalMoney)
        Violate(stock, [&] {
          return "库存行(F_ID " + Text(id) + (row.ModeNo.empty() ? "" : ", 串码" + row.ModeNo) + ")数量" + Text(row.Qty) +
                 ", 成本" + MoneyText(row.Money) + "; 流水合计数量" + Text(row.JournalQty) + ", 成本" + MoneyText(row.JournalMoney);
        });
      if (!row.Booked())
        Violate(ledger, [&] {
          const std::string where = "库存行(F_ID " + Text(id) + (row.ModeNo.empty() ? "" : ", 串码" + row.ModeNo) + ")";
          if (row.UnbookedQty == 0 && row.UnbookedMoney == 0) return where + "的台账记在了流水以外的单据上";
          return where + "的流水与台账相差数量" + Text(row.UnbookedQty) + ", 成本" + MoneyText(row.UnbookedMoney);
        });
      if (row.ModeNo.empty()) {
        if (row.Qty <= 0) continue;
        ++audited.Examined;
        if (!row.Journalled)
          Violate(audited, [&] { return "库存行(F_ID " + Text(id) + ")的数量" + Text(row.Qty) + "没有任何单据入库"; });
        continue;
      }
      ++audited.Examined;
      if (row.CreatedBy == 0 || row.CreatedBy != row.InBill || !byAuditedMove(row.CreatedBy))
        Violate(audited, [&] { return "串码[" + row.ModeNo + "](库存行F_ID " + Text(id) + ")不是由已审核单据入库"; });
      if (row.Qty == 0 && (row.TakenBy == 0 || row.TakenBy != row.OutBill || !byAuditedMove(row.TakenBy)))
        Violate(audited, [&] { return "串码[" + row.ModeNo + "](库存行F_ID " + Text(id) + ")不是由已审核单据出库"; });
    }
  }

  void CheckBills() {
    TConsistencyRule& owners = Rule(TConsistencyRuleId::JournalOfAuditedBills);
    TConsistencyRule& totals = Rule(TConsistencyRuleId::HeaderTotals);
    for (const auto& [id, bill] : bills_) {
      const bool moves = MovesStock(bill.Kind);
      if (bill.Status == 2 && moves && (!bill.Journal || !bill.Ledger))
        Violate(owners, [&] { return "已审核的" + BillName(id) + (bill.Journal ? "没有台账" : "没有库存流水"); });
      if (!tables_[bill.Table].MovesStock) continue;
      ++totals.Examined;
      if (bill.TotalQty != bill.RowsQty || bill.TotalMoney != bill.RowsMoney)
        Violate(totals, [&] {
          return BillName(id) + "合计数量" + Text(bill.TotalQty) + ", 金额" + MoneyText(bill.TotalMoney) + "; 明细之和数量" +
                 Text(bill.RowsQty) + ", 金额" + MoneyText(bill.RowsMoney);
        });
    }
  }

  void CheckUsedQuantities() {
    TConsistencyRule& rule = Rule(TConsistencyRuleId::UsedQuantities);
    const std::vector<int64_t> rows = Merged(std::move(detailRows_));
    for (const auto& [row, count] : cited_) {
      if (!std::binary_search(rows.begin(), rows.end(), row)) {
        Violate(rule, [&, row = row] { return "被引用的明细(F_ID " + Text(row) + ")不存在"; });
        continue;
      }
      auto use = used_.find(row);
      const int64_t recorded = use == used_.end() ? 0 : use->second;
      if (recorded != count)
        Violate(rule, [&, row = row, count = count] {
          return "明细(F_ID " + Text(row) + ")已用数量" + Text(recorded) + ", 后续单据引用" + Text(count);
        });
    }
    for (const auto& [row, use] : used_)
      if (!cited_.count(row))
        Violate(rule, [&, row = row, use = use] { return "明细(F_ID " + Text(row) + ")已用数量" + Text(use) + ", 没有后续单据引用"; });
  }

  void CheckIdentifiers() {
    TConsistencyRule& rule = Rule(TConsistencyRuleId::UniqueIdentifiers);
    const std::vector<int64_t> ids = Merged(std::move(identifiers_));
    rule.Examined = static_cast<int64_t>(ids.size() + codes_.size());
    for (size_t i = 1; i < ids.size(); ++i)
      if (ids[i] == ids[i - 1] && (i + 1 == ids.size() || ids[i + 1] != ids[i]))
        Violate(rule, [&] { return "F_ID " + Text(ids[i]) + "重复"; });
    std::sort(codes_.begin(), codes_.end());
    for (size_t i = 1; i < codes_.size(); ++i)
      if (codes_[i].first == codes_[i - 1].first && (i + 1 == codes_.size() || codes_[i + 1].first != codes_[i].first))
        Violate(rule, [&] { return "单据编号[" + codes_[i].first + "]重复"; });
  }

  TSQLiteConnection& c_;
  TConsistencyReport report_;
  std::vector<HeaderTable> tables_;
  std::unordered_map<int64_t, int64_t> locationShops_;
  std::unordered_map<int64_t, Bill> bills_;
  std::vector<StockRow> stock_;  // by F_ID
  std::unordered_map<int64_t, int64_t> cited_;  // detail row -> quantity later moves took from it
  std::unordered_map<int64_t, int64_t> used_;   // detail row -> its F_USE_QTY, where not 0
  std::vector<std::vector<int64_t>> detailRows_;   // per table, rows of bills that move stock
  std::vector<std::vector<int64_t>> identifiers_;  // per table
  std::vector<std::pair<std::string, int64_t>> codes_;
};

}  // namespace

std::string TConsistencyRule::Line() const {
  std::string line = std::string(Passed() ? "[通过] " : "[违规] ") + Name + ": 检查" + Text(Examined) + "行, 违规" +
                     Text(Violations) + "条";
  for (size_t i = 0; i < Examples.size(); ++i) line += (i == 0 ? "; 例: " : "; ") + Examples[i];
  return line;
}

bool TConsistencyReport::Passed() const {
  return std::all_of(Rules.begin(), Rules.end(), [](const TConsistencyRule& r) { return r.Passed(); });
}

int64_t TConsistencyReport::Violations() const {
  int64_t total = 0;
  for (const auto& rule : Rules) total += rule.Violations;
  return total;
}

const TConsistencyRule& TConsistencyReport::Rule(TConsistencyRuleId id) const {
  for (const auto& rule : Rules)
    if (rule.Id == id) return rule;
  throw EDatabaseError("没有这条检查规则");
}

TConsistencyReport CheckStockConsistency(TSQLiteConnection& connection) { return Checker(connection).Run(); }

}  // namespace jxc
