#pragma once
// Brings a database file to the current schema version. The schema lives in numbered SQL scripts
// ("001_base.sql", "002_....sql", ...) in the schema folder; the file's version is SQLite's user_version.
// Each script newer than the file runs in its own transaction together with the version change, so a
// file is always at a whole version: a failing script leaves the file at the version before it, with all
// its rows.

#include <string>
#include <vector>

namespace jxc {

class TSQLiteConnection;

class TSchemaMigrator {
 public:
  // The folder of the scripts: JXC_SCHEMA_DIR when set, else the source tree's "schema" folder.
  static std::string DefaultSchemaFolder();

  explicit TSchemaMigrator(std::string folder = DefaultSchemaFolder());

  // The scripts found, in version order. Raises EDatabaseError when the folder holds none, or two
  // scripts claim one version.
  struct Script {
    int Version = 0;
    std::string Path;
  };
  std::vector<Script> Scripts() const;
  int LatestVersion() const;

  static int FileVersion(TSQLiteConnection& connection);
  // Applies the missing versions; returns the version the file is at afterwards. A file newer than
  // the scripts raises EDatabaseError and is left alone.
  int Migrate(TSQLiteConnection& connection) const;

 private:
  std::string folder_;
};

}  // namespace jxc
