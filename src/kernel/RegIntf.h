#pragma once
// The host's registry: keys holding named string values, the place where a package records itself so
// that the host loads it at its next start. Work happens on the current key chosen by OpenKey; nothing is
// kept until SaveData commits it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jxc {

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // Makes the key (a path such as "SYSTEM\LOADMODULE\USER", case-insensitive) the current key. A missing
  // key is created when create is true, else the call fails. False leaves the current key as it was.
  virtual bool OpenKey(const std::string& key, bool create) = 0;
  // Removes the named value of the current key; false when there is none (not an error).
  virtual bool DeleteValue(const std::string& name) = 0;
  // Writes (or overwrites) the named string value of the current key. Raises EInvalidOperation when no
  // key is open.
  virtual void WriteString(const std::string& name, const std::string& text) = 0;
  // Commits every change made since the last commit.
  virtual void SaveData() = 0;

  // --- reading back (the host when it starts, and tests) ---
  virtual bool KeyExists(const std::string& key) const = 0;
  // The named value of the key, or nothing when the key or the value is missing.
  virtual std::optional<std::string> ReadString(const std::string& key, const std::string& name) const = 0;
  // Names of the values of the key, in the order they were first written; empty for a missing key.
  virtual std::vector<std::string> ValueNames(const std::string& key) const = 0;
};

}  // namespace jxc
