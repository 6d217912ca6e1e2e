#pragma once
// A shop picker whose user is a script: each SelectShops takes the next scripted selection. A selection
// hands its rows (shops with F_ID, F_NAME, ...) to the callback, which may read them only during the call;
// a cancelled selection, or one asked for when the script is used up, does not call the callback. In
// single-selection mode only the first scripted row is chosen. Every request is remembered.

#include <deque>
#include <optional>
#include <vector>

#include "foundation/HostServicesIntf.h"
#include "platform/DataSet.h"

namespace jxc {

class TScriptedShopSelector : public IShopSelector {
 public:
  void SelectShops(TComponent* owner, TDataSet* preset, const Callback& callback, bool multiSelect) override;

  // The user will choose these rows.
  void QueueSelection(std::vector<TFieldDef> fields, std::vector<TRowValues> rows);
  // The user will close the picker without choosing.
  void QueueCancel();

  struct TRequest {
    TComponent* Owner;  // not owned; may be gone after the call
    bool HadPreset;
    bool MultiSelect;
    int RowsChosen;  // -1 when cancelled
  };
  const std::vector<TRequest>& Requests() const { return requests_; }

 private:
  std::deque<std::optional<TDataPacket>> script_;
  std::vector<TRequest> requests_;
};

}  // namespace jxc
