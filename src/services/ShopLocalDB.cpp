#include "services/ShopLocalDB.h"

#include "platform/Exceptions.h"
#include "services/SQLiteLocalDB.h"

namespace jxc {

TShopLocalDB::TShopLocalDB(std::shared_ptr<IDBAccess> db) : db_(std::move(db)) {
  if (!db_) throw EArgumentError("TShopLocalDB: no database service");
}

std::unique_ptr<TClientDataSet> TShopLocalDB::OpenDataSet(TComponent*, const std::string& sql) { return db_->OpenSQL(sql); }

std::unique_ptr<TClientDataSet> TShopLocalDB::OpenTable(TComponent* owner, const std::string& table,
                                                        const std::string& condition) {
  return OpenDataSet(owner, TableSelectSQL(table, condition));
}

}  // namespace jxc
