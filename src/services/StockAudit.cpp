#include "services/StockAudit.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

#include "foundation/UnitPublicUtils.h"
#include "services/SQLiteDBAccess.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace jxc {

const std::vector<TBillKind>& BillKinds() {
  using F = TStockFlow;
  static const std::vector<TBillKind> kinds = {
      {1, "TB_ORDER", F::StatusOnly},          {2, "TB_IN_STOCK", F::In},
      {3, "TB_OUT_STOCK", F::Out},             {4, "TB_ORDER", F::StatusOnly},
      {5, "TB_PF_RETURN", F::ReturnIn},        {6, "TB_PF_SALE", F::Out},
      {7, "TB_RETAIL_SALE", F::Out},           {8, "TB_PF_RETURN", F::ReturnIn},
      {9, "TB_PRODUCT_CHANGE", F::SupplierExchange}, {10, "TB_PRODUCT_CHANGE", F::CustomerExchange},
      {11, "TB_PRODUCT_CHANGE", F::CustomerExchange}, {12, "TB_OUT_STOCK", F::Transfer},
      {13, "TB_IN_STOCK", F::In},              {14, "TB_IN_STOCK", F::In},
      {15, "TB_OUT_STOCK", F::Out},            {16, "TB_ACC_SETTELMENT", F::StatusOnly},
      {17, "TB_IN_STOCK", F::In},              {18, "TB_ORDER", F::StatusOnly},
      {27, "TB_ACC_SETTELMENT", F::StatusOnly}, {28, "TB_ACC_SETTELMENT", F::StatusOnly},
      {31, "TB_ACC_SETTELMENT", F::StatusOnly},
  };
  return kinds;
}

const TBillKind* FindBillKind(int type) {
  const auto& kinds = BillKinds();
  const auto found = std::find_if(kinds.begin(), kinds.end(), [&](const TBillKind& k) { return k.Type == type; });
  return found == kinds.end() ? nullptr : &*found;
}

// While an audit procedure runs on the connection, the schema's guards let its writes to audited bills
// through.
class TAuditScope {
 public:
  explicit TAuditScope(TStockAudit& audit) : audit_(audit) { ++audit_.running_; }
  ~TAuditScope() { --audit_.running_; }
  TAuditScope(const TAuditScope&) = delete;
  TAuditScope& operator=(const TAuditScope&) = delete;

 private:
  TStockAudit& audit_;
};

namespace {

void AuditRunningFunction(sqlite3_context* context, int, sqlite3_value**) {
  const auto* audit = static_cast<const TStockAudit*>(sqlite3_user_data(context));
  sqlite3_result_int(context, audit->Running() ? 1 : 0);
}

// Stops the statement with the text as its error, marked as a function's refusal: the write path hands
// the text on as it stands.
void RefuseFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  sqlite3_result_error(context, text ? text : "", -1);
  sqlite3_result_error_code(context, SQLITE_CONSTRAINT_FUNCTION);
}

// Detail rows a return or exchange may cite: the sales of its family and the units given out by
// exchanges of the same family (what the return screens look up).
struct SaleSource {
  const char* Table;
  const char* Header;
  int ExchangeKind;  // 0 for a sale table; else the kind the exchange header must have
};
constexpr SaleSource kWholesaleSources[] = {{"TB_PF_SALE_DETAIL", "TB_PF_SALE", 0},
                                            {"TB_PRODUCT_CHANGE_DETAIL", "TB_PRODUCT_CHANGE", 10}};
constexpr SaleSource kRetailSources[] = {{"TB_RETAIL_SALE_DETAIL", "TB_RETAIL_SALE", 0},
                                         {"TB_PRODUCT_CHANGE_DETAIL", "TB_PRODUCT_CHANGE", 11}};

std::string SerialText(const std::string& text) {
  std::string s = text;
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  size_t start = 0;
  while (start < s.size() && std::isspace(static_cast<unsigned char>(s[start]))) ++start;
  s = s.substr(start);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }
Variant IdOrNull(int64_t id) { return id ? Id(id) : Variant::Null(); }
Variant Count(int64_t n) { return Variant(static_cast<long long>(n)); }
Variant TextOrNull(TSQLiteStatement& s, int column) { return s.IsNull(column) ? Variant::Null() : Variant(s.Text(column)); }
// Money is stored as a real holding four decimals; the nearest ten-thousandth is its value.
Currency Money(TSQLiteStatement& s, int column) { return Currency::FromRaw(std::llround(s.Double(column) * 10000.0)); }
Variant MoneyOrNull(TSQLiteStatement& s, int column) { return s.IsNull(column) ? Variant::Null() : Variant(Money(s, column)); }

// The columns of a stock row that travel with the goods, in the order GoodsAt reads them.
constexpr const char* kGoodsColumns =
    "F_COLOR_ID, F_CONFIG_ID, F_UNIT, F_PH, F_PRICE, F_COST_PRICE, F_PRICE_EMPLOYEE, F_CUSTOMER_ID, F_IN_DATE";

// A table name read back from the journal, accepted only when it is a bill detail table.
const std::string& DetailTableName(const std::string& name) {
  for (const auto& kind : BillKinds())
    if (name == std::string(kind.Table) + "_DETAIL") return name;
  throw EDatabaseError("库存流水记录无效(表[" + name + "]), 不能反审核");
}

// One side of a detail row: the unit or quantity that moves.
struct Side {
  int Row = 0;  // 1-based row number for messages
  int64_t DetailId = 0;
  std::string ModeNo, ProductName;
  int64_t Product = 0, Color = 0, Config = 0, Location = 0, Supplier = 0, Source = 0;
  int ProductType = 0;
  int64_t Qty = 0;
  Currency Price, Cost, EmployeeCost;
  Variant Unit, Batch, InDate;
  Variant StoredCostPrice, StoredStockId;  // as the row holds them before the audit stamps it
  bool Serial() const { return ProductType == 1 || ProductType == 3 || (ProductType == 0 && !ModeNo.empty()); }
  std::string What() const { return Serial() ? "串码[" + ModeNo + "]" : "商品[" + ProductName + "]"; }
  std::string At() const { return "第" + std::to_string(Row) + "行" + What(); }
};

// What a unit or quantity carries into stock: the bill row's values for goods new to the chain, the
// unit's own when it moves on or comes back.
struct Carried {
  int64_t Color = 0, Config = 0, Supplier = 0;
  Variant Unit, Batch, InDate;
  Currency Price, Cost, EmployeeCost;
};

