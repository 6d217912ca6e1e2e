#pragma once
// A sample mobile-phone shop chain for demonstrations, benchmarks and tests: a head office with branch
// shops (a shop tree under one region tree), stock locations, handsets, accessories and cards with colours
// and configurations, customers and suppliers, employees, bank accounts, dictionaries, the screens'
// TB_SYS_FUNCTION rows with their configuration, and opening stock: serial-numbered handsets and counted
// accessories, brought in by one audited "期初库存" stock-in (kind 17) per branch, so that stock, journal and
// ledger agree from the first day.
//
// Serial numbers of the opening stock are "86" followed by 13 digits, numbered from SampleSerial(0); unit i
// lies in branch shop i % branches, at its counter location, as handset i % 4, colour i % 4. Each branch
// holds 100 of each accessory (colour 0 of the sample's colours) at a cost of 10.00.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace jxc {

class TSQLiteDBAccess;

struct TSampleShopOptions {
  int64_t Units = 200;  // serial-numbered units in stock
  int Branches = 3;     // branch shops below the head office (1 to 9)
};

// Identifiers of what the sample holds, for tests and demonstrations.
struct TSampleShop {
  int64_t Region = 0;
  int64_t HeadOffice = 0;
  std::vector<int64_t> Branches;
  std::vector<int64_t> CounterLocations;  // per branch, the default location
  std::vector<int64_t> StoreLocations;    // per branch, the back store
  std::vector<int64_t> Handsets;          // product type 1
  std::vector<int64_t> Accessories;       // product type 2
  int64_t Card = 0;                       // product type 3
  std::vector<int64_t> Colors;
  std::vector<int64_t> Configs;
  std::vector<int64_t> Suppliers;
  std::vector<int64_t> Customers;
  std::vector<int64_t> Employees;
  int64_t Units = 0;
  std::vector<int64_t> OpeningBills;      // per branch, the audited opening stock-in
};

// The serial number of opening-stock unit i.
std::string SampleSerial(int64_t index);

// True when the database already holds shops.
bool HasShopData(TSQLiteDBAccess& db);

// Fills an empty database in one transaction. Raises EDatabaseError when it already holds shops.
TSampleShop CreateSampleShop(TSQLiteDBAccess& db, const TSampleShopOptions& options = {});

// Reads the identifiers of a database made by CreateSampleShop.
TSampleShop ReadSampleShop(TSQLiteDBAccess& db);

// The embedded database of the main program: JXC_DATABASE when set, else "jxcshop.db" in the current
// folder.
std::string DefaultDatabaseFile();

// Opens the database file (creating the schema on first open) and fills it with the sample shop when it
// holds no shops yet. The main program's one call to get its database service.
std::shared_ptr<TSQLiteDBAccess> OpenDefaultDatabase(const std::string& fileName = DefaultDatabaseFile(),
                                                     const TSampleShopOptions& options = {});

}  // namespace jxc
