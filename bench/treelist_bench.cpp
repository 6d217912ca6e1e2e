// Figures for a tree editor over 10,000 tree rows (100 regions, 9 provinces each, 10 cities under each
// province): loading the rows into an indexed client dataset with the tree built from them, expanding
// every node, moving a node by drag and drop, following the cursor both ways, adding a row and deleting
// branches. Each figure is the median of several rounds, in wall-clock and in processor time (the fairer
// one on a busy machine). Prints one line per figure; asserts nothing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/DBTreeList.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Forms.h"

using namespace jxc;

namespace {

double Cpu() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs round(i) the given number of times (prepare(i) untimed before each) and prints the median times.
void Measure(const char* what, int rounds, const std::function<void(int)>& round,
             const std::function<void(int)>& prepare = nullptr) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < rounds; ++i) {
    if (prepare) prepare(i);
    const double w = WallMs(), c = Cpu();
    round(i);
    wall.push_back(WallMs() - w);
    cpu.push_back(Cpu() - c);
  }
  std::printf("%-48s %9.3f ms wall %9.3f ms cpu\n", what, Median(wall), Median(cpu));
}

std::string Text(const char* prefix, int64_t n) {
  std::string text = prefix;
  text += std::to_string(n);
  return text;
}

// Rows in key order, as "SELECT * FROM" a tree table returns them.
std::vector<TRowValues> TreeRows(int regions, int provinces, int cities) {
  std::vector<TRowValues> rows;
  int64_t next = 1;
  for (int r = 0; r < regions; ++r) {
    const int64_t region = next++;
    rows.push_back({region, 0, Text("R", region), Text("大区", region)});
    for (int p = 0; p < provinces; ++p) {
      const int64_t province = next++;
      rows.push_back({province, region, Text("P", province), Text("省份", province)});
      for (int c = 0; c < cities; ++c) {
        const int64_t city = next++;
        rows.push_back({city, province, Text("C", city), Text("城市", city)});
      }
    }
  }
  return rows;
}

}  // namespace

int main() {
  // 100 + 900 + 9,000 rows; region r has the key 1 + 100 r, its provinces the 9 keys after it in steps
  // of 11, and each province's cities the 10 keys after it.
  const std::vector<TRowValues> rows = TreeRows(100, 9, 10);
  const std::vector<TFieldDef> fields = {
      {"F_ID", ftLargeint}, {"F_PARENTID", ftLargeint}, {"F_CODE", ftString, 20}, {"F_NAME", ftString, 50}};

  TForm* form = new TForm(&Application());
  auto* cdsTreeData = new TClientDataSet(form);
  auto* dsTree = new TDataSource(form);
  dsTree->SetDataSet(cdsTreeData);
  auto* dbTree = new TDBTreeList(form);
  dbTree->SetParent(form);
  dbTree->SetDisplayFields("F_CODE;F_NAME");
  dbTree->OptionsBehavior.DragDrop = true;
  dbTree->SetDataSource(dsTree);
  cdsTreeData->SetIndexFieldNames("F_PARENTID");

  std::vector<TRowValues> copy;
  Measure("open 10,000 rows indexed, tree built", 5, [&](int) { cdsTreeData->LoadData(fields, std::move(copy)); },
          [&](int) {
            cdsTreeData->Close();
            copy = rows;
          });
  std::printf("%-48s %9d nodes\n", "nodes built", dbTree->Count());
  Measure("tree built again from the open rows", 5, [&](int) { dbTree->Rebuild(); });
  Measure("expand all", 5, [&](int) { dbTree->FullExpand(); }, [&](int) { dbTree->FullCollapse(); });
  std::printf("%-48s %9zu nodes\n", "nodes shown", dbTree->VisibleNodes().size());

  // City 3 goes back and forth between its province (2) and the last region (9901).
  Measure("drag and drop one node (parent written, posted)", 20, [&](int i) {
    dbTree->DragNodeTo(dbTree->FindNodeByKey(3), dbTree->FindNodeByKey(i % 2 == 0 ? 9901 : 2));
  });
  Measure("dataset cursor moved, tree follows", 20, [&](int i) { cdsTreeData->Locate("F_ID", 100 + 397 * i); });
  Measure("node clicked, dataset follows", 20, [&](int i) { dbTree->ClickNode(dbTree->FindNodeByKey(50 + 433 * i)); });
  Measure("append and post a child row", 10, [&](int i) {
    cdsTreeData->Append();
    cdsTreeData->FieldByName("F_ID").SetAsLargeInt(20001 + i);
    cdsTreeData->FieldByName("F_PARENTID").SetAsLargeInt(7777);
    cdsTreeData->FieldByName("F_NAME").SetAsString("新节点");
    cdsTreeData->Post();
  });
  // Provinces of the regions 10 to 14 (11 rows each), then regions 20 to 22 (100 rows each).
  Measure("delete a branch of 11 rows", 5, [&](int i) { dbTree->DeleteNode(dbTree->FindNodeByKey(2 + 100 * (10 + i))); });
  Measure("delete a branch of 100 rows", 3, [&](int i) { dbTree->DeleteNode(dbTree->FindNodeByKey(1 + 100 * (20 + i))); });
  std::printf("%-48s %9d nodes\n", "nodes left", dbTree->Count());
  ResetApplication();
  return 0;
}