// What a stock row holds of the goods, read from kGoodsColumns starting at the column.
Carried GoodsAt(TSQLiteStatement& row, int first) {
  Carried c;
  c.Color = row.Int64(first);
  c.Config = row.Int64(first + 1);
  c.Unit = TextOrNull(row, first + 2);
  c.Batch = TextOrNull(row, first + 3);
  c.Price = Money(row, first + 4);
  c.Cost = Money(row, first + 5);
  c.EmployeeCost = Money(row, first + 6);
  c.Supplier = row.Int64(first + 7);
  c.InDate = TextOrNull(row, first + 8);
  return c;
}

// A stock row and what identifies it.
struct Place {
  int64_t Row = 0, Shop = 0, Location = 0, Product = 0, Color = 0;
  std::string ModeNo;  // empty for a counted row
};

// What leaving stock took: where from, what it carried, and the cost money that left.
struct Taken {
  Place From;
  Carried Goods;
  Currency Money;
};

struct JournalEntry {
  JournalEntry(int64_t stockRow, int action, int64_t qty, Currency money, std::string table = {}, int64_t row = 0)
      : StockRow(stockRow), Action(action), Qty(qty), Money(money), Table(std::move(table)), Row(row) {}
  int64_t StockRow;
  int Action;
  int64_t Qty;
  Currency Money;
  std::string Table;  // the detail row concerned, when there is one
  int64_t Row;
  Variant OldCostPrice = Variant::Null(), NewCostPrice = Variant::Null(), OldInDate = Variant::Null(),
          OldStockId = Variant::Null();
};

class AuditRun {
 public:
  AuditRun(TSQLiteDBAccess& db, const TBillKind& kind, int64_t billID)
      : db_(db), c_(db.Connection()), kind_(kind), billID_(billID),
        header_(std::string(kind.Table)), detail_(std::string(kind.Table) + "_DETAIL") {}

  void Audit() {
    LoadHeader();
    if (status_ == 2) Refuse("单据[" + code_ + "]已审核, 不能重复审核");
    if (kind_.Flow != TStockFlow::StatusOnly) MoveStock();
    else if (HasGoodsLines() && !HasLines()) Refuse(NoLines());
    auto update = c_.Prepare("UPDATE " + header_ + " SET F_STATUS = 2, F_AUDITOR = ?1, F_AUDIT_DATE = ?2 WHERE F_ID = ?3");
    update->Bind(0, Variant(UserInfo ? UserInfo->Name() : std::string())).Bind(1, Variant(Now())).Bind(2, Id(billID_));
    update->Run();
  }

  void UnAudit() {
    LoadHeader();
    if (status_ != 2) Refuse("单据[" + code_ + "]未审核, 不能反审核");
    if (HasGoodsLines()) RefuseWhenUsedByLaterBills();
    if (kind_.Flow != TStockFlow::StatusOnly) UndoStock();
    auto update = c_.Prepare("UPDATE " + header_ + " SET F_STATUS = 1, F_AUDITOR = NULL, F_AUDIT_DATE = NULL WHERE F_ID = ?1");
    update->Bind(0, Id(billID_));
    update->Run();
  }

 private:
  [[noreturn]] void Refuse(const std::string& reason) { throw EDatabaseError(reason); }
  std::string NoLines() const { return "单据[" + code_ + "]没有明细, 不能审核"; }
  // Settlements have no goods lines: no quantities, nothing drawn on.
  bool HasGoodsLines() const { return header_ != "TB_ACC_SETTELMENT"; }
  bool Exchange() const {
    return kind_.Flow == TStockFlow::SupplierExchange || kind_.Flow == TStockFlow::CustomerExchange;
  }

  void LoadHeader() {
    auto header = c_.Prepare("SELECT F_STATUS, F_KIND, F_CODE, F_SHOP_ID, F_BILL_DATE, F_CUSTOMER_ID, F_IN_SHOP_ID FROM " +
                             header_ + " WHERE F_ID = ?1");
    header->Bind(0, Id(billID_));
    if (!header->Step()) Refuse("单据不存在(" + header_ + ", F_ID = " + std::to_string(billID_) + ")");
    status_ = static_cast<int>(header->Int64(0));
    code_ = header->Text(2);
    if (!header->IsNull(1) && header->Int64(1) != kind_.Type)
      Refuse("单据[" + code_ + "]的类型(" + std::to_string(header->Int64(1)) + ")与审核的类型(" +
             std::to_string(kind_.Type) + ")不符");
    shop_ = header->Int64(3);
    billDate_ = TextOrNull(*header, 4);
    customer_ = header->Int64(5);
    inShop_ = kind_.Flow == TStockFlow::Transfer ? header->Int64(6) : 0;
  }

  bool HasLines() {
    auto any = c_.Prepare("SELECT 1 FROM " + detail_ + " WHERE F_MID = ?1 LIMIT 1");
    any->Bind(0, Id(billID_));
    return any->Step();
  }

