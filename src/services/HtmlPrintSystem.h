#pragma once
// A print service that writes every printed bill as an HTML page a person can open in a browser: the
// screen's caption and the template's name as title, the bill's header (code, date, shop, status, who made
// and audited it) and its rows (product, colour, serial number, quantity, price, money) with the totals.
// The template path's caption (the text before "\") names the screen, whose function row tells which
// tables hold the bill. A design request writes the page of fields a template of that screen may use.
//
// Every request is remembered (as the recording print service does) with the file it wrote. A bill or a
// screen that cannot be found, or a folder that cannot take the file, raises Exception; nothing is
// written then.

#include <memory>
#include <string>
#include <vector>

#include "services/RecordingPrintSystem.h"

namespace jxc {

class IDBAccess;
class ILocalDB;

class THtmlPrintSystem : public TRecordingPrintSystem {
 public:
  // Pages go into folder (created when missing). Raises EArgumentError when db or local is null.
  THtmlPrintSystem(std::shared_ptr<IDBAccess> db, std::shared_ptr<ILocalDB> local, std::string folder);

  void DesignReport(const std::string& templatePath, const std::string& billID, int billKind,
                    const std::string& fileName, int listIndex) override;
  void PrintReport(const std::string& templatePath, const std::string& billID, int billKind,
                   const std::string& fileName, int listIndex) override;

  const std::string& Folder() const { return folder_; }
  // The pages written, in order.
  const std::vector<std::string>& Files() const { return files_; }

 private:
  struct TScreenTables;
  TScreenTables ScreenTables(const std::string& caption);
  std::string WritePage(const std::string& name, const std::string& html);

  std::shared_ptr<IDBAccess> db_;
  std::shared_ptr<ILocalDB> local_;
  std::string folder_;
  std::vector<std::string> files_;
};

}  // namespace jxc
