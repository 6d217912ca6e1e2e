#pragma once
// The shops a record belongs to (a customer's or an employee's shops): the rows of a shop-list table
// (F_ID, F_MID the record's F_ID, F_SHOP_ID, F_SHARED) for the current record of the main dataset. Shops
// are added through the host's shop picker (a shop listed already is not added again) and removed one by
// one; nothing reaches the database before DoSave, which writes the rows in one call.

#include <string>

#include "editors/UnitFrameBase.h"

namespace jxc {

class TAction;
class TActionList;
class TGrid;
class TGridTableView;

class TFrameOwnerShopList : public TFrameBase {
 public:
  explicit TFrameOwnerShopList(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrameOwnerShopList"; }

  TClientDataSet* cdsShopList;  // the record's shop rows
  TDataSource* dsShopList;
  TClientDataSet* cdsShops;     // shop names shown beside the identifiers
  TDataSource* dsShops;
  TGrid* grdShops;
  TGridTableView* tvShops;
  TActionList* alShops;
  TAction* actAddShop;          // "添加店铺"
  TAction* actDeleteShop;       // "删除店铺"

  // The base initialisation and the shop names.
  void DoInit() override;
  // Reads the rows of the main dataset's current record: "SELECT * FROM " + table + " WHERE F_MID =" +
  // the record's F_ID quoted.
  void DoShow() override;
  // Opens the host's shop picker; the shops chosen that are not listed yet are added (a new F_ID, F_MID
  // the record's, F_SHARED 0). Nothing is added when the user cancels.
  void AddShops();
  // Removes the focused row (written by DoSave).
  void DoDelete() override;
  // Writes the rows to the table; true when the write reports 0 rows or more. Raises on failure, the
  // rows keeping their changes.
  bool DoSave() override;
  // Drops the changes not saved.
  void DoCancel() override;

 private:
  std::string MasterID() const;
};

// Makes the frame "FrameOwnerShopList" owned by owner inside parent, over the master dataset and the
// table, and reads the master's current rows. Raises "查询表名不能为空" when the table name is blank.
TFrameOwnerShopList* GetOwnerShopList(TComponent* owner, TWinControl* parent, TClientDataSet* master,
                                      const std::string& tableName);

}  // namespace jxc
