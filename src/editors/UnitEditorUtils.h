#pragma once
// What the editor screens share: their messages through the dialog service, the defaults of a new master
// record, and rows that change in a dataset without entering its change log (rows the database already
// wrote or removed).

#include <string>
#include <string_view>

#include "platform/Variant.h"

namespace jxc {

class IDBAccess;
class IDialog;
class TClientDataSet;
class TDataSet;

// --- parts of a screen ------------------------------------------------------------------------------------
// A new control owned by the screen (or frame), with its component name, placed in the parent.
template <class T, class Owner, class Parent>
T* NewControl(Owner* owner, const char* name, Parent* parent) {
  T* control = new T(owner);
  control->SetName(name);
  control->SetParent(parent);
  return control;
}

// --- messages ------------------------------------------------------------------------------------------
// Through the dialog service. A screen without one still tells the user of errors and warnings: they are
// raised as Exception with the text, which the toolkit shows; information and tips are dropped, and a
// question is answered no.
void ShowErrorMessage(IDialog* dialog, const std::string& text);
void ShowWarningMessage(IDialog* dialog, const std::string& text);
void ShowInfoMessage(IDialog* dialog, const std::string& text);
// A tip that closes itself after 1.5 seconds.
void ShowTipMessage(IDialog* dialog, const std::string& text);
bool ConfirmMessage(IDialog* dialog, const std::string& caption, const std::string& text);

// "保存失败" CR LF "失败原因：" + the reason.
std::string SaveFailureText(std::string_view reason);
// "查询失败" CR LF "失败原因：" + the reason.
std::string QueryFailureText(std::string_view reason);

// A field of the current record as a 64-bit integer; null when the record lacks the field or it is null.
Variant LargeIntValue(const TDataSet& record, std::string_view fieldName);

// --- new records ------------------------------------------------------------------------------------------
// The defaults of a new master record, in this order, each where the record has the field: F_STATUS false
// (a boolean field) or 0, F_PARENTID 0, F_CODE a new code with the pinyin initials of the caption as
// prefix, F_ID a new identifier for the update table. Database failures propagate.
void FillNewRecordDefaults(TDataSet& record, IDBAccess& db, const std::string& caption, const std::string& updateTable);

// --- rows that bypass the change log ------------------------------------------------------------------------
// Removes the current row, which the database no longer holds: a row without pending changes leaves no
// entry in the change log, a row inserted since the last save leaves nothing either, and a row changed
// since then leaves a pending delete (writing it again harms nothing). The other rows' pending changes
// stay. A pending edit of the row is cancelled first. Nothing happens on an empty dataset.
void RemoveDeletedRecord(TClientDataSet& dataSet);
// Appends a row holding the source's current row (same-named fields) as the database holds it: no
// change-log entry and no new-record defaults. The cursor ends on the new row.
void AppendSavedRecord(TClientDataSet& dataSet, const TDataSet& source);

}  // namespace jxc
