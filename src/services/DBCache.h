#pragma once
// The host's cache of look-up lists, filled through the database service. An entry is known by its name
// and its SELECT together, so that two screens asking for the same name with different columns each get
// their own rows. An entry is read on first request and kept for the minutes it was asked with (zero or
// less: until replaced); a later request after that time reads it again into the same dataset, so data
// sources pointed at it stay valid. The serial-number list of a product is read afresh on every request,
// as stock changes with every bill, into a dataset of the caller's own, so that no list a screen filters
// or holds fields of is ever read again under it.
//
// A read that fails raises the database's error and leaves the entry as it was (a new entry is not
// kept). Cached datasets belong to the cache and live as long as it does.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/CacheIntf.h"
#include "foundation/DBIntf.h"

namespace jxc {

// The SELECTs of the lists the cache offers by operation.
struct TCacheListQueries {
  std::string Customers =
      "SELECT F_ID, F_CODE, F_NAME, F_PY FROM TB_CUSTOMER WHERE (F_CUSTOMER_TYPE_ID = 2 OR F_CUSTOMER_TYPE_ID = 3)"
      " AND F_STATUS = 0 ORDER BY F_CODE";
  std::string Suppliers =
      "SELECT F_ID, F_CODE, F_NAME, F_PY FROM TB_CUSTOMER WHERE (F_CUSTOMER_TYPE_ID = 1 OR F_CUSTOMER_TYPE_ID = 3)"
      " AND F_STATUS = 0 ORDER BY F_CODE";
  std::string Employees = "SELECT F_ID, F_CODE, F_NAME, F_PY FROM TB_EMPLOYEE ORDER BY F_CODE";
  std::string Products =
      "SELECT F_ID, F_CODE, F_NAME, F_PY, F_UNIT, F_CONFIG_ID, F_PRODUCT_TYPE_ID, F_PRICE_JH, F_PRICE_PF,"
      " F_PRICE_LS, F_PRICE_EMPLOYEE, F_CUSTOMER_ID FROM TB_PRODUCT_ATTRIBUTE WHERE F_STATUS = 0 ORDER BY F_CODE";
  std::string Colors = "SELECT F_ID, F_CODE, F_NAME, F_PY FROM TB_PRODUCT_COLOR ORDER BY F_CODE";
  std::string Configs = "SELECT F_ID, F_CODE, F_NAME, F_PY FROM TB_PRODUCT_CONFIG ORDER BY F_CODE";
  // ":PRODUCT_ID" stands for the product's identifier (NULL when the text given is not an integer, so that
  // nothing matches and the list comes back empty but shaped); ModeNOListOfShop is added for one shop
  // (":SHOP_ID"), then ModeNOListOrder.
  std::string ModeNOList =
      "SELECT F_MODE_NO, F_PRODUCT, F_PRODUCT_ID, F_PRODUCT_TYPE_ID, F_COLOR_ID, F_CONFIG_ID, F_LOCATION_ID,"
      " F_SHOP_ID, F_UNIT, F_PRICE, F_PRICE_EMPLOYEE FROM VI_GetSysStock WHERE F_PRODUCT_ID = :PRODUCT_ID";
  std::string ModeNOListOfShop = " AND F_SHOP_ID = :SHOP_ID";
  std::string ModeNOListOrder = " ORDER BY F_MODE_NO";
  // Minutes the lists stay fresh.
  int Minutes = 30;
};

class TDBCache : public ICache {
 public:
  // Raises EArgumentError when db is null.
  explicit TDBCache(std::shared_ptr<IDBAccess> db, TCacheListQueries queries = {});
  ~TDBCache() override;
  TDBCache(const TDBCache&) = delete;
  TDBCache& operator=(const TDBCache&) = delete;

  // flag true reads the entry again even when it is fresh.
  std::shared_ptr<ICacheItem> GetCacheItem(const std::string& name, const std::string& sql, int minutes = 30,
                                           bool flag = false) override;
  // Every entry of that name (compared without case) takes the data's visible rows, in its own columns
  // (columns the data lacks are null) or in the data's when it holds none yet; the entry counts as fresh.
  // It is not an error if no entry has that name: nothing is cached then.
  void UpdateCache(const std::string& name, const TDataSet& data) override;
  TDataSet& GetCustomers() override;
  TDataSet& GetSuppliers() override;
  TDataSet& GetEmployees() override;
  TDataSet& GetProducts() override;
  std::unique_ptr<TClientDataSet> GetModeNOList(const std::string& productID, int64_t shopID = 0) override;
  TDataSet& GetConfigs() override;
  TDataSet& GetColors() override;

  // Number of SELECTs run so far.
  int ReadCount() const { return readCount_; }
  const TCacheListQueries& Queries() const { return queries_; }

 private:
  class Item;
  std::shared_ptr<Item> Entry(const std::string& name, const std::string& sql, int minutes, bool force);
  TDataSet& List(const std::string& name, const std::string& sql);
  void Read(Item& item);

  std::shared_ptr<IDBAccess> db_;
  TCacheListQueries queries_;
  std::vector<std::shared_ptr<Item>> items_;
  int readCount_ = 0;
};

}  // namespace jxc
