#include "editors/UnitFrameBaseLookupConfig.h"

#include "filter/UnitBaseLookups.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kAttributeFields = "F_ID, F_CODE,F_NAME,F_PY";

TFrameBaseLookupConfig* AttributeList(TComponent* owner, const char* name, const std::string& table, const char* fields,
                                      TDataSetCallback callback, const char* idField, const char* nameField) {
  if (!callback) callback = CopyIntoOwnerRecord(owner, {{idField, "F_ID"}, {nameField, "F_NAME"}});
  return ServeLookup<TFrameBaseLookupConfig>(owner, name, [&](TFrameBaseLookupConfig& frame, bool) {
    frame.SetTableName(table);
    frame.SetSelectFields(fields);
  }, std::move(callback));
}

}  // namespace

TFrameBaseLookupConfig* GetLookupProductConfig(TComponent* owner, TDataSetCallback callback, const std::string& parentID) {
  const std::string parent = Trim(parentID).empty() ? std::string("0") : Trim(parentID);
  const std::optional<int64_t> id = TryStrToInt64(parent);
  if (!id) throw Exception("商品配置[" + parent + "]无效");
  return AttributeList(owner, "ConfigLookup", "FUNC_GET_CONFIG_LIST(" + IntToStr(*id) + ")", kAttributeFields,
                       std::move(callback), "F_CONFIG_ID", "F_CONFIG");
}

TFrameBaseLookupConfig* GetLookupProductColor(TComponent* owner, TDataSetCallback callback) {
  return AttributeList(owner, "ColorLookup", "TB_PRODUCT_COLOR", kAttributeFields, std::move(callback), "F_COLOR_ID", "F_COLOR");
}

TFrameBaseLookupConfig* GetLookupProductFactroy(TComponent* owner, TDataSetCallback callback) {
  return AttributeList(owner, "FactoryLookup", "TB_FACTORY_DEFINE", kAttributeFields, std::move(callback), "F_FACTORY_ID",
                       "F_FACTORY");
}

TFrameBaseLookupConfig* GetLookupProductPackage(TComponent* owner, TDataSetCallback callback) {
  return AttributeList(owner, "PackageLookup", "TB_SALE_PACKAGE", kAttributeFields, std::move(callback), "F_PACKAGE_ID",
                       "F_PACKAGE");
}

TFrameBaseLookupConfig* GetLookupTaxType(TComponent* owner, TDataSetCallback callback) {
  return AttributeList(owner, "TaxTypeLookup", "VI_DICT_TAX_TYPE", "F_ID,F_NAME,F_PY", std::move(callback), "F_TAX_TYPE_ID",
                       "F_TAX_TYPE");
}

}  // namespace jxc
