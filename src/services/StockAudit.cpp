#include "services/StockAudit.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <vector>

#include "foundation/UnitPublicUtils.h"
#include "services/SQLiteDBAccess.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace jxc {

namespace {

enum class Flow { In, Out, Transfer, ReturnIn, SupplierExchange, CustomerExchange, StatusOnly };

struct BillKind {
  int Type;
  const char* Table;
  Flow Movement;
};

constexpr BillKind kBillKinds[] = {
    {1, "TB_ORDER", Flow::StatusOnly},          {2, "TB_IN_STOCK", Flow::In},
    {3, "TB_OUT_STOCK", Flow::Out},             {4, "TB_ORDER", Flow::StatusOnly},
    {5, "TB_PF_RETURN", Flow::ReturnIn},        {6, "TB_PF_SALE", Flow::Out},
    {7, "TB_RETAIL_SALE", Flow::Out},           {8, "TB_PF_RETURN", Flow::ReturnIn},
    {9, "TB_PRODUCT_CHANGE", Flow::SupplierExchange}, {10, "TB_PRODUCT_CHANGE", Flow::CustomerExchange},
    {11, "TB_PRODUCT_CHANGE", Flow::CustomerExchange}, {12, "TB_OUT_STOCK", Flow::Transfer},
    {13, "TB_IN_STOCK", Flow::In},              {14, "TB_IN_STOCK", Flow::In},
    {15, "TB_OUT_STOCK", Flow::Out},            {16, "TB_ACC_SETTELMENT", Flow::StatusOnly},
    {17, "TB_IN_STOCK", Flow::In},              {18, "TB_ORDER", Flow::StatusOnly},
    {27, "TB_ACC_SETTELMENT", Flow::StatusOnly}, {28, "TB_ACC_SETTELMENT", Flow::StatusOnly},
    {31, "TB_ACC_SETTELMENT", Flow::StatusOnly},
};

// Journal actions (TB_SYS_STOCK_JOURNAL.F_ACTION).
constexpr int kRowCreated = 1, kUnitTakenOut = 2, kQuantityChanged = 3, kSourceUsed = 4;

// Tables whose rows a returned unit may have been sold by.
constexpr const char* kSaleDetailTables[] = {"TB_PF_SALE_DETAIL", "TB_RETAIL_SALE_DETAIL", "TB_PRODUCT_CHANGE_DETAIL"};


std::string SerialText(const Variant& v) {
  std::string s = v.IsNullOrEmpty() ? std::string() : v.ToString();
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  size_t start = 0;
  while (start < s.size() && std::isspace(static_cast<unsigned char>(s[start]))) ++start;
  s = s.substr(start);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }
Variant IdOrNull(int64_t id) { return id ? Id(id) : Variant::Null(); }

// One side of a detail row: the unit or quantity that moves.
struct Side {
  int Row = 0;  // 1-based row number for messages
  int64_t DetailId = 0;
  std::string ModeNo;
  int64_t Product = 0, Color = 0, Config = 0, Location = 0, Supplier = 0, Source = 0;
  int ProductType = 0;
  int64_t Qty = 0;
  Currency Price, Cost, EmployeeCost;
  Variant Unit, Batch, InDate;
  bool Serial() const { return ProductType == 1 || ProductType == 3 || (ProductType == 0 && !ModeNo.empty()); }
};

// What leaving stock found about a unit, for the receiving side of a transfer.
struct Taken {
  Currency Cost, EmployeeCost;
  int64_t Supplier = 0;
  Variant InDate, Batch;
};

class AuditRun {
 public:
  AuditRun(TSQLiteDBAccess& db, const BillKind& kind, int64_t billID)
      : db_(db), c_(db.Connection()), kind_(kind), billID_(billID),
        header_(std::string(kind.Table)), detail_(std::string(kind.Table) + "_DETAIL") {}

  void Audit() {
    LoadHeader();
    if (status_ == 2) Refuse("单据[" + code_ + "]已审核, 不能重复审核");
    if (kind_.Movement != Flow::StatusOnly) MoveStock();
    auto update = c_.Prepare("UPDATE " + header_ + " SET F_STATUS = 2, F_AUDITOR = ?1, F_AUDIT_DATE = ?2 WHERE F_ID = ?3");
    update->Bind(0, Variant(UserInfo ? UserInfo->Name() : std::string())).Bind(1, Variant(Now())).Bind(2, Id(billID_));
    update->Run();
  }

