#pragma once
// The local configuration service read from the shop database itself: screens find their function rows
// (TB_SYS_FUNCTION), mandatory fields (TB_SYS_FIELD_LIST) and query-designer configurations in the same
// file the database service works on, the one the sample shop and the host's set-up write. Statements are
// written in the server dialect and adapted by the database service. Datasets come back owned by the
// caller; failures raise the database service's EDatabaseError.

#include <memory>
#include <string>

#include "foundation/DBIntf.h"
#include "foundation/HostServicesIntf.h"

namespace jxc {

class TSQLiteDBAccess;

class TShopLocalDB : public ILocalDB {
 public:
  // Raises EArgumentError when db is null.
  explicit TShopLocalDB(std::shared_ptr<IDBAccess> db);

  std::unique_ptr<TClientDataSet> OpenDataSet(TComponent* owner, const std::string& sql) override;
  // The rows of TableSelectSQL (services/SQLiteLocalDB.h).
  std::unique_ptr<TClientDataSet> OpenTable(TComponent* owner, const std::string& table,
                                            const std::string& condition) override;

 private:
  std::shared_ptr<IDBAccess> db_;
};

// Registers the shop database with the service locator as a program does: the database service (as
// IDBAccess and ICommonUtils) and the local configuration over the same file.
void RegisterShopDatabaseServices(const std::shared_ptr<TSQLiteDBAccess>& db);

}  // namespace jxc
