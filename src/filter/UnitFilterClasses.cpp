#include "filter/UnitFilterClasses.h"

#include "editors/UnitEditorClasses.h"
#include "filter/UnitFilterPopupEdit.h"
#include "filter/UnitFrameBaseFilterEx.h"
#include "filter/UnitFrameCustomerFilter.h"
#include "filter/UnitFrameDatePart.h"
#include "filter/UnitFrameProductFilter.h"

namespace jxc {

namespace {

constexpr TClassTableEntry kClasses[] = {
    {"TFrameDatePart", &RegisterByName<TFrameDatePart>},
    {"TFrameBaseFilterEx", &RegisterByName<TFrameBaseFilterEx>},
    {"TFrameCustomerFilter", &RegisterByName<TFrameCustomerFilter>},
    {"TFrameGetProductList", &RegisterByName<TFrameGetProductList>},
    {"TDBFilterPopupEdit", &RegisterByName<TDBFilterPopupEdit>},
};

}  // namespace

void FilterClassesInitialization() { RegisterClassTable(kClasses); }

void FilterClassesFinalization() { UnRegisterClassTable(kClasses); }

}  // namespace jxc
