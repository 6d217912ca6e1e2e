#include "kernel/MemoryRegistry.h"

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

std::string TMemoryRegistry::Normalise(const std::string& path) {
  std::string result;
  for (const auto& part : SplitString(path, "\\")) {
    if (part.empty()) continue;
    if (!result.empty()) result += '\\';
    result += part;
  }
  return result;
}

TMemoryRegistry::Key* TMemoryRegistry::Find(const std::string& path) {
  auto it = keys_.find(UpperCase(Normalise(path)));
  return it == keys_.end() ? nullptr : &it->second;
}

const TMemoryRegistry::Key* TMemoryRegistry::Find(const std::string& path) const {
  auto it = keys_.find(UpperCase(Normalise(path)));
  return it == keys_.end() ? nullptr : &it->second;
}

TMemoryRegistry::Key& TMemoryRegistry::Create(const std::string& normalisedPath) {
  // Parents first, so that every prefix of an existing key exists as a key of its own.
  std::string prefix;
  Key* key = nullptr;
  for (const auto& part : SplitString(normalisedPath, "\\")) {
    if (part.empty()) continue;
    if (!prefix.empty()) prefix += '\\';
    prefix += part;
    auto [it, inserted] = keys_.try_emplace(UpperCase(prefix));
    if (inserted) it->second.Path = prefix;
    key = &it->second;
  }
  if (key == nullptr) throw EArgumentError("Invalid registry key: empty path");
  return *key;
}

bool TMemoryRegistry::OpenKey(const std::string& key, bool create) {
  if (openKeyRefused_) return false;
  const std::string path = Normalise(key);
  if (path.empty()) return false;
  const Key* found = Find(path);
  if (found == nullptr) {
    if (!create) return false;
    found = &Create(path);
  }
  currentPath_ = found->Path;
  return true;
}

bool TMemoryRegistry::DeleteValue(const std::string& name) {
  Key* key = currentPath_.empty() ? nullptr : Find(currentPath_);
  if (key == nullptr) return false;
  for (auto it = key->Values.begin(); it != key->Values.end(); ++it) {
    if (SameText(it->first, name)) {
      key->Values.erase(it);
      return true;
    }
  }
  return false;
}

void TMemoryRegistry::WriteString(const std::string& name, const std::string& text) {
  Key* key = currentPath_.empty() ? nullptr : Find(currentPath_);
  if (key == nullptr) throw EInvalidOperation("Failed to set data for '" + name + "': no registry key is open");
  for (auto& value : key->Values) {
    if (SameText(value.first, name)) {
      value.second = text;
      return;
    }
  }
  key->Values.emplace_back(name, text);
}

void TMemoryRegistry::SaveData() {
  Commit();
  ++commitCount_;
}

bool TMemoryRegistry::KeyExists(const std::string& key) const { return Find(key) != nullptr; }

std::optional<std::string> TMemoryRegistry::ReadString(const std::string& key, const std::string& name) const {
  const Key* found = Find(key);
  if (found == nullptr) return std::nullopt;
  for (const auto& value : found->Values) {
    if (SameText(value.first, name)) return value.second;
  }
  return std::nullopt;
}

std::vector<std::string> TMemoryRegistry::ValueNames(const std::string& key) const {
  std::vector<std::string> names;
  if (const Key* found = Find(key)) {
    for (const auto& value : found->Values) names.push_back(value.first);
  }
  return names;
}

std::vector<TMemoryRegistry::Key> TMemoryRegistry::Keys() const {
  std::vector<Key> result;
  result.reserve(keys_.size());
  for (const auto& [upper, key] : keys_) result.push_back(key);
  return result;
}

void TMemoryRegistry::Restore(const std::string& path, std::vector<std::pair<std::string, std::string>> values) {
  Key& key = Create(Normalise(path));
  key.Values = std::move(values);
}

}  // namespace jxc
