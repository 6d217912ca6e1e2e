#include "services/ShopLocalDB.h"

#include "kernel/SysSvc.h"
#include "platform/Exceptions.h"
#include "services/SQLiteDBAccess.h"
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

void RegisterShopDatabaseServices(const std::shared_ptr<TSQLiteDBAccess>& db) {
  SysService::Register<IDBAccess>(db);
  SysService::Register<ICommonUtils>(db);
  SysService::Register<ILocalDB>(std::make_shared<TShopLocalDB>(db));
}

}  // namespace jxc