  void UnAudit() {
    LoadHeader();
    if (status_ != 2) Refuse("单据[" + code_ + "]未审核, 不能反审核");
    if (kind_.Movement != Flow::StatusOnly) UndoStock();
    auto update = c_.Prepare("UPDATE " + header_ + " SET F_STATUS = 1, F_AUDITOR = NULL, F_AUDIT_DATE = NULL WHERE F_ID = ?1");
    update->Bind(0, Id(billID_));
    update->Run();
  }

 private:
  [[noreturn]] void Refuse(const std::string& reason) { throw EDatabaseError(reason); }

  void LoadHeader() {
    auto header = c_.Prepare("SELECT F_STATUS, F_KIND, F_CODE, F_SHOP_ID, F_BILL_DATE, F_CUSTOMER_ID" +
                             std::string(kind_.Movement == Flow::Transfer ? ", F_IN_SHOP_ID" : ", 0") + " FROM " +
                             header_ + " WHERE F_ID = ?1");
    header->Bind(0, Id(billID_));
    if (!header->Step()) Refuse("单据不存在(" + header_ + ", F_ID = " + std::to_string(billID_) + ")");
    status_ = static_cast<int>(header->Int64(0));
    code_ = header->Text(2);
    if (!header->IsNull(1) && header->Int64(1) != kind_.Type)
      Refuse("单据[" + code_ + "]的类型(" + std::to_string(header->Int64(1)) + ")与审核的类型(" +
             std::to_string(kind_.Type) + ")不符");
    shop_ = header->Int64(3);
    billDate_ = header->IsNull(4) ? Variant::Null() : Variant(header->Text(4));
    customer_ = header->Int64(5);
    inShop_ = header->Int64(6);
  }

  std::vector<std::pair<Side, Side>> LoadDetail() {
    const bool exchange = kind_.Movement == Flow::SupplierExchange || kind_.Movement == Flow::CustomerExchange;
    std::string columns =
        "d.F_ID, d.F_MODE_NO, d.F_PRODUCT_ID, d.F_COLOR_ID, d.F_CONFIG_ID, d.F_LOCATION_ID, d.F_ROOT_ID, d.F_SOURCE_ID, "
        "COALESCE(d.F_PRODUCT_TYPE_ID, p.F_PRODUCT_TYPE_ID, 0), d.F_QTY, d.F_PRICE, d.F_COST_PRICE, d.F_PRICE_EMPLOYEE, "
        "d.F_UNIT, d.F_PH, d.F_IN_DATE, d.F_PRESENT";
    if (exchange)
      columns += ", d.F_NEW_MODE_NO, d.F_NEW_PRODUCT_ID, d.F_NEW_COLOR_ID, d.F_NEW_CONFIG_ID, d.F_NEW_LOCATION_ID, "
                 "d.F_NEW_PRICE, d.F_NEW_PRICE_EMPLOYEE";
    auto rows = c_.Prepare("SELECT " + columns + " FROM " + detail_ +
                           " d LEFT JOIN TB_PRODUCT_ATTRIBUTE p ON p.F_ID = d.F_PRODUCT_ID WHERE d.F_MID = ?1 ORDER BY d.F_ID");
    rows->Bind(0, Id(billID_));
    std::vector<std::pair<Side, Side>> result;
    int number = 0;
    while (rows->Step()) {
      Side s;
      s.Row = ++number;
      s.DetailId = rows->Int64(0);
      s.ModeNo = SerialText(Variant(rows->Text(1)));
      s.Product = rows->Int64(2);
      s.Color = rows->Int64(3);
      s.Config = rows->Int64(4);
      s.Location = rows->Int64(5);
      s.Supplier = rows->Int64(6);
      s.Source = rows->Int64(7);
      s.ProductType = static_cast<int>(rows->Int64(8));
      s.Qty = rows->Int64(9);
      s.Price = Currency::FromDouble(rows->Double(10));
      const bool gift = rows->Int64(16) == 1;
      s.Cost = rows->IsNull(11) ? (gift ? Currency() : s.Price) : Currency::FromDouble(rows->Double(11));
      s.EmployeeCost = Currency::FromDouble(rows->Double(12));
      s.Unit = rows->IsNull(13) ? Variant::Null() : Variant(rows->Text(13));
      s.Batch = rows->IsNull(14) ? Variant::Null() : Variant(rows->Text(14));
      s.InDate = rows->IsNull(15) ? Variant::Null() : Variant(rows->Text(15));
      Side n;
      if (exchange) {
        n = s;
        n.ModeNo = SerialText(Variant(rows->Text(17)));
        n.Product = rows->IsNull(18) ? s.Product : rows->Int64(18);
        n.Color = rows->IsNull(19) ? s.Color : rows->Int64(19);
        n.Config = rows->IsNull(20) ? s.Config : rows->Int64(20);
        n.Location = rows->IsNull(21) ? s.Location : rows->Int64(21);
        n.Price = Currency::FromDouble(rows->Double(22));
        n.Cost = n.Price;
        n.EmployeeCost = Currency::FromDouble(rows->Double(23));
      }
      result.emplace_back(std::move(s), std::move(n));
    }
    return result;
  }

