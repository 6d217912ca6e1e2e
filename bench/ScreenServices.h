#pragma once
// What the screen benchmarks start before they open a screen: the package on the shop database with its
// services, messages recorded instead of shown, every right granted, and the user working at a shop.

#include <memory>
#include <string>

#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "services/RecordingDialog.h"
#include "services/RecordingMainForm.h"
#include "services/SQLiteDBAccess.h"
#include "services/ShopLocalDB.h"
#include "services/TableGroupRights.h"

namespace jxc::bench {

// Returns the dialog that records the messages.
inline std::shared_ptr<TRecordingDialog> StartScreenServices(const std::shared_ptr<TSQLiteDBAccess>& db,
                                                             const std::string& user, int64_t shopID) {
  PackageStartup();
  RegisterShopDatabaseServices(db);
  auto dialog = std::make_shared<TRecordingDialog>();
  SysService::Register<IDialog>(dialog);
  auto rights = std::make_shared<TTableGroupRights>();
  rights->SetGrantAll(true);
  SysService::Register<IGroupRights>(rights);
  SysService::Register<IMainForm>(std::make_shared<TRecordingMainForm>());
  UserInfo->SetName(user);
  UserInfo->SetDefaultShopID(std::to_string(shopID));
  return dialog;
}

}  // namespace jxc::bench