  // The rows in F_ID order; for exchanges `others` receives the side given in place, row by row.
  std::vector<Side> LoadDetail(std::vector<Side>& others) {
    std::string columns =
        "d.F_ID, d.F_MODE_NO, d.F_PRODUCT_ID, d.F_COLOR_ID, d.F_CONFIG_ID, d.F_LOCATION_ID, d.F_ROOT_ID, d.F_SOURCE_ID, "
        "COALESCE(d.F_PRODUCT_TYPE_ID, p.F_PRODUCT_TYPE_ID, 0), d.F_QTY, d.F_PRICE, d.F_COST_PRICE, d.F_PRICE_EMPLOYEE, "
        "d.F_UNIT, d.F_PH, d.F_IN_DATE, d.F_PRESENT, IFNULL(p.F_NAME, d.F_PRODUCT), d.F_STOCK_ID";
    std::string from = " FROM " + detail_ + " d LEFT JOIN TB_PRODUCT_ATTRIBUTE p ON p.F_ID = d.F_PRODUCT_ID";
    if (Exchange()) {
      columns += ", d.F_NEW_MODE_NO, d.F_NEW_PRODUCT_ID, d.F_NEW_COLOR_ID, d.F_NEW_CONFIG_ID, d.F_NEW_LOCATION_ID, "
                 "d.F_NEW_PRICE, d.F_NEW_PRICE_EMPLOYEE, n.F_PRODUCT_TYPE_ID, IFNULL(n.F_NAME, d.F_NEW_PRODUCT)";
      from += " LEFT JOIN TB_PRODUCT_ATTRIBUTE n ON n.F_ID = d.F_NEW_PRODUCT_ID";
    }
    auto rows = c_.Prepare("SELECT " + columns + from + " WHERE d.F_MID = ?1 ORDER BY d.F_ID");
    rows->Bind(0, Id(billID_));
    std::vector<Side> result;
    int number = 0;
    while (rows->Step()) {
      Side s;
      s.Row = ++number;
      s.DetailId = rows->Int64(0);
      s.ModeNo = SerialText(rows->Text(1));
      s.Product = rows->Int64(2);
      s.Color = rows->Int64(3);
      s.Config = rows->Int64(4);
      s.Location = rows->Int64(5);
      s.Supplier = rows->Int64(6);
      s.Source = rows->Int64(7);
      s.ProductType = static_cast<int>(rows->Int64(8));
      s.Qty = rows->Int64(9);
      s.Price = Money(*rows, 10);
      const bool gift = rows->Int64(16) == 1;
      s.StoredCostPrice = MoneyOrNull(*rows, 11);
      s.Cost = rows->IsNull(11) ? (gift ? Currency() : s.Price) : Money(*rows, 11);
      s.EmployeeCost = Money(*rows, 12);
      s.Unit = TextOrNull(*rows, 13);
      s.Batch = TextOrNull(*rows, 14);
      s.InDate = TextOrNull(*rows, 15);
      s.ProductName = rows->IsNull(17) ? "ID " + std::to_string(s.Product) : rows->Text(17);
      s.StoredStockId = rows->IsNull(18) ? Variant::Null() : Id(rows->Int64(18));
      if (Exchange()) {
        Side n = s;
        n.ModeNo = SerialText(rows->Text(19));
        n.Product = rows->IsNull(20) ? s.Product : rows->Int64(20);
        n.Color = rows->IsNull(21) ? s.Color : rows->Int64(21);
        n.Config = rows->IsNull(22) ? s.Config : rows->Int64(22);
        n.Location = rows->IsNull(23) || rows->Int64(23) == 0 ? s.Location : rows->Int64(23);
        n.Price = Money(*rows, 24);
        n.Cost = n.Price;
        n.EmployeeCost = Money(*rows, 25);
        if (!rows->IsNull(26)) n.ProductType = static_cast<int>(rows->Int64(26));
        if (!rows->IsNull(27)) n.ProductName = rows->Text(27);
        others.push_back(std::move(n));
      }
      result.push_back(std::move(s));
    }
    return result;
  }

  int64_t ShopOfLocation(int64_t location) {
    auto known = locationShops_.find(location);
    if (known != locationShops_.end()) return known->second;
    auto shop = c_.Prepare("SELECT F_SHOP_ID FROM TB_STOCK_LOCATION WHERE F_ID = ?1");
    shop->Bind(0, Id(location));
    const int64_t result = shop->Step() ? shop->Int64(0) : 0;
    locationShops_[location] = result;
    return result;
  }

  void CheckSide(const Side& s) {
    const std::string row = "第" + std::to_string(s.Row) + "行";
    if (s.Product == 0) Refuse(row + "没有商品");
    if (s.Serial() && s.ModeNo.empty()) Refuse(row + "串码为空");
    if (s.Serial() && s.Qty != 1) Refuse(s.At() + "的数量必须等于1(现为" + std::to_string(s.Qty) + ")");
    if (!s.Serial() && s.Qty <= 0) Refuse(s.At() + "的数量必须大于0");
    if (s.Location == 0) Refuse(s.At() + "没有库位");
    if (ShopOfLocation(s.Location) != shop_) Refuse(s.At() + "的库位不属于本单店铺");
  }

  void MoveStock() {
    std::vector<Side> others;
    const std::vector<Side> rows = LoadDetail(others);
    if (rows.empty()) Refuse(NoLines());
    int64_t receiving = 0;
    if (kind_.Flow == TStockFlow::Transfer) {
      if (inShop_ == 0 || inShop_ == shop_) Refuse("调拨单[" + code_ + "]的调入店铺未设置或与调出店铺相同");
      receiving = DefaultLocation(inShop_);
      if (receiving == 0) Refuse("调拨单[" + code_ + "]的调入店铺没有库位");
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      CheckSide(rows[i]);
      if (!Exchange()) continue;
      CheckSide(others[i]);
      if (rows[i].Serial() && others[i].Serial() && rows[i].ModeNo == others[i].ModeNo)
        Refuse(rows[i].At() + "换出与换入的是同一串码");
    }
    ids_ = db_.Sequences().Reserve("ID", static_cast<int64_t>(rows.size()) * 4 + 1);
    idsLeft_ = static_cast<int64_t>(rows.size()) * 4 + 1;
    deferArrivals_ = kind_.Flow == TStockFlow::In || kind_.Flow == TStockFlow::Transfer;
    for (size_t i = 0; i < rows.size(); ++i) {
      const Side& side = rows[i];
      switch (kind_.Flow) {
        case TStockFlow::In: In(side, shop_, side.Location, FromRow(side), true); break;
        case TStockFlow::Out: Stamp(side, Out(side, shop_)); break;
        case TStockFlow::Transfer: {
          const Taken taken = Out(side, shop_);
          In(side, inShop_, receiving, taken.Goods, true, &taken.Money);
          Stamp(side, taken);
          break;
        }
        case TStockFlow::ReturnIn:
          In(side, shop_, side.Location, ComingBack(side), true);
          UseSaleSource(side);
          break;
        case TStockFlow::SupplierExchange:
          Out(side, shop_);
          In(others[i], shop_, others[i].Location, FromRow(others[i]), true);
          break;
        case TStockFlow::CustomerExchange:
          // The row's F_USE_QTY counts returns of the unit given out, so the unit taken back is not its arrival.
          In(side, shop_, side.Location, ComingBack(side), false);
          UseSaleSource(side);
          Out(others[i], shop_);
          break;
        case TStockFlow::StatusOnly: break;
      }
    }
    WriteArrivals();
  }

  int64_t NewId() {
    if (idsLeft_ == 0) {
      ids_ = db_.Sequences().Reserve("ID", 64);
      idsLeft_ = 64;
    }
    --idsLeft_;
    return ids_++;
  }

