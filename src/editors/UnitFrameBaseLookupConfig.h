#pragma once
// The search lists of product attributes: configurations, colours, makers, sale packages and tax types.
// Each lists identifier, code (where the table has one), name and pinyin initials, and without a callback
// choosing copies the identifier and the name into the owner's record (F_CONFIG_ID and F_CONFIG,
// F_COLOR_ID and F_COLOR, F_FACTORY_ID and F_FACTORY, F_PACKAGE_ID and F_PACKAGE, F_TAX_TYPE_ID and
// F_TAX_TYPE, those the record has).

#include <string>

#include "filter/UnitFrameBaseFilterEx.h"

namespace jxc {

class TFrameBaseLookupConfig : public TFrameBaseFilterEx {
 public:
  using TFrameBaseFilterEx::TFrameBaseFilterEx;
  std::string ClassName() const override { return "TFrameBaseLookupConfig"; }
};

// The configurations below the parent configuration ("0" or "": every configuration).
TFrameBaseLookupConfig* GetLookupProductConfig(TComponent* owner, TDataSetCallback callback = nullptr,
                                               const std::string& parentID = "0");
TFrameBaseLookupConfig* GetLookupProductColor(TComponent* owner, TDataSetCallback callback = nullptr);
TFrameBaseLookupConfig* GetLookupProductFactroy(TComponent* owner, TDataSetCallback callback = nullptr);
TFrameBaseLookupConfig* GetLookupProductPackage(TComponent* owner, TDataSetCallback callback = nullptr);
TFrameBaseLookupConfig* GetLookupTaxType(TComponent* owner, TDataSetCallback callback = nullptr);

}  // namespace jxc
