// Figures for a serial-number table of 1,000,000 rows of ten fields: appending, an indexed Locate, a LIKE
// filter and an in-memory grouping SELECT. Prints one line per figure; asserts nothing.

#include <sys/resource.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/DataSet.h"
#include "platform/MemSQL.h"

using namespace jxc;

namespace {

// Wall-clock and processor time since a start; on a busy machine the processor time is the fairer figure.
struct Clock {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = Cpu();
  static double Cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
  double Wall() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(); }
  double Processor() const { return Cpu() - cpu; }
};

double PeakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// A 15-digit serial number (IMEI-like) for row i.
std::string Serial(int i) {
  char text[32];
  std::snprintf(text, sizeof text, "86%013lld", static_cast<long long>(i) * 7919 % 10000000000000LL);
  return text;
}

}  // namespace

int main() {
  const int kRows = 1000000;
  TMemTable stock;
  stock.LoadData({{"F_ID", ftLargeint}, {"F_MODE_NO", ftString, 30}, {"F_PRODUCT_ID", ftLargeint}, {"F_COLOR_ID", ftLargeint},
                  {"F_SHOP_ID", ftLargeint}, {"F_LOCATION_ID", ftLargeint}, {"F_PRICE", ftCurrency}, {"F_IN_DATE", ftDateTime},
                  {"F_STATUS", ftInteger}, {"F_PRODUCT", ftString, 40}},
                 {});
  TField& id = stock.FieldByName("F_ID");
  TField& modeNo = stock.FieldByName("F_MODE_NO");
  TField& product = stock.FieldByName("F_PRODUCT_ID");
  TField& color = stock.FieldByName("F_COLOR_ID");
  TField& shop = stock.FieldByName("F_SHOP_ID");
  TField& location = stock.FieldByName("F_LOCATION_ID");
  TField& price = stock.FieldByName("F_PRICE");
  TField& inDate = stock.FieldByName("F_IN_DATE");
  TField& status = stock.FieldByName("F_STATUS");
  TField& name = stock.FieldByName("F_PRODUCT");
  const std::string names[4] = {"Mi 14", "Galaxy S24", "P60 Pro", "Reno 11"};

  Clock start;
  for (int i = 0; i < kRows; ++i) {
    stock.Append();
    id.SetAsLargeInt(1000000000LL + i);
    modeNo.SetAsString(Serial(i));
    product.SetAsLargeInt(100 + i % 500);
    color.SetAsLargeInt(1 + i % 12);
    shop.SetAsLargeInt(1 + i % 40);
    location.SetAsLargeInt(1 + i % 3);
    price.SetAsCurrency(Currency::FromRaw(9990000 + (i % 1000) * 100));
    inDate.SetAsDateTime(TDateTime(45000.0 + i % 365));
    status.SetAsInteger(1);
    name.SetAsString(names[i % 4]);
    stock.Post();
  }
  std::printf("append %d rows x 10 fields: %.3f s (cpu %.3f s), peak memory %.0f MiB\n", kRows, start.Wall(), start.Processor(), PeakMiB());

  start = Clock();
  stock.SetIndexFieldNames("F_MODE_NO");
  stock.RecNo();  // the order is built on first use
  std::printf("index on F_MODE_NO: %.3f s (cpu %.3f s)\n", start.Wall(), start.Processor());

  const int kLocates = 20000;
  int found = 0;
  start = Clock();
  for (int k = 0; k < kLocates; ++k) found += stock.Locate("F_MODE_NO", Serial((k * 48271) % kRows)) ? 1 : 0;
  std::printf("indexed Locate: %.2f us per call (cpu %.2f us), %d of %d found\n", start.Wall() * 1e6 / kLocates,
              start.Processor() * 1e6 / kLocates, found, kLocates);

  start = Clock();
  stock.SetFilter("F_MODE_NO LIKE '%12345%'");
  stock.SetFiltered(true);
  const int matches = stock.RecordCount();
  std::printf("filter F_MODE_NO LIKE '%%12345%%': %.3f s (cpu %.3f s), %d rows\n", start.Wall(), start.Processor(), matches);
  stock.SetFiltered(false);

  TkbmMemSQL sql;
  sql.TablesAdd(stock, "Stock");
  start = Clock();
  sql.ExecSQL("SELECT F_PRODUCT_ID, F_COLOR_ID, COUNT(1) AS F_QTY, SUM(F_PRICE) AS F_MONEY FROM Stock "
              "GROUP BY F_PRODUCT_ID, F_COLOR_ID");
  std::printf("grouping SELECT over %d rows: %.3f s (cpu %.3f s), %d groups\n", kRows, start.Wall(), start.Processor(),
              sql.RecordCount());
  std::printf("peak memory: %.0f MiB\n", PeakMiB());
  return 0;
}
