#pragma once
// The consistency check of a shop database, as an auditor would run it: stock, stock journal, ledger and
// bills must tell one story. Each rule reports the rows it examined and its violations with a few
// examples; the database is only read (one read transaction, so a busy shop gives a consistent picture).
//
// The rules:
//   SerialsInStock        a serial number is in stock at most once, at a location of its shop
//   UnitsByAuditedBills   every unit in stock came in, and every unit out left, by an audited bill
//   StockEqualsJournal    each stock row's quantity and cost money equal the sum of its journal
//   LedgerEqualsJournal   the ledger moves, bill by bill and stock row by stock row, what the journal moves
//   JournalOfAuditedBills journal and ledger rows belong to audited bills that move stock, and every such
//                         bill has both
//   DetailHasHeader       no detail row without its bill header
//   UsedQuantities        F_USE_QTY lies between 0 and F_QTY and equals the later moves that cite the row
//                         (audited returns and exchanges naming it as source, units it brought in that left)
//   HeaderTotals          F_TOTAL_QTY and F_TOTAL_MONEY of bills that move stock equal the sums of their
//                         rows, in four-decimal money
//   UniqueIdentifiers     no F_ID twice among bills, bill rows, stock and ledger; no bill code twice

#include <cstdint>
#include <string>
#include <vector>

namespace jxc {

class TSQLiteConnection;

enum class TConsistencyRuleId {
  SerialsInStock,
  UnitsByAuditedBills,
  StockEqualsJournal,
  LedgerEqualsJournal,
  JournalOfAuditedBills,
  DetailHasHeader,
  UsedQuantities,
  HeaderTotals,
  UniqueIdentifiers,
};

struct TConsistencyRule {
  TConsistencyRuleId Id = TConsistencyRuleId::SerialsInStock;
  std::string Name;                   // what the rule demands, in the shop's words
  int64_t Examined = 0;               // rows looked at
  int64_t Violations = 0;
  std::vector<std::string> Examples;  // the first few violations

  bool Passed() const { return Violations == 0; }
  // One line: verdict, name, rows examined, violations and examples.
  std::string Line() const;
};

struct TConsistencyReport {
  std::vector<TConsistencyRule> Rules;  // in the order of TConsistencyRuleId

  bool Passed() const;
  int64_t Violations() const;
  const TConsistencyRule& Rule(TConsistencyRuleId id) const;
};

// Checks the database behind the connection. Raises EDatabaseError when it cannot be read.
TConsistencyReport CheckStockConsistency(TSQLiteConnection& connection);

}  // namespace jxc
