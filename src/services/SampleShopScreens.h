#pragma once
// The sample shop's master-data screens: the TB_SYS_FUNCTION rows of the grid editors for products,
// customers and suppliers, employees, stock locations, colours and bank accounts, with their configuration
// (the query panel: grid layout name, data and picker use) and sort order, and the fields that
// TB_SYS_FIELD_LIST makes mandatory in them.

#include <string>
#include <vector>

namespace jxc {

class TSQLiteDBAccess;

struct TSampleScreenField {
  const char* Field;  // F_NAME of the constraint row
  const char* Label;  // F_CONSTRAINTS_MESSAGE
};

struct TSampleScreen {
  const char* Caption;
  const char* Table;  // F_TableName: where the screen writes
  const char* Data;   // F_DATA: what the screen reads
  std::vector<TSampleScreenField> Mandatory;
};

// The screens CreateSampleShopScreens writes, in menu order.
const std::vector<TSampleScreen>& SampleShopScreens();

// Writes the rows into the open database (inside the caller's transaction when there is one), after the
// function rows already there. Raises EDatabaseError on failure.
void CreateSampleShopScreens(TSQLiteDBAccess& db);

}  // namespace jxc
