#include "editors/UnitEditorClasses.h"

#include "editors/UnitFrameBase.h"
#include "editors/UnitFrameBaseEditor.h"
#include "editors/UnitFrameBaseLookupConfig.h"
#include "editors/UnitFrameBaseTree.h"
#include "editors/UnitFrameLookupSysStock.h"
#include "editors/UnitFrameOwnerShopList.h"
#include "editors/UnitFrameShopTree.h"
#include "editors/UnitFrmBaseDBGridEditor.h"
#include "editors/UnitFrmBaseDataEditor.h"
#include "editors/UnitFrmBaseDlgEditor.h"
#include "editors/UnitFrmBaseEditor.h"
#include "editors/UnitFrmBaseTreeEditor.h"
#include "editors/UnitFrmBaseTreeGrid.h"
#include "editors/UnitFrmBaseTreePopEditor.h"
#include "editors/UnitFrmSelectShopList.h"

namespace jxc {

namespace {

constexpr TClassTableEntry kClasses[] = {
    {"TFrmBaseEditor", &RegisterByName<TFrmBaseEditor>},
    {"TFrmBaseDBGridEditor", &RegisterByName<TFrmBaseDBGridEditor>},
    {"TFrmBaseDataEditor", &RegisterByName<TFrmBaseDataEditor>},
    {"TFrmBaseDlgEditor", &RegisterByName<TFrmBaseDlgEditor>},
    {"TFrameBase", &RegisterByName<TFrameBase>},
    {"TFrameBaseEditor", &RegisterByName<TFrameBaseEditor>},
    {"TFrmBaseTreeEditor", &RegisterByName<TFrmBaseTreeEditor>},
    {"TFrmBaseTreePopEditor", &RegisterByName<TFrmBaseTreePopEditor>},
    {"TFrmBaseTreeGrid", &RegisterByName<TFrmBaseTreeGrid>},
    {"TFrameBaseTree", &RegisterByName<TFrameBaseTree>},
    {"TFrameShopTree", &RegisterByName<TFrameShopTree>},
    {"TFrmSelectShopList", &RegisterByName<TFrmSelectShopList>},
    {"TFrameOwnerShopList", &RegisterByName<TFrameOwnerShopList>},
    {"TFrameBaseLookupConfig", &RegisterByName<TFrameBaseLookupConfig>},
    {"TFrameLookupSysStock", &RegisterByName<TFrameLookupSysStock>},
};

}  // namespace

void RegisterClassTable(std::span<const TClassTableEntry> classes) {
  for (const TClassTableEntry& entry : classes) entry.Register(entry.Name);
}

void UnRegisterClassTable(std::span<const TClassTableEntry> classes) {
  for (const TClassTableEntry& entry : classes) UnRegisterClass(entry.Name);
}

void EditorClassesInitialization() { RegisterClassTable(kClasses); }

void EditorClassesFinalization() { UnRegisterClassTable(kClasses); }

}  // namespace jxc
