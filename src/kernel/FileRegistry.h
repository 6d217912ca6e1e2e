#pragma once
// A registry kept in a file: the committed keys are read when it is made and written back, whole, by
// every SaveData. Changes not committed are lost with the object, so a second registry on the same file
// sees only what was saved.

#include <string>

#include "kernel/MemoryRegistry.h"

namespace jxc {

class TFileRegistry : public TMemoryRegistry {
 public:
  // Reads the file when it exists (a missing file is an empty registry). A file that cannot be read or
  // parsed raises EInvalidOperation naming it, rather than starting empty and overwriting it later.
  explicit TFileRegistry(std::string fileName);

  const std::string& FileName() const { return fileName_; }

 protected:
  // Writes a temporary file beside the target and renames it over the target, so that a failed write
  // leaves the previous content; raises EInvalidOperation on failure.
  void Commit() override;

 private:
  std::string fileName_;
};

}  // namespace jxc