  int64_t DefaultLocation(int64_t shop) {
    auto location = c_.Prepare("SELECT F_ID FROM TB_STOCK_LOCATION WHERE F_SHOP_ID = ?1 ORDER BY F_DEFAULT DESC, F_ID LIMIT 1");
    location->Bind(0, Id(shop));
    return location->Step() ? location->Int64(0) : 0;
  }

  Carried FromRow(const Side& s) const {
    Carried c;
    c.Color = s.Color;
    c.Config = s.Config;
    c.Supplier = s.Supplier ? s.Supplier : customer_;
    c.Unit = s.Unit;
    c.Batch = s.Batch;
    c.InDate = s.InDate.IsNull() ? billDate_ : s.InDate;
    c.Price = s.Price;
    c.Cost = s.Cost;
    c.EmployeeCost = s.EmployeeCost;
    return c;
  }

  // A unit coming back from a customer is what it was when it left: its last stock row, when that was of
  // the row's product; goods without a history take the row's values.
  Carried ComingBack(const Side& s) {
    Carried c = FromRow(s);
    if (!s.Serial()) return c;
    auto last = c_.Prepare(std::string("SELECT F_PRODUCT_ID, ") + kGoodsColumns +
                           " FROM TB_SYS_STOCK WHERE F_MODE_NO = ?1 AND F_HAVE_QTY = 0 ORDER BY F_ID DESC LIMIT 1");
    last->Bind(0, Variant(s.ModeNo));
    if (!last->Step() || last->Int64(0) != s.Product) return c;
    Carried own = GoodsAt(*last, 1);
    if (own.Supplier == 0) own.Supplier = c.Supplier;
    if (own.InDate.IsNull()) own.InDate = c.InDate;
    return own;
  }

