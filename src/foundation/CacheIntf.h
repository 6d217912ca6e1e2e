#pragma once
// The host's cache of look-up lists. Cached datasets belong to the cache; screens read them (and may
// point data sources at them) but never free them. A cached list lives until the cache is destroyed or the
// entry is replaced.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/DataSet.h"

namespace jxc {

class ICacheItem {
 public:
  virtual ~ICacheItem() = default;
  // The cached rows (owned by the item).
  virtual TDataSet& GetDataSet() = 0;
};

class ICache {
 public:
  static constexpr const char* IID = "{479471BC-2050-4384-9776-8B6DA0E2397C}";
  virtual ~ICache() = default;

  // The named entry, loaded with the SELECT on first request and kept (minutes: how long it stays fresh).
  virtual std::shared_ptr<ICacheItem> GetCacheItem(const std::string& name, const std::string& sql,
                                                   int minutes = 30, bool flag = false) = 0;
  // Replaces a named entry's rows with a copy of the given dataset's visible rows.
  virtual void UpdateCache(const std::string& name, const TDataSet& data) = 0;
  virtual TDataSet& GetCustomers() = 0;
  virtual TDataSet& GetSuppliers() = 0;
  virtual TDataSet& GetEmployees() = 0;
  virtual TDataSet& GetProducts() = 0;
  // The in-stock serial numbers of a product (its identifier as text), of one shop when shopID is not 0,
  // read afresh into a dataset the caller owns: the caller may filter it, move through it and keep its
  // fields, and the cache never touches it again.
  virtual std::unique_ptr<TClientDataSet> GetModeNOList(const std::string& productID, int64_t shopID = 0) = 0;
  virtual TDataSet& GetConfigs() = 0;
  virtual TDataSet& GetColors() = 0;
};

}  // namespace jxc
