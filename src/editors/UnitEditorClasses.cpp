#include "editors/UnitEditorClasses.h"

#include "editors/UnitFrameBase.h"
#include "editors/UnitFrameBaseEditor.h"
#include "editors/UnitFrmBaseDBGridEditor.h"
#include "editors/UnitFrmBaseDataEditor.h"
#include "editors/UnitFrmBaseDlgEditor.h"
#include "editors/UnitFrmBaseEditor.h"
#include "platform/ClassRegistry.h"

namespace jxc {

namespace {

template <class T>
void Register(const char* name) {
  RegisterClass<T>(name);
}

struct TEditorClass {
  const char* Name;
  void (*Register)(const char* name);
};

constexpr TEditorClass kClasses[] = {
    {"TFrmBaseEditor", &Register<TFrmBaseEditor>},       {"TFrmBaseDBGridEditor", &Register<TFrmBaseDBGridEditor>},
    {"TFrmBaseDataEditor", &Register<TFrmBaseDataEditor>}, {"TFrmBaseDlgEditor", &Register<TFrmBaseDlgEditor>},
    {"TFrameBase", &Register<TFrameBase>},               {"TFrameBaseEditor", &Register<TFrameBaseEditor>},
};

}  // namespace

void EditorClassesInitialization() {
  for (const TEditorClass& editorClass : kClasses) editorClass.Register(editorClass.Name);
}

void EditorClassesFinalization() {
  for (const TEditorClass& editorClass : kClasses) UnRegisterClass(editorClass.Name);
}

}  // namespace jxc
