#include "services/SchemaMigrator.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "services/SQLiteConnection.h"
#include "platform/Exceptions.h"

namespace jxc {

std::string TSchemaMigrator::DefaultSchemaFolder() {
  if (const char* folder = std::getenv("JXC_SCHEMA_DIR"); folder && *folder) return folder;
  return std::string(JXC_SOURCE_DIR) + "/schema";
}

TSchemaMigrator::TSchemaMigrator(std::string folder) : folder_(std::move(folder)) {}

std::vector<TSchemaMigrator::Script> TSchemaMigrator::Scripts() const {
  namespace fs = std::filesystem;
  std::vector<Script> scripts;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder_, error)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".sql" || name.size() < 5 || !std::isdigit(static_cast<unsigned char>(name[0])))
      continue;
    scripts.push_back({std::atoi(name.c_str()), entry.path().string()});
  }
  if (scripts.empty()) throw EDatabaseError("找不到数据库结构脚本: " + folder_);
  std::sort(scripts.begin(), scripts.end(), [](const Script& a, const Script& b) { return a.Version < b.Version; });
  for (size_t i = 1; i < scripts.size(); ++i)
    if (scripts[i].Version == scripts[i - 1].Version)
      throw EDatabaseError("数据库结构脚本版本重复: " + scripts[i - 1].Path + ", " + scripts[i].Path);
  return scripts;
}

int TSchemaMigrator::LatestVersion() const { return Scripts().back().Version; }

int TSchemaMigrator::FileVersion(TSQLiteConnection& connection) {
  auto statement = connection.Prepare("PRAGMA user_version");
  return statement->Step() ? static_cast<int>(statement->Int64(0)) : 0;
}

int TSchemaMigrator::Migrate(TSQLiteConnection& connection) const {
  const auto scripts = Scripts();
  int version = FileVersion(connection);
  if (version > scripts.back().Version)
    throw EDatabaseError("数据库文件版本(" + std::to_string(version) + ")比程序新(" +
                         std::to_string(scripts.back().Version) + "), 请升级程序: " + connection.FileName());
  for (const auto& script : scripts) {
    if (script.Version <= version) continue;
    std::ifstream in(script.Path, std::ios::binary);
    if (!in) throw EDatabaseError("无法读取数据库结构脚本: " + script.Path);
    std::stringstream text;
    text << in.rdbuf();
    TSQLiteTransaction transaction(connection);
    // Another process may have applied it while this one waited for the write lock.
    version = FileVersion(connection);
    if (script.Version <= version) continue;
    connection.ExecScript(text.str());
    connection.ExecScript("PRAGMA user_version = " + std::to_string(script.Version));
    transaction.Commit();
    version = script.Version;
  }
  connection.ClearStatementCache();
  return version;
}

}  // namespace jxc
