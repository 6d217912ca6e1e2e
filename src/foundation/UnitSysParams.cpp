#include "foundation/UnitSysParams.h"

#include "foundation/UnitPublicUtils.h"

namespace jxc {

bool SysParamBoolean(std::string_view key) { return SysParams != nullptr && SysParams->GetBoolean(key); }

int64_t SysParamLargeInt(std::string_view key) { return SysParams != nullptr ? SysParams->GetLargeInt(key) : 0; }

}  // namespace jxc
