// Filter model and SQL builder figures: building and writing a large criteria tree, and the rounds of
// a typical query designer's WHERE clause. Prints one line per figure; never asserts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "filter/CustomFilterUtils.h"
#include "filter/UnitFilterImp.h"
#include "platform/DateTime.h"

using namespace jxc;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process: on a loaded machine it shows what the work itself costs.
double CpuMsSince(std::clock_t start) { return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// 100 fields of mixed kinds, each with 100 conditions in its own group.
constexpr int kFields = 100;
constexpr int kPerField = 100;

std::vector<TFilterItem> MakeFields() {
  std::vector<TFilterItem> fields(kFields);
  for (int f = 0; f < kFields; ++f) {
    fields[f].SetFieldName("F_FIELD_" + std::to_string(f));
    fields[f].SetCaption("字段" + std::to_string(f));
  }
  return fields;
}

void AddFieldConditions(TcxFilterCriteria& criteria, const TFilterItem& field, int f) {
  using K = TcxFilterOperatorKind;
  auto* group = criteria.Root().AddItemList(f % 2 == 0 ? TcxFilterBoolOperatorKind::fboOr : TcxFilterBoolOperatorKind::fboAnd);
  for (int i = 0; i < kPerField; ++i) {
    switch (f % 5) {
      case 0: group->AddItem(&field, K::foEqual, "名称'" + std::to_string(i), "名称" + std::to_string(i)); break;
      case 1: group->AddItem(&field, K::foGreaterEqual, i, std::to_string(i)); break;
      case 2: group->AddItem(&field, K::foLessEqual, i + 0.25, std::to_string(i)); break;
      case 3: group->AddItem(&field, K::foInList, Variant::Array({i, i + 1, i + 2}), "list"); break;
      case 4: group->AddItem(&field, i % 2 == 0 ? K::foThisMonth : K::foLast7Days, Variant(), ""); break;
    }
  }
}

void TreeFigures() {
  const std::vector<TFilterItem> fields = MakeFields();
  std::vector<double> build, sql, caption, total, cpu;
  size_t sink = 0;
  for (int run = 0; run < 7; ++run) {
    const auto t0 = Clock::now();
    const std::clock_t c0 = std::clock();
    TcxFilterCriteria criteria;
    criteria.BeginUpdate();
    for (int f = 0; f < kFields; ++f) AddFieldConditions(criteria, fields[f], f);
    criteria.EndUpdate();
    const double b = MsSince(t0);
    const auto t1 = Clock::now();
    sink += criteria.GetFilterText().size();
    const double s = MsSince(t1);
    const auto t2 = Clock::now();
    sink += criteria.GetFilterCaption().size();
    const double c = MsSince(t2);
    build.push_back(b);
    sql.push_back(s);
    caption.push_back(c);
    total.push_back(b + s);
    cpu.push_back(CpuMsSince(c0));
  }
  std::printf("tree of %d conditions over %d fields: build %.2f ms\n", kFields * kPerField, kFields, Median(build));
  std::printf("tree of %d conditions over %d fields: SQL text %.2f ms\n", kFields * kPerField, kFields, Median(sql));
  std::printf("tree of %d conditions over %d fields: caption %.2f ms\n", kFields * kPerField, kFields, Median(caption));
  std::printf("tree of %d conditions over %d fields: build + SQL text %.2f ms (target < 50 ms)\n",
              kFields * kPerField, kFields, Median(total));
  std::printf("tree of %d conditions over %d fields: build + SQL text + caption %.2f ms processor time\n",
              kFields * kPerField, kFields, Median(cpu));
  if (sink == 0) std::printf("(no text)\n");
}

TFilterItem Condition(const char* field, const char* op, Variant value, const char* caption) {
  TFilterItem item;
  item.SetFieldName(field);
  item.SetOperatorKind(op);
  item.SetValue(value);
  item.SetDisplayText(value);
  item.SetCaption(caption);
  return item;
}

void BuilderFigures() {
  const std::vector<TFilterItem> query = {
      Condition("F_NAME", "foEqual", "诺基亚 N95", "名称"),
      Condition("F_PRICE", "foGreaterEqual", 100.5, "单价"),
      Condition("F_PRICE", "foLessEqual", 999.5, "单价"),
      Condition("F_MODE_NO", "foLike", "12345", "串码"),
      Condition("F_BILL_DATE", "foThisMonth", Variant(), "单据日期"),
  };
  constexpr int kRounds = 100000;
  TSQLBuilder builder;
  size_t sink = 0;
  const auto t0 = Clock::now();
  const std::clock_t c0 = std::clock();
  for (int round = 0; round < kRounds; ++round) {
    builder.Reset();
    for (const TFilterItem& item : query) builder.AddCondition(item);
    sink += builder.GetFilterText().size();
  }
  const double ms = MsSince(t0);
  const double cpu = CpuMsSince(c0);
  std::printf("%d rounds of 5 AddCondition + GetFilterText: %.1f ms (target < 1000 ms)\n", kRounds, ms);
  std::printf("%d rounds of 5 AddCondition + GetFilterText: %.1f ms processor time\n", kRounds, cpu);
  std::printf("one round of 5 AddCondition + GetFilterText: %.2f us\n", ms * 1000.0 / kRounds);

  // Conditions added one at a time through the builder: each is a change that prepares the whole tree.
  constexpr int kAdds = 10000;
  std::vector<TFilterItem> many;
  for (int i = 0; i < kAdds; ++i)
    many.push_back(Condition(("F_FIELD_" + std::to_string(i % kFields)).c_str(), "foEqual", i, "字段"));
  const auto t1 = Clock::now();
  builder.Reset();
  for (const TFilterItem& item : many) builder.AddCondition(item);
  sink += builder.GetFilterText().size();
  std::printf("%d AddCondition over %d fields through the builder + GetFilterText: %.1f ms\n", kAdds, kFields,
              MsSince(t1));
  if (sink == 0) std::printf("(no text)\n");
}

}  // namespace

int main() {
  VirtualClock clock(EncodeDateTime(2026, 12, 7, 10, 0, 0, 0));
  ScopedClock scoped(clock);
  TreeFigures();
  BuilderFigures();
  return 0;
}
