// Checks a shop database the way an auditor would: stock, stock journal, ledger and bills must agree.
// Prints one line per rule with the rows examined and the violations found, with examples.
//
//   jxccheck --database FILE
//
// Exit status: 0 when every rule holds, 1 when a rule is broken, 2 when the file cannot be checked.

#include <filesystem>
#include <iostream>
#include <string>

#include "services/SQLiteDBAccess.h"
#include "services/StockConsistency.h"

using namespace jxc;

int main(int argc, char** argv) {
  std::string database;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--database" && i + 1 < argc) {
      database = argv[++i];
    } else {
      std::cerr << "usage: jxccheck --database FILE\n";
      return 2;
    }
  }
  if (database.empty()) {
    std::cerr << "usage: jxccheck --database FILE\n";
    return 2;
  }
  try {
    if (!std::filesystem::is_regular_file(database)) {
      std::cerr << "jxccheck: 数据库文件[" << database << "]不存在\n";
      return 2;
    }
    TSQLiteDBAccess db(database);
    const TConsistencyReport report = CheckStockConsistency(db.Connection());
    for (const auto& rule : report.Rules) std::cout << rule.Line() << '\n';
    return report.Passed() ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "jxccheck: " << e.what() << '\n';
    return 2;
  }
}
