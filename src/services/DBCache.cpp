#include "services/DBCache.h"

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

class TDBCache::Item : public ICacheItem {
 public:
  Item(std::string name, std::string sql, int minutes)
      : Name(std::move(name)), Sql(std::move(sql)), Minutes(minutes) {}
  TDataSet& GetDataSet() override { return Data; }

  bool Fresh() const {
    if (!Loaded) return false;
    if (Minutes <= 0) return true;
    return GetTickCount() - LoadedAt < static_cast<uint64_t>(Minutes) * 60000u;
  }

  const std::string Name;
  const std::string Sql;
  int Minutes;
  TClientDataSet Data;
  bool Loaded = false;
  uint64_t LoadedAt = 0;
};

TDBCache::TDBCache(std::shared_ptr<IDBAccess> db, TCacheListQueries queries)
    : db_(std::move(db)), queries_(std::move(queries)) {
  if (!db_) throw EArgumentError("The cache needs a database service");
}

TDBCache::~TDBCache() = default;

void TDBCache::Read(Item& item) {
  // Read into a dataset of our own first, so that a failed read leaves the entry's rows untouched.
  ++readCount_;
  std::unique_ptr<TClientDataSet> rows = db_->OpenSQL(item.Sql, false);
  item.Data.SetData(rows->Data());
  item.Loaded = true;
  item.LoadedAt = GetTickCount();
}

std::shared_ptr<TDBCache::Item> TDBCache::Entry(const std::string& name, const std::string& sql, int minutes,
                                                bool force) {
  for (auto& item : items_) {
    if (item->Sql == sql && SameText(item->Name, name)) {
      item->Minutes = minutes;
      if (force || !item->Fresh()) Read(*item);
      return item;
    }
  }
  auto item = std::make_shared<Item>(name, sql, minutes);
  Read(*item);
  items_.push_back(item);
  return item;
}

std::shared_ptr<ICacheItem> TDBCache::GetCacheItem(const std::string& name, const std::string& sql, int minutes,
                                                   bool flag) {
  return Entry(name, sql, minutes, flag);
}

void TDBCache::UpdateCache(const std::string& name, const TDataSet& data) {
  const int rowCount = data.RecordCount();
  for (auto& item : items_) {
    if (!SameText(item->Name, name)) continue;
    TDataPacket packet;
    std::vector<int> sourceIndex;  // for each column of the entry, the data's field index or -1
    if (item->Data.Active() && item->Data.FieldCount() > 0) {
      for (int i = 0; i < item->Data.FieldCount(); ++i) {
        const TField& field = item->Data.Fields(i);
        packet.Fields.push_back(field.Def());
        const TField* source = data.FindField(field.FieldName());
        sourceIndex.push_back(source ? source->Index() : -1);
      }
    } else {
      for (int i = 0; i < data.FieldCount(); ++i) {
        packet.Fields.push_back(data.Fields(i).Def());
        sourceIndex.push_back(i);
      }
    }
    packet.Rows.reserve(static_cast<size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row) {
      TRowValues values;
      values.reserve(sourceIndex.size());
      for (int index : sourceIndex) values.push_back(index < 0 ? Variant::Null() : data.RowValue(row, index));
      packet.Rows.push_back(std::move(values));
    }
    item->Data.SetData(packet);
    item->Loaded = true;
    item->LoadedAt = GetTickCount();
  }
}

TDataSet& TDBCache::List(const std::string& name, const std::string& sql) {
  return Entry(name, sql, queries_.Minutes, false)->Data;
}

TDataSet& TDBCache::GetCustomers() { return List("Customers", queries_.Customers); }
TDataSet& TDBCache::GetSuppliers() { return List("Suppliers", queries_.Suppliers); }
TDataSet& TDBCache::GetEmployees() { return List("Employees", queries_.Employees); }
TDataSet& TDBCache::GetProducts() { return List("Products", queries_.Products); }
TDataSet& TDBCache::GetConfigs() { return List("Configs", queries_.Configs); }
TDataSet& TDBCache::GetColors() { return List("Colors", queries_.Colors); }

std::unique_ptr<TClientDataSet> TDBCache::GetModeNOList(const std::string& productID, int64_t shopID) {
  // The identifier goes into SQL text: only a plain integer is let through.
  const auto id = TryStrToInt64(Trim(productID));
  std::string sql = StringReplace(queries_.ModeNOList, ":PRODUCT_ID", id ? IntToStr(*id) : std::string("NULL"));
  if (shopID != 0) sql += StringReplace(queries_.ModeNOListOfShop, ":SHOP_ID", IntToStr(shopID));
  sql += queries_.ModeNOListOrder;
  ++readCount_;
  return db_->OpenSQL(sql, false);
}

}  // namespace jxc
