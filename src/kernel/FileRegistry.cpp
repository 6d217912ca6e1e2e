#include "kernel/FileRegistry.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/Exceptions.h"

namespace jxc {

// File layout: {"keys": [{"path": "SYSTEM\\LOADMODULE\\USER", "values": [["name", "text"], ...]}, ...]}.

TFileRegistry::TFileRegistry(std::string fileName) : fileName_(std::move(fileName)) {
  std::error_code ec;
  if (!std::filesystem::exists(fileName_, ec)) return;
  std::ifstream in(fileName_, std::ios::binary);
  if (!in) throw EInvalidOperation("Cannot read the registry file '" + fileName_ + "'");
  std::stringstream content;
  content << in.rdbuf();
  try {
    const auto doc = nlohmann::json::parse(content.str());
    for (const auto& key : doc.at("keys")) {
      std::vector<std::pair<std::string, std::string>> values;
      for (const auto& value : key.at("values")) {
        values.emplace_back(value.at(0).get<std::string>(), value.at(1).get<std::string>());
      }
      Restore(key.at("path").get<std::string>(), std::move(values));
    }
  } catch (const nlohmann::json::exception& error) {
    throw EInvalidOperation("The registry file '" + fileName_ + "' is damaged: " + error.what());
  }
}

void TFileRegistry::Commit() {
  nlohmann::json keys = nlohmann::json::array();
  for (const auto& key : Keys()) {
    nlohmann::json values = nlohmann::json::array();
    for (const auto& [name, text] : key.Values) values.push_back({name, text});
    keys.push_back({{"path", key.Path}, {"values", values}});
  }
  const std::string text = nlohmann::json{{"keys", keys}}.dump(1);
  const std::string temporary = fileName_ + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      throw EInvalidOperation("Cannot write the registry file '" + fileName_ + "'");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, fileName_, ec);
  if (ec) {
    std::remove(temporary.c_str());
    throw EInvalidOperation("Cannot write the registry file '" + fileName_ + "': " + ec.message());
  }
}

}  // namespace jxc
