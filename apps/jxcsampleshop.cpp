// Creates a database file holding the sample shop chain: a head office and branch shops, stock locations,
// handsets, accessories and cards with colours and configurations, customers, suppliers, employees,
// accounts, the screens' function rows, and serial-numbered units in stock.
//
//   jxcsampleshop [--database FILE] [--units N] [--branches B] [--replace]
//
// Without --replace an existing file that already holds shops is left alone (exit code 1).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "services/SQLiteDBAccess.h"
#include "services/SampleShop.h"
#include "platform/Exceptions.h"

using namespace jxc;

namespace {

int Usage() {
  std::cerr << "usage: jxcsampleshop [--database FILE] [--units N] [--branches B] [--replace]\n";
  return 2;
}

bool ParseCount(const char* text, int64_t low, int64_t high, int64_t& value) {
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string database = DefaultDatabaseFile();
  TSampleShopOptions options;
  bool replace = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    int64_t value = 0;
    if (arg == "--database" && i + 1 < argc) {
      database = argv[++i];
    } else if (arg == "--units" && i + 1 < argc) {
      if (!ParseCount(argv[++i], 0, 100000000, value)) return Usage();
      options.Units = value;
    } else if (arg == "--branches" && i + 1 < argc) {
      if (!ParseCount(argv[++i], 1, 9, value)) return Usage();
      options.Branches = static_cast<int>(value);
    } else if (arg == "--replace") {
      replace = true;
    } else {
      return Usage();
    }
  }
  try {
    if (replace)
      for (const char* suffix : {"", "-wal", "-shm"}) std::remove((database + suffix).c_str());
    const auto start = std::chrono::steady_clock::now();
    TSQLiteDBAccess db(database);
    if (HasShopData(db)) {
      std::cerr << database << " already holds shops; use --replace to create it anew\n";
      return 1;
    }
    const TSampleShop shop = CreateSampleShop(db, options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "created " << database << ": " << 1 + shop.Branches.size() << " shops, "
              << shop.CounterLocations.size() + shop.StoreLocations.size() << " locations, "
              << shop.Handsets.size() + shop.Accessories.size() + (shop.Card ? 1 : 0) << " products, "
              << shop.Customers.size() << " customers, " << shop.Suppliers.size() << " suppliers, "
              << shop.Employees.size() << " employees, " << shop.Units << " units in stock (" << seconds << " s)\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "jxcsampleshop: " << e.what() << '\n';
    return 1;
  }
}