  void Journal(const JournalEntry& e) {
    auto insert = c_.Prepare(
        "INSERT INTO TB_SYS_STOCK_JOURNAL (F_BILL_ID, F_KIND, F_STOCK_ROW_ID, F_ACTION, F_QTY, F_MONEY, F_SOURCE_TABLE, "
        "F_SOURCE_ROW_ID, F_OLD_COST_PRICE, F_NEW_COST_PRICE, F_OLD_IN_DATE, F_OLD_STOCK_ID) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
    insert->Bind(0, Id(billID_)).Bind(1, Variant(kind_.Type)).Bind(2, Id(e.StockRow)).Bind(3, Variant(e.Action));
    insert->Bind(4, Count(e.Qty)).Bind(5, Variant(e.Money));
    insert->Bind(6, e.Table.empty() ? Variant::Null() : Variant(e.Table)).Bind(7, IdOrNull(e.Row));
    insert->Bind(8, e.OldCostPrice).Bind(9, e.NewCostPrice).Bind(10, e.OldInDate).Bind(11, e.OldStockId);
    insert->Run();
  }

  // One ledger row per move; quantity and money carry the sign of the move (negative out of stock).
  void Ledger(const Place& at, const Side& s, int64_t qty, Currency money, const Carried& goods) {
    auto insert = c_.Prepare(
        "INSERT INTO TB_JXC_ACCOUNT (F_ID, F_BILL_ID, F_BILL_CODE, F_KIND, F_BILL_DATE, F_SHOP_ID, F_LOCATION_ID, "
        "F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_QTY, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_EMPLOYEE_MONEY, F_CUSTOMER_ID, "
        "F_IN_DATE, F_STOCK_ID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18)");
    const int64_t units = qty < 0 ? -qty : qty;
    insert->Bind(0, Id(NewId())).Bind(1, Id(billID_)).Bind(2, Variant(code_)).Bind(3, Variant(kind_.Type));
    insert->Bind(4, billDate_).Bind(5, Id(at.Shop)).Bind(6, Id(at.Location)).Bind(7, Id(at.Product)).Bind(8, Id(at.Color));
    insert->Bind(9, at.ModeNo.empty() ? Variant::Null() : Variant(at.ModeNo)).Bind(10, Count(qty));
    insert->Bind(11, Variant(s.Price)).Bind(12, Variant(units ? money / units : Currency()));
    insert->Bind(13, Variant(qty < 0 ? -money : money)).Bind(14, Variant(goods.EmployeeCost * qty));
    insert->Bind(15, IdOrNull(goods.Supplier)).Bind(16, goods.InDate).Bind(17, Id(at.Row));
    insert->Run();
  }

  // Into stock at the shop and location. countsArrival: the row's F_USE_QTY counts the unit leaving again.
  // moved: the cost money a transfer took out at the other shop, which arrives whole.
  void In(const Side& s, int64_t shop, int64_t location, const Carried& goods, bool countsArrival,
          const Currency* moved = nullptr) {
    Place at{0, shop, location, s.Product, goods.Color, s.Serial() ? s.ModeNo : std::string()};
    if (s.Serial()) {
      if (!arriving_.insert(s.ModeNo).second) Refuse(s.At() + "在本单中重复");
      arrivals_.push_back({&s, shop, location, goods, countsArrival});
      if (!deferArrivals_) WriteArrivals();
      return;
    }
    at.Row = CountedRow(at, goods, s.Price, true);
    const Currency money = moved ? *moved : goods.Cost * s.Qty;
    const Variant oldPrice = CostPrice(at.Row);
    auto update = c_.Prepare(
        "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY + ?1, F_COST_MONEY = F_COST_MONEY + ?2, "
        "F_COST_PRICE = CASE WHEN F_HAVE_QTY + ?1 > 0 THEN ROUND((F_COST_MONEY + ?2) / (F_HAVE_QTY + ?1), 4) ELSE F_COST_PRICE END "
        "WHERE F_ID = ?3");
    update->Bind(0, Count(s.Qty)).Bind(1, Variant(money)).Bind(2, Id(at.Row));
    update->Run();
    update.reset();
    JournalEntry changed{at.Row, jaQuantityChanged, s.Qty, money};
    changed.OldCostPrice = oldPrice;
    changed.NewCostPrice = CostPrice(at.Row);
    Journal(changed);
    Ledger(at, s, s.Qty, money, goods);
  }

  // The serial-numbered units waiting to arrive go into stock together: one statement each for the stock
  // rows, their journal and their ledger rows, whatever their number. A unit already in stock refuses the
  // audit, naming the first such row.
  void WriteArrivals() {
    if (arrivals_.empty()) return;
    auto put = c_.Prepare(
        "INSERT INTO temp.jxc_arrivals (F_ROW, F_DETAIL_ID, F_STOCK_ID, F_LEDGER_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, "
        "F_COLOR_ID, F_CONFIG_ID, F_MODE_NO, F_UNIT, F_PH, F_PRICE, F_ROW_PRICE, F_COST, F_EMPLOYEE_COST, F_CUSTOMER_ID, "
        "F_IN_DATE, F_COUNTS_ARRIVAL) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19)");
    for (size_t i = 0; i < arrivals_.size(); ++i) {
      const Arrival& a = arrivals_[i];
      const Side& s = *a.Row;
      put->Reset();
      put->Bind(0, Count(static_cast<int64_t>(i))).Bind(1, Id(s.DetailId)).Bind(2, Id(NewId())).Bind(3, Id(NewId()));
      put->Bind(4, Id(a.Shop)).Bind(5, Id(a.Location)).Bind(6, Id(s.Product)).Bind(7, Id(a.Goods.Color));
      put->Bind(8, IdOrNull(a.Goods.Config)).Bind(9, Variant(s.ModeNo)).Bind(10, a.Goods.Unit).Bind(11, a.Goods.Batch);
      put->Bind(12, Variant(a.Goods.Price)).Bind(13, Variant(s.Price)).Bind(14, Variant(a.Goods.Cost));
      put->Bind(15, Variant(a.Goods.EmployeeCost)).Bind(16, IdOrNull(a.Goods.Supplier)).Bind(17, a.Goods.InDate);
      put->Bind(18, Variant(a.CountsArrival ? 1 : 0));
      put->Run();
    }
    put.reset();
    auto present = c_.Prepare(
        "SELECT a.F_ROW FROM temp.jxc_arrivals a WHERE EXISTS (SELECT 1 FROM TB_SYS_STOCK s "
        "WHERE s.F_MODE_NO = a.F_MODE_NO AND s.F_HAVE_QTY > 0) ORDER BY a.F_ROW LIMIT 1");
    if (present->Step()) Refuse(arrivals_[static_cast<size_t>(present->Int64(0))].Row->At() + "已在库存中, 不能重复入库");
    present.reset();
    auto stock = c_.Prepare(
        "INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_MODE_NO, "
        "F_HAVE_QTY, F_UNIT, F_PH, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_PRICE_EMPLOYEE, F_CUSTOMER_ID, F_IN_DATE, "
        "F_IN_BILL_ID, F_STOCK_ID) SELECT F_STOCK_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, "
        "F_MODE_NO, 1, F_UNIT, F_PH, F_PRICE, F_COST, F_COST, F_EMPLOYEE_COST, F_CUSTOMER_ID, F_IN_DATE, ?1, F_DETAIL_ID "
        "FROM temp.jxc_arrivals ORDER BY F_ROW");
    stock->Bind(0, Id(billID_));
    stock->Run();
    stock.reset();
    auto journal = c_.Prepare(
        "INSERT INTO TB_SYS_STOCK_JOURNAL (F_BILL_ID, F_KIND, F_STOCK_ROW_ID, F_ACTION, F_QTY, F_MONEY, F_SOURCE_TABLE, "
        "F_SOURCE_ROW_ID) SELECT ?1, ?2, F_STOCK_ID, 1, 1, F_COST, CASE WHEN F_COUNTS_ARRIVAL = 1 THEN ?3 END, "
        "CASE WHEN F_COUNTS_ARRIVAL = 1 THEN F_DETAIL_ID END FROM temp.jxc_arrivals ORDER BY F_ROW");
    journal->Bind(0, Id(billID_)).Bind(1, Variant(kind_.Type)).Bind(2, Variant(detail_));
    journal->Run();
    journal.reset();
    auto ledger = c_.Prepare(
        "INSERT INTO TB_JXC_ACCOUNT (F_ID, F_BILL_ID, F_BILL_CODE, F_KIND, F_BILL_DATE, F_SHOP_ID, F_LOCATION_ID, "
        "F_PRODUCT_ID, F_COLOR_ID, F_MODE_NO, F_QTY, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_EMPLOYEE_MONEY, F_CUSTOMER_ID, "
        "F_IN_DATE, F_STOCK_ID) SELECT F_LEDGER_ID, ?1, ?2, ?3, ?4, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, "
        "F_MODE_NO, 1, F_ROW_PRICE, F_COST, F_COST, F_EMPLOYEE_COST, F_CUSTOMER_ID, F_IN_DATE, F_STOCK_ID "
        "FROM temp.jxc_arrivals ORDER BY F_ROW");
    ledger->Bind(0, Id(billID_)).Bind(1, Variant(code_)).Bind(2, Variant(kind_.Type)).Bind(3, billDate_);
    ledger->Run();
    ledger.reset();
    c_.Prepare("DELETE FROM temp.jxc_arrivals")->Run();
    arrivals_.clear();
  }

  Variant CostPrice(int64_t stockRow) {
    auto price = c_.Prepare("SELECT F_COST_PRICE FROM TB_SYS_STOCK WHERE F_ID = ?1");
    price->Bind(0, Id(stockRow));
    return price->Step() ? MoneyOrNull(*price, 0) : Variant::Null();
  }

  // The row of a counted product at its shop, location, product and colour; created (and journalled) when
  // asked. 0 when there is none and none was to be made.
  int64_t CountedRow(const Place& at, const Carried& goods, Currency price, bool create) {
    auto find = c_.Prepare(
        "SELECT F_ID FROM TB_SYS_STOCK WHERE F_SHOP_ID = ?1 AND F_LOCATION_ID = ?2 AND F_PRODUCT_ID = ?3 "
        "AND F_COLOR_ID = ?4 AND F_MODE_NO IS NULL");
    find->Bind(0, Id(at.Shop)).Bind(1, Id(at.Location)).Bind(2, Id(at.Product)).Bind(3, Id(at.Color));
    if (find->Step()) return find->Int64(0);
    find.reset();
    if (!create) return 0;
    const int64_t row = NewId();
    auto insert = c_.Prepare(
        "INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_HAVE_QTY, "
        "F_UNIT, F_PRICE, F_COST_PRICE, F_COST_MONEY, F_CUSTOMER_ID, F_IN_DATE, F_IN_BILL_ID) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, ?7, ?8, 0, 0, ?9, ?10, ?11)");
    insert->Bind(0, Id(row)).Bind(1, Id(at.Shop)).Bind(2, Id(at.Location)).Bind(3, Id(at.Product)).Bind(4, Id(at.Color));
    insert->Bind(5, IdOrNull(goods.Config)).Bind(6, goods.Unit).Bind(7, Variant(price)).Bind(8, IdOrNull(goods.Supplier));
    insert->Bind(9, billDate_).Bind(10, Id(billID_));
    insert->Run();
    Journal({row, jaRowCreated, 0, Currency()});
    return row;
  }

  // Out of stock at the shop.
  Taken Out(const Side& s, int64_t shop) {
    Taken taken;
    if (s.Serial()) {
      auto unit = c_.Prepare(std::string("SELECT F_ID, F_SHOP_ID, F_PRODUCT_ID, F_LOCATION_ID, F_COST_MONEY, ") +
                             kGoodsColumns + " FROM TB_SYS_STOCK WHERE F_MODE_NO = ?1 AND F_HAVE_QTY > 0");
      unit->Bind(0, Variant(s.ModeNo));
      if (!unit->Step()) Refuse(s.At() + "不在库存中");
      if (unit->Int64(1) != shop) Refuse(s.At() + "不属于本店铺库存");
      if (unit->Int64(2) != s.Product) Refuse(s.At() + "的商品与库存中的商品不符");
      taken.Goods = GoodsAt(*unit, 5);
      taken.From = {unit->Int64(0), shop, unit->Int64(3), s.Product, taken.Goods.Color, s.ModeNo};
      taken.Money = Money(*unit, 4);
      unit.reset();
      const Carried& goods = taken.Goods;
      auto update = c_.Prepare("UPDATE TB_SYS_STOCK SET F_HAVE_QTY = 0, F_OUT_BILL_ID = ?1 WHERE F_ID = ?2");
      update->Bind(0, Id(billID_)).Bind(1, Id(taken.From.Row));
      update->Run();
      Journal({taken.From.Row, jaUnitTakenOut, 1, taken.Money});
      MarkArrivalUsed(taken.From.Row);
      Ledger(taken.From, s, -1, taken.Money, goods);
      return taken;
    }
    taken.From = {0, shop, s.Location, s.Product, s.Color, std::string()};
    taken.From.Row = CountedRow(taken.From, taken.Goods, Currency(), false);
    int64_t available = 0;
    Currency stockMoney;
    if (taken.From.Row) {
      auto have = c_.Prepare(std::string("SELECT F_HAVE_QTY, F_COST_MONEY, ") + kGoodsColumns + " FROM TB_SYS_STOCK WHERE F_ID = ?1");
      have->Bind(0, Id(taken.From.Row));
      if (have->Step()) {
        available = have->Int64(0);
        stockMoney = Money(*have, 1);
        taken.Goods = GoodsAt(*have, 2);  // its cost is what leaves, below
      }
    }
    if (available < s.Qty)
      Refuse(s.At() + "库存不足(库存" + std::to_string(available) + ", 需要" + std::to_string(s.Qty) + ")");
    taken.Money = available == s.Qty ? stockMoney : (stockMoney * s.Qty) / available;
    taken.Goods.Cost = taken.Money / s.Qty;
    auto update = c_.Prepare(
        "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY - ?1, F_COST_MONEY = F_COST_MONEY - ?2 WHERE F_ID = ?3");
    update->Bind(0, Count(s.Qty)).Bind(1, Variant(taken.Money)).Bind(2, Id(taken.From.Row));
    update->Run();
    Journal({taken.From.Row, jaQuantityChanged, -s.Qty, -taken.Money});
    Ledger(taken.From, s, -s.Qty, taken.Money, taken.Goods);
    return taken;
  }

  // Writes into the detail row the cost price, in-date and stock row of what it took out, which the
  // return and exchange screens read back; the journal keeps what the row held before.
  void Stamp(const Side& s, const Taken& taken) {
    auto update = c_.Prepare("UPDATE " + detail_ + " SET F_COST_PRICE = ?1, F_IN_DATE = ?2, F_STOCK_ID = ?3 WHERE F_ID = ?4");
    update->Bind(0, Variant(taken.Goods.Cost)).Bind(1, taken.Goods.InDate).Bind(2, Id(taken.From.Row)).Bind(3, Id(s.DetailId));
    update->Run();
    JournalEntry stamped{taken.From.Row, jaDetailStamped, 0, Currency(), detail_, s.DetailId};
    stamped.OldCostPrice = s.StoredCostPrice;
    stamped.OldInDate = s.InDate;
    stamped.OldStockId = s.StoredStockId;
    Journal(stamped);
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
    UseSource(stockRow, DetailTableName(table), row, 1);
  }

  // A return or exchange takes back what an audited sale of the same shop gave out, and no more than the
  // sale row still has. A row citing itself (the screens fill an empty source so) has no source.
  void UseSaleSource(const Side& s) {
    if (s.Source == 0 || s.Source == s.DetailId) return;
    const bool wholesale = kind_.Type == 5 || kind_.Type == 10;
    const auto& sources = wholesale ? kWholesaleSources : kRetailSources;
    for (const SaleSource& source : sources) {
      const bool exchange = source.ExchangeKind != 0;
      auto sale = c_.Prepare(std::string("SELECT d.F_QTY, IFNULL(d.F_USE_QTY, 0), h.F_STATUS, h.F_KIND, h.F_SHOP_ID, ") +
                             (exchange ? "d.F_NEW_MODE_NO, COALESCE(d.F_NEW_PRODUCT_ID, d.F_PRODUCT_ID)" : "d.F_MODE_NO, d.F_PRODUCT_ID") +
                             " FROM " + source.Table + " d JOIN " + source.Header + " h ON h.F_ID = d.F_MID WHERE d.F_ID = ?1");
      sale->Bind(0, Id(s.Source));
      if (!sale->Step()) continue;
      if (exchange && sale->Int64(3) != source.ExchangeKind) continue;
      if (sale->Int64(2) != 2) Refuse(s.At() + "的来源销售单据未审核");
      if (sale->Int64(4) != shop_) Refuse(s.At() + "不是本店铺销售的, 来源销售单据属于其他店铺");
      const std::string sold = SerialText(sale->Text(5));
      if (s.Serial() && sold != s.ModeNo) Refuse(s.At() + "与来源销售记录的串码[" + sold + "]不符");
      if (sale->Int64(6) != s.Product) Refuse(s.At() + "与来源销售记录的商品不符");
      const int64_t left = sale->Int64(0) - sale->Int64(1);
      if (s.Qty > left)
        Refuse(s.At() + "退回数量(" + std::to_string(s.Qty) + ")超过来源销售记录的可退数量(" + std::to_string(left) + ")");
      sale.reset();
      UseSource(0, source.Table, s.Source, s.Qty);
      return;
    }
    Refuse(s.At() + "的来源销售记录不存在");
  }

  void UseSource(int64_t stockRow, const std::string& table, int64_t row, int64_t qty) {
    auto update = c_.Prepare("UPDATE " + table + " SET F_USE_QTY = IFNULL(F_USE_QTY, 0) + ?1 WHERE F_ID = ?2");
    update->Bind(0, Count(qty)).Bind(1, Id(row));
    if (update->Run() == 0) return;  // the arrival row is gone; nothing to count
    Journal({stockRow, jaSourceUsed, qty, Currency(), table, row});
  }

  // Rows that later audited bills drew on (units that moved on, returns that cite them) keep the bill.
  void RefuseWhenUsedByLaterBills() {
    auto used = c_.Prepare(
        "SELECT d.F_ID, d.F_USE_QTY, d.F_MODE_NO, IFNULL(p.F_NAME, d.F_PRODUCT), d.F_PRODUCT_ID, "
        "(SELECT COUNT(*) FROM " + detail_ + " e WHERE e.F_MID = d.F_MID AND e.F_ID <= d.F_ID) FROM " + detail_ +
        " d LEFT JOIN TB_PRODUCT_ATTRIBUTE p ON p.F_ID = d.F_PRODUCT_ID WHERE d.F_MID = ?1 AND d.F_USE_QTY > 0 "
        "ORDER BY d.F_ID LIMIT 1");
    used->Bind(0, Id(billID_));
    if (!used->Step()) return;
    const std::string serial = SerialText(used->Text(2));
    const std::string what = !serial.empty() ? "串码[" + serial + "]"
                                              : "商品[" + (used->IsNull(3) ? "ID " + std::to_string(used->Int64(4)) : used->Text(3)) + "]";
    Refuse("单据[" + code_ + "]第" + std::to_string(used->Int64(5)) + "行" + what + "已被后续单据使用(已用数量" +
           std::to_string(used->Int64(1)) + "), 不能反审核");
  }

  void UndoStock() {
    struct Entry {
      int64_t Id, StockRow;
      int Action;
      int64_t Qty;
      Currency Money;
      std::string Table;
      int64_t SourceRow;
      Variant OldCostPrice, NewCostPrice, OldInDate, OldStockId;
    };
    std::vector<Entry> entries;
    {
      auto journal = c_.Prepare(
          "SELECT F_ID, F_STOCK_ROW_ID, F_ACTION, F_QTY, F_MONEY, F_SOURCE_TABLE, F_SOURCE_ROW_ID, F_OLD_COST_PRICE, "
          "F_NEW_COST_PRICE, F_OLD_IN_DATE, F_OLD_STOCK_ID FROM TB_SYS_STOCK_JOURNAL WHERE F_BILL_ID = ?1 ORDER BY F_ID DESC");
      journal->Bind(0, Id(billID_));
      while (journal->Step())
        entries.push_back({journal->Int64(0), journal->Int64(1), static_cast<int>(journal->Int64(2)), journal->Int64(3),
                           Money(*journal, 4), journal->Text(5), journal->Int64(6), MoneyOrNull(*journal, 7),
                           MoneyOrNull(*journal, 8), TextOrNull(*journal, 9),
                           journal->IsNull(10) ? Variant::Null() : Id(journal->Int64(10))});
    }
    for (const auto& e : entries) {
      switch (e.Action) {
        case jaRowCreated:
          if (e.Qty == 1) RemoveUnit(e.StockRow);
          else RemoveEmptyCountedRow(e.StockRow);
          break;
        case jaUnitTakenOut: {
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
        case jaQuantityChanged: UndoQuantityChange(e.Id, e.StockRow, e.Qty, e.Money, e.OldCostPrice, e.NewCostPrice); break;
        case jaSourceUsed: {
          auto restore = c_.Prepare("UPDATE " + DetailTableName(e.Table) + " SET F_USE_QTY = F_USE_QTY - ?1 WHERE F_ID = ?2");
          restore->Bind(0, Count(e.Qty)).Bind(1, Id(e.SourceRow));
          restore->Run();
          break;
        }
        case jaDetailStamped: {
          auto restore = c_.Prepare("UPDATE " + DetailTableName(e.Table) +
                                    " SET F_COST_PRICE = ?1, F_IN_DATE = ?2, F_STOCK_ID = ?3 WHERE F_ID = ?4");
          restore->Bind(0, e.OldCostPrice).Bind(1, e.OldInDate).Bind(2, e.OldStockId).Bind(3, Id(e.SourceRow));
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

  void RemoveUnit(int64_t stockRow) {
    auto unit = c_.Prepare("SELECT F_MODE_NO, F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_ID = ?1");
    unit->Bind(0, Id(stockRow));
    if (!unit->Step()) Refuse("库存记录已不存在, 不能反审核");
    if (unit->Int64(1) != 1) Refuse("串码[" + unit->Text(0) + "]已出库, 不能反审核");
    unit.reset();
    auto remove = c_.Prepare("DELETE FROM TB_SYS_STOCK WHERE F_ID = ?1");
    remove->Bind(0, Id(stockRow));
    remove->Run();
  }

  // A counted row the audit made goes again when it is empty and no other bill moved it.
  void RemoveEmptyCountedRow(int64_t stockRow) {
    auto remove = c_.Prepare(
        "DELETE FROM TB_SYS_STOCK WHERE F_ID = ?1 AND F_HAVE_QTY = 0 AND NOT EXISTS (SELECT 1 FROM TB_SYS_STOCK_JOURNAL "
        "WHERE F_STOCK_ROW_ID = ?1 AND F_BILL_ID <> ?2)");
    remove->Bind(0, Id(stockRow)).Bind(1, Id(billID_));
    remove->Run();
  }

  // Quantity and cost money go back by what the audit moved. Goods the audit brought into a counted row
  // that a later bill has since drawn on are used, as a unit that moved on is: the un-audit is refused.
  // The cost price the audit set goes back to what it was; when something changed it since, the row's
  // price becomes its cost money over its quantity.
  void UndoQuantityChange(int64_t entry, int64_t stockRow, int64_t qty, Currency money, const Variant& oldPrice,
                          const Variant& newPrice) {
    if (qty > 0) {
      auto drawn = c_.Prepare(
          "SELECT j.F_BILL_ID, j.F_KIND, IFNULL(p.F_NAME, s.F_PRODUCT_ID) FROM TB_SYS_STOCK_JOURNAL j "
          "JOIN TB_SYS_STOCK s ON s.F_ID = j.F_STOCK_ROW_ID LEFT JOIN TB_PRODUCT_ATTRIBUTE p ON p.F_ID = s.F_PRODUCT_ID "
          "WHERE j.F_STOCK_ROW_ID = ?1 AND j.F_ID > ?2 AND j.F_BILL_ID <> ?3 AND j.F_ACTION = 3 AND j.F_QTY < 0 "
          "ORDER BY j.F_ID LIMIT 1");
      drawn->Bind(0, Id(stockRow)).Bind(1, Id(entry)).Bind(2, Id(billID_));
      if (drawn->Step()) {
        const std::string product = drawn->Text(2), later = BillCode(drawn->Int64(0), static_cast<int>(drawn->Int64(1)));
        Refuse("单据[" + code_ + "]入库的商品[" + product + "]已被后续单据[" + later + "]出库, 不能反审核");
      }
    }
    auto have = c_.Prepare("SELECT F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_ID = ?1");
    have->Bind(0, Id(stockRow));
    if (!have->Step() || have->Int64(0) - qty < 0) Refuse("商品库存已变动(库存不足), 不能反审核");
    have.reset();
    const Variant current = CostPrice(stockRow);
    auto restore = c_.Prepare(
        "UPDATE TB_SYS_STOCK SET F_HAVE_QTY = F_HAVE_QTY - ?1, F_COST_MONEY = F_COST_MONEY - ?2 WHERE F_ID = ?3");
    restore->Bind(0, Count(qty)).Bind(1, Variant(money)).Bind(2, Id(stockRow));
    restore->Run();
    restore.reset();
    if (oldPrice.IsNull()) return;  // the move left the cost price as it was
    const bool untouched = !current.IsNull() && !newPrice.IsNull() && current.AsCurrency() == newPrice.AsCurrency();
    auto price = c_.Prepare(
        "UPDATE TB_SYS_STOCK SET F_COST_PRICE = CASE WHEN ?1 = 0 AND F_HAVE_QTY > 0 THEN ROUND(F_COST_MONEY / F_HAVE_QTY, 4) "
        "ELSE ?2 END WHERE F_ID = ?3");
    price->Bind(0, Variant(untouched ? 1 : 0)).Bind(1, oldPrice).Bind(2, Id(stockRow));
    price->Run();
  }

  // The code of a bill of the type.
  std::string BillCode(int64_t bill, int type) {
    const TBillKind* kind = FindBillKind(type);
    if (!kind) return std::to_string(bill);
    auto code = c_.Prepare(std::string("SELECT F_CODE FROM ") + kind->Table + " WHERE F_ID = ?1");
    code->Bind(0, Id(bill));
    return code->Step() ? code->Text(0) : std::to_string(bill);
  }

  TSQLiteDBAccess& db_;
  TSQLiteConnection& c_;
  const TBillKind& kind_;
  int64_t billID_;
  std::string header_, detail_;
  int status_ = 0;
  std::string code_;
  int64_t shop_ = 0, inShop_ = 0, customer_ = 0;
  Variant billDate_;
  int64_t ids_ = 0, idsLeft_ = 0;
  std::map<int64_t, int64_t> locationShops_;
  // Serial-numbered units on their way into stock. Stock-ins and transfers write them after all rows
  // (nothing else of the bill can meet them); other bills at once, so that later rows find them.
  struct Arrival {
    const Side* Row;
    int64_t Shop, Location;
    Carried Goods;
    bool CountsArrival;
  };
  std::vector<Arrival> arrivals_;
  std::unordered_set<std::string> arriving_;
  bool deferArrivals_ = false;
};

}  // namespace

TStockAudit::TStockAudit(TSQLiteDBAccess& db) : db_(db) {
  sqlite3* handle = db_.Connection().Handle();
  sqlite3_create_function(handle, "jxc_audit_running", 0, SQLITE_UTF8, this, AuditRunningFunction, nullptr, nullptr);
  sqlite3_create_function(handle, "jxc_refuse", 1, SQLITE_UTF8, nullptr, RefuseFunction, nullptr, nullptr);
  // Units on their way into stock while an audit runs (private to this connection, empty between audits).
  db_.Connection().ExecScript(
      "CREATE TEMP TABLE IF NOT EXISTS jxc_arrivals (F_ROW INTEGER PRIMARY KEY, F_DETAIL_ID, F_STOCK_ID, F_LEDGER_ID, "
      "F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_COLOR_ID, F_CONFIG_ID, F_MODE_NO, F_UNIT, F_PH, F_PRICE, F_ROW_PRICE, "
      "F_COST, F_EMPLOYEE_COST, F_CUSTOMER_ID, F_IN_DATE, F_COUNTS_ARRIVAL)");
}

TStockAudit::~TStockAudit() {
  // The connection may outlive this object for a moment; its function must not reach a freed audit.
  sqlite3_create_function(db_.Connection().Handle(), "jxc_audit_running", 0, SQLITE_UTF8, nullptr, nullptr, nullptr,
                          nullptr);
}

void TStockAudit::Run(int operation, int billType, const std::string& auditCall, int64_t billID) {
  if (operation != 1 && operation != 2) throw EDatabaseError("审核操作无效: " + std::to_string(operation));
  const TBillKind* kind = auditCall.empty() ? FindBillKind(billType) : nullptr;
  if (auditCall.empty() && !kind) throw EDatabaseError("单据类型[" + std::to_string(billType) + "]没有审核过程");
  TSQLiteTransaction transaction(db_.Connection());
  TAuditScope scope(*this);
  if (!auditCall.empty()) {
    db_.Query("EXEC " + auditCall + " " + std::to_string(billID) + ", " + std::to_string(operation) + ", " +
              std::to_string(billType));
  } else {
    AuditRun run(db_, *kind, billID);
    if (operation == 1) run.Audit();
    else run.UnAudit();
  }
  transaction.Commit();
}

}  // namespace jxc
