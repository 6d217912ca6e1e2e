#pragma once
// Where the running code lives: the full path of the binary file that holds this library (the program
// itself, as the library is linked statically), as the package's own file for the host registry.

#include <string>
#include <utility>

namespace jxc {

// Absolute path with symbolic links resolved; empty only when the system cannot tell.
std::string ModuleFileName();
// The file name without its directory ("jxcdemo" for "/opt/jxc/jxcdemo").
std::string ModuleBaseName();

// The program folder, where the program's own files live beside it (the print templates under
// "打印模板"): the folder of ModuleFileName, or the folder a program or test set instead. No trailing
// separator.
std::string ProgramFolder();
// Sets the program folder ("" goes back to the module's folder); returns the previous setting.
std::string SetProgramFolder(std::string folder);

// Sets the program folder for the lifetime of the guard.
class ScopedProgramFolder {
 public:
  explicit ScopedProgramFolder(std::string folder) : previous_(SetProgramFolder(std::move(folder))) {}
  ~ScopedProgramFolder() { SetProgramFolder(std::move(previous_)); }
  ScopedProgramFolder(const ScopedProgramFolder&) = delete;
  ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

 private:
  std::string previous_;
};

}  // namespace jxc
