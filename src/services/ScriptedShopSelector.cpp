#include "services/ScriptedShopSelector.h"

namespace jxc {

void TScriptedShopSelector::QueueSelection(std::vector<TFieldDef> fields, std::vector<TRowValues> rows) {
  script_.push_back(TDataPacket{std::move(fields), std::move(rows)});
}

void TScriptedShopSelector::QueueCancel() { script_.push_back(std::nullopt); }

void TScriptedShopSelector::SelectShops(TComponent* owner, TDataSet* preset, const Callback& callback,
                                        bool multiSelect) {
  std::optional<TDataPacket> selection;
  if (!script_.empty()) {
    selection = std::move(script_.front());
    script_.pop_front();
  }
  if (selection && !multiSelect && selection->Rows.size() > 1) selection->Rows.resize(1);
  const int chosen = selection ? static_cast<int>(selection->Rows.size()) : -1;
  requests_.push_back({owner, preset != nullptr, multiSelect, chosen});
  if (!selection || !callback) return;
  TClientDataSet shops;
  shops.SetData(*selection);
  callback(shops);
}

}  // namespace jxc
