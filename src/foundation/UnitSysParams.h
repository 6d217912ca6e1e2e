#pragma once
// The system parameters: the keys this package reads from SysParams, and typed readers that treat a
// missing record (before the host has set one) like a record without the key.

#include <cstdint>
#include <string_view>

namespace jxc {

// Days a bill may lie in the past when it is saved or un-audited (integer).
inline constexpr const char* kSpBillDays = "开单天数";
// Days after which an audited bill can no longer be un-audited (integer).
inline constexpr const char* kSpAuditDays = "审核天数";
// Booleans.
inline constexpr const char* kSpLimitBillDate = "限制单据日期";
inline constexpr const char* kSpRequireRemark = "填写备注";
inline constexpr const char* kSpTipAfterSave = "保存后提示";
inline constexpr const char* kSpTipAfterAudit = "审核后提示";
inline constexpr const char* kSpPrintAfterAudit = "审核后打印";
inline constexpr const char* kSpDesignReport = "设计报表";
inline constexpr const char* kSpCheckPaymentCycle = "检测回款周期";
inline constexpr const char* kSpCreditLimit = "信誉额度";
inline constexpr const char* kSpMoveChangesPrice = "调拔改单价";
inline constexpr const char* kSpConfirmBillAmount = "提示单据金额";
inline constexpr const char* kSpEditWholesalePrice = "修改批发价";
inline constexpr const char* kSpEditRetailPrice = "修改零售价";
inline constexpr const char* kSpAllowZeroPurchasePrice = "进货价为0";
inline constexpr const char* kSpEmployeeCostPrice = "启用员工成本价";
inline constexpr const char* kSpForceReturn = "允许强行退货";
inline constexpr const char* kSpInStockLocationSelectable = "入库库位可选";
inline constexpr const char* kSpSearchShowsCode = "检索下拉显示编码";

// The boolean under the key: false when SysParams is not set or the key is absent.
bool SysParamBoolean(std::string_view key);
// The integer under the key: 0 when SysParams is not set or the key is absent.
int64_t SysParamLargeInt(std::string_view key);

}  // namespace jxc
