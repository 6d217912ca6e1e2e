#pragma once
// Grids' worth of export rows like a shop's stock list, deterministic, so that every reader can be checked
// against the same cells.

#include <string>

#include "platform/ExportTable.h"

namespace jxc::testing {

// Serial numbers, Chinese product names and colours, quantities, money with and without a format, dates
// and date-times, remarks with markup characters and blanks.
inline ExportTable MakeStockExportTable(size_t rows) {
  ExportTable table({
      {"串码", ExportKind::Text, "", 120},
      {"商品名称", ExportKind::Text, "", 160},
      {"颜色", ExportKind::Text, "", 64},
      {"数量", ExportKind::Number, "", 48},
      {"单价", ExportKind::Currency, "#,##0.00", 80},
      {"金额", ExportKind::Currency, "#,##0.00", 80},
      {"成本", ExportKind::Currency, "", 80},
      {"入库日期", ExportKind::Date, "yyyy-mm-dd", 80},
      {"开单时间", ExportKind::DateTime, "yyyy-mm-dd hh:nn:ss", 130},
      {"备注", ExportKind::Text, "", 120},
  });
  static const char* const kModels[] = {"华为Mate60 Pro", "小米14 Ultra", "苹果iPhone 15", "OPPO Find X7",
                                        "vivo X100", "荣耀Magic6"};
  static const char* const kColours[] = {"雅川青", "黑色", "白色", "钛金属原色", "远峰蓝", "星河银"};
  table.Reserve(rows);
  for (size_t r = 0; r < rows; ++r) {
    const auto n = static_cast<int64_t>(r);
    std::string serial = std::to_string(860000000000000LL + n * 7919);
    std::string name = std::string(kModels[r % 6]) + (r % 3 == 0 ? " 256G" : " 512G") + " 第" + std::to_string(r) + "台";
    Currency price = Currency::FromRaw((1999 + n % 5000) * 10000 + (n % 100) * 100);
    int qty = static_cast<int>(r % 5) + 1;
    Currency cost = Currency::FromRaw(price.Raw() * 9 / 10 + n % 7);
    TDateTime day(45000 + static_cast<double>(n % 700));
    TDateTime at(45000 + static_cast<double>(n % 700) + static_cast<double>((n * 37) % 86400) / 86400.0);
    Variant remark;
    if (r % 7 == 1) remark = "含<特殊>&\"字符'";
    else if (r % 7 != 0) remark = "备注" + std::to_string(r % 50);
    table.AddRow({serial, name, kColours[r % 6], qty, price, price * static_cast<int64_t>(qty), cost, day, at, remark});
  }
  return table;
}

// Everything a spreadsheet reading the file might take for something else: 15-digit serial numbers,
// codes with leading zeros and of 22 digits, money with four decimals and negative, negative quantities,
// truth values, customers and remarks that begin like formulas ("=HYPERLINK(...)", "+", "-", "@", tab,
// carriage return) beside negative numbers written as text, quotes, tabs, line breaks, markup, blanks,
// and texts longer than 255 and than 32,767 characters (two rows carry the longest, unless left out).
inline ExportTable MakeAwkwardStockTable(size_t rows, bool longestTexts = true) {
  ExportTable table({
      {"串码", ExportKind::Text, "", 120},
      {"商品编码", ExportKind::Text, "", 90},
      {"商品名称", ExportKind::Text, "", 160},
      {"数量", ExportKind::Number, "", 48},
      {"单价", ExportKind::Currency, "#,##0.00", 80},
      {"成本", ExportKind::Currency, "", 80},
      {"入库日期", ExportKind::Date, "yyyy-mm-dd", 80},
      {"开单时间", ExportKind::DateTime, "yyyy-mm-dd hh:nn:ss", 130},
      {"已审核", ExportKind::Text, "", 48},
      {"客户", ExportKind::Text, "", 120},
      {"备注", ExportKind::Text, "", 200},
  });
  static const char* const kCustomers[] = {
      "=HYPERLINK(\"http://example.com/x\",\"点我\")", "=1+1", "+1+2", "-1+2", "@SUM(A1:A2)", "\t=1+1",
      "\r=1+1", "-5", "-1,234.50", "张三", "", "王五 <VIP>"};
  std::string over255, over32767;
  for (int i = 0; i < 60; ++i) over255 += "长备注";
  for (int i = 0; i < 12000; ++i) over32767 += "超长备注";
  table.Reserve(rows);
  for (size_t r = 0; r < rows; ++r) {
    const auto n = static_cast<int64_t>(r);
    std::string serial = std::to_string(860000000000000LL + n * 7919);
    std::string code = r % 50 == 7 ? "0012345678901234567890" : std::string(r % 3 + 2, '0') + std::to_string(100 + r);
    Currency price = Currency::FromRaw((1999 + n % 5000) * 10000 + (n * 1237) % 10000);
    if (r % 11 == 5) price = Currency::FromRaw(-price.Raw());
    Currency cost = Currency::FromRaw(price.Raw() * 9 / 10 + n % 7);
    Variant quantity = r % 13 == 4 ? -1 : static_cast<int>(r % 5) + 1;
    TDateTime day(45000 + static_cast<double>(n % 700));
    TDateTime at(45000 + static_cast<double>(n % 700) + static_cast<double>((n * 37) % 86400) / 86400.0);
    std::string customer = kCustomers[r % 12];
    Variant remark;
    switch (r % 8) {
      case 1: remark = "含\"引号\"和'单引号'"; break;
      case 2: remark = "制表\t分隔"; break;
      case 3: remark = "第一行\r\n第二行"; break;
      case 4: remark = "<b>粗体</b> & 1 < 2"; break;
      case 5: remark = over255; break;
      case 6: remark = "=1+1"; break;
      default: break;
    }
    if (longestTexts && (r == 9 || r == rows - 1)) remark = over32767;
    table.AddRow({serial, code, "华为Mate60 Pro 第" + std::to_string(r) + "台", quantity, price, cost, day, at,
                  r % 4 == 0 ? Variant(true) : Variant(false), customer.empty() ? Variant() : Variant(customer),
                  remark});
  }
  return table;
}

}  // namespace jxc::testing
