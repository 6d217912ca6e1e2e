#pragma once
// The shop tree of the screens that work on shops: the user's own shop and every shop below it, grouped
// by their parent shop, or the regions that hold those shops (with the regions above them), grouped by
// region. A click on a node fills the main dataset with the shops it stands for, all within the user's
// shops: a shop and the shops below it, or the shops of a region and its sub-regions. A main dataset
// holding changes not yet saved is only replaced when the user agrees ("您正在编辑数据,是否继续?").

#include <string>

#include "editors/UnitFrameBaseTree.h"

namespace jxc {

class TButton;

enum class TShopTreeGroup { ByShop, ByRegion };

class TFrameShopTree : public TFrameBaseTree {
 public:
  explicit TFrameShopTree(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrameShopTree"; }

  TButton* btnByRegion;  // "按地区"
  TButton* btnByShop;    // "按店铺"

  TShopTreeGroup Group() const { return FGroup; }
  // The grouping of the next DoInit.
  void SetGroup(TShopTreeGroup group) { FGroup = group; }
  // The user switches the grouping: the tree is read again.
  void ChangeGroup(TShopTreeGroup group);

  // TB_SHOP or TB_PROVINCE by the grouping, then the tree's rows.
  void DoInit() override;
  // By shop: the user's shop and the shops below it. By region: the regions holding one of those shops,
  // and the regions above them.
  std::string GetFilterStr() override;
  // The shops a node stands for (the statement that fills the main dataset).
  std::string ShopsOfNode(const std::string& nodeID) const;

 protected:
  // Shows "正在查询数据,请稍候..." while the main dataset is filled, and hides it whatever happens.
  void DoNodeClick(TTreeListNode& node) override;

 private:
  std::string UserShop() const;
  TShopTreeGroup FGroup = TShopTreeGroup::ByShop;
};

}  // namespace jxc
