#include "foundation/BasePlugin.h"

#include <string>

#include "foundation/uKestrumModule.h"
#include "kernel/ModuleInfo.h"

namespace jxc {

namespace {

// The value's data: "Module=%s;load=%s" with the full path and the text of the load flag.
std::string ModuleValue(const std::string& path, bool load) {
  return "Module=" + path + ";load=" + (load ? "True" : "False");
}

}  // namespace

void TBasePlugin::RegisterModule(const std::shared_ptr<IRegistry>& reg) {
  if (!reg) return;
  if (!reg->OpenKey(kLoadModuleKey, true)) return;
  const std::string path = ModuleFileName();
  reg->WriteString(ModuleBaseName(), ModuleValue(path, true));
  reg->SaveData();
}

void TBasePlugin::UnRegisterModule(const std::shared_ptr<IRegistry>& reg) {
  if (!reg) return;
  if (!reg->OpenKey(kLoadModuleKey, false)) return;
  if (reg->DeleteValue(ModuleBaseName())) reg->SaveData();
}

const TModuleClass& TBasePlugin::Class() {
  static const TModuleClassOf<TBasePlugin> descriptor("TBasePlugin");
  return descriptor;
}

void BasePluginInitialization() { SetModuleClass(&TBasePlugin::Class()); }

void BasePluginFinalization() { SetModuleClass(nullptr); }

}  // namespace jxc