  void CheckSide(const Side& s, const char* what) {
    if (s.Serial() && s.ModeNo.empty()) Refuse("第" + std::to_string(s.Row) + "行" + what + "串码为空");
    if (!s.Serial() && s.Qty <= 0) Refuse("第" + std::to_string(s.Row) + "行" + what + "数量必须大于0");
    if (s.Product == 0) Refuse("第" + std::to_string(s.Row) + "行没有商品");
  }

  void MoveStock() {
    const auto rows = LoadDetail();
    if (kind_.Movement == Flow::Transfer && (inShop_ == 0 || inShop_ == shop_))
      Refuse("调拨单[" + code_ + "]的调入店铺未设置或与调出店铺相同");
    for (const auto& [side, other] : rows) {
      CheckSide(side, "");
      if (kind_.Movement == Flow::SupplierExchange || kind_.Movement == Flow::CustomerExchange) CheckSide(other, "新");
    }
    ids_ = db_.Sequences().Reserve("ID", static_cast<int64_t>(rows.size()) * 4 + 1);
    for (const auto& [side, other] : rows) {
      switch (kind_.Movement) {
        case Flow::In: In(side, shop_, nullptr); break;
        case Flow::Out: Out(side, shop_); break;
        case Flow::Transfer: {
          const Taken taken = Out(side, shop_);
          Side received = side;
          received.Location = DefaultLocation(inShop_);
          In(received, inShop_, &taken);
          break;
        }
        case Flow::ReturnIn:
          In(side, shop_, nullptr);
          MarkSourceReturned(side);
          break;
        case Flow::SupplierExchange:
          Out(side, shop_);
          In(other, shop_, nullptr);
          break;
        case Flow::CustomerExchange:
          In(side, shop_, nullptr);
          MarkSourceReturned(side);
          Out(other, shop_);
          break;
        case Flow::StatusOnly: break;
      }
    }
  }

  int64_t NewId() { return ids_++; }

  int64_t DefaultLocation(int64_t shop) {
    auto location = c_.Prepare("SELECT F_ID FROM TB_STOCK_LOCATION WHERE F_SHOP_ID = ?1 ORDER BY F_DEFAULT DESC, F_ID LIMIT 1");
    location->Bind(0, Id(shop));
    return location->Step() ? location->Int64(0) : 0;
  }

