#include "bills/UnitEntryPopups.h"

#include <any>
#include <string>

#include "platform/DataSet.h"
#include "platform/ExtCtrls.h"
#include "platform/Text.h"

namespace jxc {

void MakeEntryPopup(TPopupEdit& edit, TListBox& list, std::function<void(int64_t id)> choose,
                    std::function<TDataSet*()> source) {
  list.SetVisible(false);
  edit.PopupControl = &list;
  edit.OnInitPopup = [&list, source = std::move(source)](TPopupEdit& sender) {
    list.Clear();
    TDataSet* rows = source();
    if (!rows || !rows->Active()) return;
    const std::string typed = UpperCase(Trim(sender.Text()));
    const TField& id = rows->FieldByName("F_ID");
    const TField& name = rows->FieldByName("F_NAME");
    const TField* py = rows->FindField("F_PY");
    const TBookmark at = rows->GetBookmark();
    rows->DisableControls();
    for (rows->First(); !rows->Eof(); rows->Next()) {
      const bool shown = typed.empty() || UpperCase(name.AsString()).find(typed) != std::string::npos ||
                         (py && UpperCase(py->AsString()).find(typed) != std::string::npos);
      if (shown) list.Add(name.AsString(), std::any(id.AsLargeInt()));
    }
    if (rows->BookmarkValid(at)) rows->GotoBookmark(at);
    rows->EnableControls();
  };
  list.OnClick = [&edit, &list, choose = std::move(choose)](TControl&) {
    if (list.ItemIndex() < 0) return;
    choose(std::any_cast<int64_t>(list.Items(list.ItemIndex()).Data));
    edit.CloseUp();
  };
}

}  // namespace jxc
