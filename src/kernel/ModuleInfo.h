#pragma once
// Where the running code lives: the full path of the binary file that holds this library (the program
// itself, as the library is linked statically), as the package's own file for the host registry.

#include <string>

namespace jxc {

// Absolute path with symbolic links resolved; empty only when the system cannot tell.
std::string ModuleFileName();
// The file name without its directory ("jxcdemo" for "/opt/jxc/jxcdemo").
std::string ModuleBaseName();

}  // namespace jxc
