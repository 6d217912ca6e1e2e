#pragma once
// A registry held in memory. Key paths are absolute ("SYSTEM\LOADMODULE\USER"; leading, trailing and
// doubled backslashes are ignored) and, like value names, compared without ASCII case. Opening a key with
// create makes its parent keys too. Changes are visible at once; SaveData commits them (counted, and made
// durable by derived registries). Tests can make every OpenKey fail.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "kernel/RegIntf.h"

namespace jxc {

class TMemoryRegistry : public IRegistry {
 public:
  TMemoryRegistry() = default;
  TMemoryRegistry(const TMemoryRegistry&) = delete;
  TMemoryRegistry& operator=(const TMemoryRegistry&) = delete;

  bool OpenKey(const std::string& key, bool create) override;
  bool DeleteValue(const std::string& name) override;
  void WriteString(const std::string& name, const std::string& text) override;
  void SaveData() override;

  bool KeyExists(const std::string& key) const override;
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) const override;
  std::vector<std::string> ValueNames(const std::string& key) const override;

  // The current key's path as normalised, empty when none is open.
  const std::string& CurrentKey() const { return currentPath_; }
  // Number of SaveData calls that committed so far.
  int CommitCount() const { return commitCount_; }
  // While refused, OpenKey fails whatever the key (a registry the host cannot open).
  void SetOpenKeyRefused(bool refused) { openKeyRefused_ = refused; }

  // Every key in path order with its values in writing order (for persisting and inspection).
  struct Key {
    std::string Path;
    std::vector<std::pair<std::string, std::string>> Values;
  };
  std::vector<Key> Keys() const;

 protected:
  // Called by SaveData after counting; a durable registry writes its content here.
  virtual void Commit() {}
  // Creates the key (and its parents) with the values, replacing what it held (loading a stored registry).
  void Restore(const std::string& path, std::vector<std::pair<std::string, std::string>> values);

 private:
  static std::string Normalise(const std::string& path);
  Key* Find(const std::string& path);
  const Key* Find(const std::string& path) const;
  Key& Create(const std::string& normalisedPath);

  std::map<std::string, Key> keys_;  // by upper-cased normalised path
  std::string currentPath_;
  int commitCount_ = 0;
  bool openKeyRefused_ = false;
};

}  // namespace jxc