  void Journal(int64_t stockRow, int action, int64_t qty, Currency money, const std::string& table, int64_t row) {
    auto insert = c_.Prepare(
        "INSERT INTO TB_SYS_STOCK_JOURNAL (F_BILL_ID, F_KIND, F_STOCK_ROW_ID, F_ACTION, F_QTY, F_MONEY, F_SOURCE_TABLE, "
        "F_SOURCE_ROW_ID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    insert->Bind(0, Id(billID_)).Bind(1, Variant(kind_.Type)).Bind(2, Id(stockRow)).Bind(3, Variant(action));
    insert->Bind(4, Variant(static_cast<long long>(qty))).Bind(5, Variant(money));
    insert->Bind(6, table.empty() ? Variant::Null() : Variant(table)).Bind(7, IdOrNull(row));
    insert->Run();
  }

  void Ledger(const Side& s, int64_t shop, int64_t qty, Currency cost, int64_t supplier, const Variant& inDate) {
    auto insert = c_.Prepare(
        "INSERT INTO TB_JXC_ACCOUNT (F_ID, F_BILL_ID, F_BILL_CODE, F_KIND, F_BILL_DATE, F_SHOP_ID, F_LOCATION_ID, "
        "F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_QTY, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_EMPLOYEE_MONEY, F_CUSTOMER_ID, "
        "F_IN_DATE) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
    const int64_t units = qty < 0 ? -qty : qty;
    insert->Bind(0, Id(NewId())).Bind(1, Id(billID_)).Bind(2, Variant(code_)).Bind(3, Variant(kind_.Type));
    insert->Bind(4, billDate_).Bind(5, Id(shop)).Bind(6, Id(s.Location)).Bind(7, Id(s.Product)).Bind(8, Id(s.Color));
    insert->Bind(9, s.ModeNo.empty() ? Variant::Null() : Variant(s.ModeNo)).Bind(10, Variant(static_cast<long long>(qty)));
    insert->Bind(11, Variant(s.Price)).Bind(12, Variant(cost)).Bind(13, Variant(cost * units));
    insert->Bind(14, Variant(s.EmployeeCost * units)).Bind(15, IdOrNull(supplier)).Bind(16, inDate);
    insert->Run();
  }

  // Into stock at the shop. A transfer passes what the sending side knew about the unit.
  void In(const Side& s, int64_t shop, const Taken* taken) {
    const Currency cost = taken ? taken->Cost : s.Cost;
    const Currency employeeCost = taken ? taken->EmployeeCost : s.EmployeeCost;
    const int64_t supplier = taken ? taken->Supplier : (s.Supplier ? s.Supplier : customer_);
    const Variant inDate = taken ? taken->InDate : (s.InDate.IsNull() ? billDate_ : s.InDate);
    const Variant batch = taken ? taken->Batch : s.Batch;
    if (s.Serial()) {
      auto present = c_.Prepare("SELECT F_SHOP_ID FROM TB_SYS_STOCK WHERE F_MODE_NO = ?1 AND F_HAVE_QTY > 0");
      present->Bind(0, Variant(s.ModeNo));
      if (present->Step())
        Refuse("第" + std::to_string(s.Row) + "行串码[" + s.ModeNo + "]已在库存中, 不能重复入库");
      present.reset();
      const int64_t row = NewId();
      auto insert = c_.Prepare(
          "INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_MODE_NO, "
          "F_HAVE_QTY, F_UNIT, F_PH, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_PRICE_EMPLOYEE, F_CUSTOMER_ID, F_IN_DATE, "
          "F_IN_BILL_ID, F_STOCK_ID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 1, ?8, ?9, ?10, ?11, ?11, ?12, ?13, ?14, ?15, ?16)");
      insert->Bind(0, Id(row)).Bind(1, Id(shop)).Bind(2, Id(s.Location)).Bind(3, Id(s.Product)).Bind(4, Id(s.Color));
      insert->Bind(5, IdOrNull(s.Config)).Bind(6, Variant(s.ModeNo)).Bind(7, s.Unit).Bind(8, batch);
      insert->Bind(9, Variant(s.Price)).Bind(10, Variant(cost)).Bind(11, Variant(employeeCost));
      insert->Bind(12, IdOrNull(supplier)).Bind(13, inDate).Bind(14, Id(billID_)).Bind(15, Id(s.DetailId));
      insert->Run();
      Journal(row, kRowCreated, 1, cost, detail_, s.DetailId);
      Ledger(s, shop, 1, cost, supplier, inDate);
      return;
    }
    const int64_t row = CountedRow(s, shop, true);
    const Currency money = cost * s.Qty;
    auto update = c_.Prepare(
        "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY + ?1, F_COST_MONEY = F_COST_MONEY + ?2, "
        "F_COST_PRICE = CASE WHEN F_HAVE_QTY + ?1 > 0 THEN ROUND((F_COST_MONEY + ?2) / (F_HAVE_QTY + ?1), 4) ELSE F_COST_PRICE END "
        "WHERE F_ID = ?3");
    update->Bind(0, Variant(static_cast<long long>(s.Qty))).Bind(1, Variant(money)).Bind(2, Id(row));
    update->Run();
    Journal(row, kQuantityChanged, s.Qty, money, "", 0);
    Ledger(s, shop, s.Qty, cost, supplier, inDate);
  }

  // The row of a counted product at the shop and location; created (and journalled) when asked.
  int64_t CountedRow(const Side& s, int64_t shop, bool create) {
    auto find = c_.Prepare(
        "SELECT F_ID FROM TB_SYS_STOCK WHERE F_SHOP_ID = ?1 AND F_LOCATION_ID = ?2 AND F_PRODUCT_ID = ?3 "
        "AND F_COLOR_ID = ?4 AND F_MODE_NO IS NULL");
    find->Bind(0, Id(shop)).Bind(1, Id(s.Location)).Bind(2, Id(s.Product)).Bind(3, Id(s.Color));
    if (find->Step()) return find->Int64(0);
    find.reset();
    if (!create) return 0;
    const int64_t row = NewId();
    auto insert = c_.Prepare(
        "INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_HAVE_QTY, "
        "F_UNIT, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_CUSTOMER_ID, F_IN_DATE, F_IN_BILL_ID) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, ?7, ?8, 0, 0, ?9, ?10, ?11)");
    insert->Bind(0, Id(row)).Bind(1, Id(shop)).Bind(2, Id(s.Location)).Bind(3, Id(s.Product)).Bind(4, Id(s.Color));
    insert->Bind(5, IdOrNull(s.Config)).Bind(6, s.Unit).Bind(7, Variant(s.Price)).Bind(8, IdOrNull(s.Supplier));
    insert->Bind(9, billDate_).Bind(10, Id(billID_));
    insert->Run();
    Journal(row, kRowCreated, 0, Currency(), detail_, s.DetailId);
    return row;
  }

  // Out of stock at the shop.
  Taken Out(const Side& s, int64_t shop) {
    Taken taken;
    if (s.Serial()) {
      auto unit = c_.Prepare(
          "SELECT F_ID, F_SHOP_ID, F_PRODUCT_ID, F_COST_PRICE, F_PRICE_EMPLOYEE, F_CUSTOMER_ID, F_IN_DATE, F_PH "
          "FROM TB_SYS_STOCK WHERE F_MODE_NO = ?1 AND F_HAVE_QTY > 0");
      unit->Bind(0, Variant(s.ModeNo));
      const std::string where = "第" + std::to_string(s.Row) + "行串码[" + s.ModeNo + "]";
      if (!unit->Step()) Refuse(where + "不在库存中");
      if (unit->Int64(1) != shop) Refuse(where + "不属于本店铺库存");
      if (s.Product && unit->Int64(2) != s.Product) Refuse(where + "的商品与库存中的商品不符");
      const int64_t row = unit->Int64(0);
      taken.Cost = Currency::FromDouble(unit->Double(3));
      taken.EmployeeCost = Currency::FromDouble(unit->Double(4));
      taken.Supplier = unit->Int64(5);
      taken.InDate = unit->IsNull(6) ? Variant::Null() : Variant(unit->Text(6));
      taken.Batch = unit->IsNull(7) ? Variant::Null() : Variant(unit->Text(7));
      unit.reset();
      auto update = c_.Prepare("UPDATE TB_SYS_STOCK SET F_HAVE_QTY = 0, F_OUT_BILL_ID = ?1 WHERE F_ID = ?2");
      update->Bind(0, Id(billID_)).Bind(1, Id(row));
      update->Run();
      Journal(row, kUnitTakenOut, 1, taken.Cost, "", 0);
      MarkArrivalUsed(row);
      Side ledger = s;
      ledger.EmployeeCost = taken.EmployeeCost;
      Ledger(ledger, shop, -1, taken.Cost, taken.Supplier, taken.InDate);
      return taken;
    }
    const int64_t row = CountedRow(s, shop, false);
    auto have = c_.Prepare("SELECT F_HAVE_QTY, F_COST_MONEY FROM TB_SYS_STOCK WHERE F_ID = ?1");
    have->Bind(0, Id(row));
    const int64_t available = row && have->Step() ? have->Int64(0) : 0;
    const Currency stockMoney = row ? Currency::FromDouble(have->Double(1)) : Currency();
    have.reset();
    if (available < s.Qty)
      Refuse("第" + std::to_string(s.Row) + "行商品库存不足(库存" + std::to_string(available) + ", 需要" +
             std::to_string(s.Qty) + ")");
    const Currency money = available == s.Qty ? stockMoney : (stockMoney * s.Qty) / available;
    taken.Cost = money / s.Qty;
    auto update = c_.Prepare(
        "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY - ?1, F_COST_MONEY = F_COST_MONEY - ?2 WHERE F_ID = ?3");
    update->Bind(0, Variant(static_cast<long long>(s.Qty))).Bind(1, Variant(money)).Bind(2, Id(row));
    update->Run();
    Journal(row, kQuantityChanged, -s.Qty, -money, "", 0);
    Ledger(s, shop, -s.Qty, taken.Cost, s.Supplier, billDate_);
    return taken;
  }

  // A unit leaving stock counts as used on the bill row that brought it in.
  void MarkArrivalUsed(int64_t stockRow) {
    auto arrival = c_.Prepare(
        "SELECT F_SOURCE_TABLE, F_SOURCE_ROW_ID FROM TB_SYS_STOCK_JOURNAL WHERE F_STOCK_ROW_ID = ?1 AND F_ACTION = 1 "
        "AND F_SOURCE_TABLE IS NOT NULL ORDER BY F_ID DESC LIMIT 1");
    arrival->Bind(0, Id(stockRow));
    if (!arrival->Step()) return;
    const std::string table = arrival->Text(0);
    const int64_t row = arrival->Int64(1);
    arrival.reset();
    UseSource(stockRow, table, row, 1);
  }

  void MarkSourceReturned(const Side& s) {
    if (!s.Source) return;
    for (const char* table : kSaleDetailTables)
      if (UseSource(0, table, s.Source, s.Serial() ? 1 : s.Qty)) return;
  }

  bool UseSource(int64_t stockRow, const std::string& table, int64_t row, int64_t qty) {
    auto update = c_.Prepare("UPDATE " + table + " SET F_USE_QTY = IFNULL(F_USE_QTY, 0) + ?1 WHERE F_ID = ?2");
    update->Bind(0, Variant(static_cast<long long>(qty))).Bind(1, Id(row));
    if (update->Run() == 0) return false;
    Journal(stockRow, kSourceUsed, qty, Currency(), table, row);
    return true;
  }

  void UndoStock() {
    struct Entry {
      int64_t StockRow;
      int Action;
      int64_t Qty;
      Currency Money;
      std::string Table;
      int64_t SourceRow;
    };
    std::vector<Entry> entries;
    {
      auto journal = c_.Prepare(
          "SELECT F_STOCK_ROW_ID, F_ACTION, F_QTY, F_MONEY, F_SOURCE_TABLE, F_SOURCE_ROW_ID FROM TB_SYS_STOCK_JOURNAL "
          "WHERE F_BILL_ID = ?1 ORDER BY F_ID DESC");
      journal->Bind(0, Id(billID_));
      while (journal->Step())
        entries.push_back({journal->Int64(0), static_cast<int>(journal->Int64(1)), journal->Int64(2),
                           Currency::FromDouble(journal->Double(3)), journal->Text(4), journal->Int64(5)});
    }
    for (const auto& e : entries) {
      switch (e.Action) {
        case kRowCreated:
          if (e.Qty == 1) {
            auto unit = c_.Prepare("SELECT F_MODE_NO, F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_ID = ?1");
            unit->Bind(0, Id(e.StockRow));
            if (!unit->Step()) Refuse("库存记录已不存在, 不能反审核");
            if (unit->Int64(1) != 1) Refuse("串码[" + unit->Text(0) + "]已出库, 不能反审核");
            unit.reset();
            auto remove = c_.Prepare("DELETE FROM TB_SYS_STOCK WHERE F_ID = ?1");
            remove->Bind(0, Id(e.StockRow));
            remove->Run();
          }
          break;
        case kUnitTakenOut: {
          auto unit = c_.Prepare(
              "SELECT s.F_MODE_NO, s.F_HAVE_QTY, s.F_OUT_BILL_ID, (SELECT COUNT(*) FROM TB_SYS_STOCK o "
              "WHERE o.F_MODE_NO = s.F_MODE_NO AND o.F_HAVE_QTY > 0) FROM TB_SYS_STOCK s WHERE s.F_ID = ?1");
          unit->Bind(0, Id(e.StockRow));
          if (!unit->Step()) Refuse("库存记录已不存在, 不能反审核");
          const std::string serial = unit->Text(0);
          if (unit->Int64(1) != 0 || unit->Int64(2) != billID_ || unit->Int64(3) > 0)
            Refuse("串码[" + serial + "]已重新入库, 不能反审核");
          unit.reset();
          auto restore = c_.Prepare("UPDATE TB_SYS_STOCK SET F_HAVE_QTY = 1, F_OUT_BILL_ID = NULL WHERE F_ID = ?1");
          restore->Bind(0, Id(e.StockRow));
          restore->Run();
          break;
        }
        case kQuantityChanged: {
          auto have = c_.Prepare("SELECT F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_ID = ?1");
          have->Bind(0, Id(e.StockRow));
          if (!have->Step() || have->Int64(0) - e.Qty < 0) Refuse("商品库存已变动(库存不足), 不能反审核");
          have.reset();
          // The average cost follows the money and quantity back, as the audit moved it.
          auto restore = c_.Prepare(
              "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY - ?1, F_COST_MONEY = F_COST_MONEY - ?2, "
              "F_COST_PRICE = CASE WHEN F_HAVE_QTY - ?1 > 0 THEN ROUND((F_COST_MONEY - ?2) / (F_HAVE_QTY - ?1), 4) "
              "ELSE F_COST_PRICE END WHERE F_ID = ?3");
          restore->Bind(0, Variant(static_cast<long long>(e.Qty))).Bind(1, Variant(e.Money)).Bind(2, Id(e.StockRow));
          restore->Run();
          break;
        }
        case kSourceUsed: {
          auto restore = c_.Prepare("UPDATE " + e.Table + " SET F_USE_QTY = F_USE_QTY - ?1 WHERE F_ID = ?2");
          restore->Bind(0, Variant(static_cast<long long>(e.Qty))).Bind(1, Id(e.SourceRow));
          restore->Run();
          break;
        }
        default: Refuse("库存流水记录无效, 不能反审核");
      }
    }
    auto clearJournal = c_.Prepare("DELETE FROM TB_SYS_STOCK_JOURNAL WHERE F_BILL_ID = ?1");
    clearJournal->Bind(0, Id(billID_));
    clearJournal->Run();
    auto clearLedger = c_.Prepare("DELETE FROM TB_JXC_ACCOUNT WHERE F_BILL_ID = ?1");
    clearLedger->Bind(0, Id(billID_));
    clearLedger->Run();
  }

  TSQLiteDBAccess& db_;
  TSQLiteConnection& c_;
  const BillKind& kind_;
  int64_t billID_;
  std::string header_, detail_;
  int status_ = 0;
  std::string code_;
  int64_t shop_ = 0, inShop_ = 0, customer_ = 0;
  Variant billDate_;
  int64_t ids_ = 0;
};

}  // namespace

void TStockAudit::Run(int operation, int billType, const std::string& auditCall, int64_t billID) {
  if (operation != 1 && operation != 2) throw EDatabaseError("审核操作无效: " + std::to_string(operation));
  if (!auditCall.empty()) {
    db_.Query("EXEC " + auditCall + " " + std::to_string(billID) + ", " + std::to_string(operation) + ", " +
              std::to_string(billType));
    return;
  }
  const auto* kind = std::find_if(std::begin(kBillKinds), std::end(kBillKinds),
                                  [&](const BillKind& k) { return k.Type == billType; });
  if (kind == std::end(kBillKinds)) throw EDatabaseError("单据类型[" + std::to_string(billType) + "]没有审核过程");
  TSQLiteTransaction transaction(db_.Connection());
  AuditRun run(db_, *kind, billID);
  if (operation == 1) run.Audit();
  else run.UnAudit();
  transaction.Commit();
}

}  // namespace jxc
