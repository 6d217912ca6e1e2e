#pragma once
// The summary of a bill's detail rows by product and colour: one line per (F_PRODUCT_ID, F_PRODUCT,
// F_COLOR_ID) with the summed F_QTY of its rows, as "SELECT SUM(F_QTY) AS F_QTY, F_PRODUCT, F_COLOR_ID,
// F_PRODUCT_ID ... GROUP BY F_PRODUCT_ID, F_PRODUCT, F_COLOR_ID" would give it (nulls group together, a
// missing quantity counts 0). The lines live in a dataset a grid can show, in the order of their keys.
//
// The summary follows the detail row by row: the screen hands it the detail's row events (an edit begun,
// a row posted, deleted, an edit cancelled) and only the lines of the rows concerned change, so a posted
// row costs the same whatever the bill's size. Rows that change without events (a change log cancelled,
// another bill's rows shown, events left out while rows are entered in bulk) call for a Rebuild; a summary
// that has missed events says so (Stale) and rebuilds itself at the next post it is told of.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/DataSet.h"

namespace jxc {

class TBillSumDetail {
 public:
  // Gives the lines dataset its fields (F_QTY, F_PRODUCT, F_COLOR_ID, F_PRODUCT_ID) and opens it empty.
  // The dataset stays the caller's.
  explicit TBillSumDetail(TMemTable& lines);
  TBillSumDetail(const TBillSumDetail&) = delete;
  TBillSumDetail& operator=(const TBillSumDetail&) = delete;

  TMemTable& Lines() const { return lines_; }
  // The name a line shows for a product whose rows carry none (rows keyed by identifier only); unset or
  // unknown: an empty name.
  std::function<std::string(int64_t productID)> ProductName;

  // Regroups every visible stored row of the detail (a row being inserted is not one yet).
  void Rebuild(const TDataSet& detail);
  void Clear();
  // Events were left out: the next post rebuilds.
  void MarkStale() { stale_ = true; }
  bool Stale() const { return stale_; }

  // --- the detail's row events (the detail's cursor on the row concerned) ---
  // An edit of a stored row begins: what it holds now is what its post takes away.
  void EditBegun(const TDataSet& detail);
  // A new row begins: its post only adds.
  void InsertBegun() { pending_.reset(); }
  // The row was posted: its line(s) follow it.
  void RowPosted(const TDataSet& detail);
  // The stored row is about to be deleted / was deleted.
  void RowDeleting(const TDataSet& detail);
  void RowDeleted();
  // The edit was dropped: the stored row is as it was.
  void EditCancelled() { pending_.reset(); }

  // Rows counted in the lines.
  int64_t Rows() const { return rows_; }

 private:
  // A line's key: product identifier, product name, colour; nullopt stands for null.
  using TKey = std::tuple<std::optional<int64_t>, std::optional<std::string>, std::optional<int64_t>>;
  struct TRowShare {
    TKey Key;
    int64_t Qty = 0;
  };
  struct TLine {
    int64_t Rows = 0;
    int64_t Qty = 0;
    TBookmark Row;  // its row in the lines dataset
  };

  TRowShare ShareOfCurrent(const TDataSet& detail) const;
  void Change(const TRowShare& share, int sign);
  // Writes the line into the lines dataset: a new row for a new line, its quantity for a line that
  // changed, nothing for a line gone (rows 0), whose row is deleted.
  void Show(const TKey& key, TLine& line);
  void AppendLine(const TKey& key, TLine& line);

  TMemTable& lines_;
  std::map<TKey, TLine> groups_;
  std::optional<TRowShare> pending_;   // the stored row under edit, as it was
  std::optional<TRowShare> deleting_;  // the row being deleted
  int64_t rows_ = 0;
  bool stale_ = false;
};

}  // namespace jxc
