#pragma once
// The drop-down lists of the fast entry screens: an edit whose drop-down lists the entries of a list
// dataset (F_ID, F_NAME and, where it has it, F_PY) whose name or initials contain the typed text,
// without case; clicking an entry chooses it and closes the drop-down.

#include <cstdint>
#include <functional>

namespace jxc {

class TDataSet;
class TListBox;
class TPopupEdit;

// The list becomes the edit's drop-down content, filled afresh at each opening from source() (nothing
// when it gives null or a closed dataset); choose receives the clicked entry's F_ID.
void MakeEntryPopup(TPopupEdit& edit, TListBox& list, std::function<void(int64_t id)> choose,
                    std::function<TDataSet*()> source);

}  // namespace jxc
