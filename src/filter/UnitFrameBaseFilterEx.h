#pragma once
// The search list: the drop-down content of a look-up edit. It lists the rows of one table or view (or of
// a complete SELECT) with their code, name and pinyin initials, and narrows them as the user types: each
// keystroke restarts a pause of 100 ms (window timer 1281), after which the rows already loaded are
// filtered on the text found in the name or the pinyin initials (and in the code while the code column is
// shown). No query is sent while the user types. The list is loaded once, 200 ms after DoInit, and again
// when its statement changes (another shop, another WHERE text) or the user refreshes it.
//
// Choosing (Enter in the search box or the grid, a double click) hands the current row to the caller:
// to the dataset callback with the list positioned on it, else to the plain callback with the values of
// the row's first three fields. Choosing first finishes what is pending, so that a scanner that types a
// code and Enter in one go chooses from the rows matching the code: a list not loaded yet is loaded, a
// filter still waiting for its pause is applied, and of the matching rows the one whose code or name is
// exactly the text is chosen (else the first). An empty list calls no callback: the caller's fields stay
// as they were (a record given with SetResultField may take the typed text instead, see SetisOK).
//
// The frame is usually the drop-down of a popup edit or of a grid column (filter/UnitFilterPopupEdit.h):
// the edit keeps the focus, the text typed into it is searched here, its Up and Down keys move the list
// and Enter chooses; OnChosen tells the host to close its drop-down.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editors/UnitFrameBase.h"
#include "editors/uBaseDataIntf.h"
#include "platform/Exceptions.h"
#include "platform/Variant.h"

namespace jxc {

class TAction;
class TActionList;
class TEdit;
class TField;
class TGrid;
class TGridColumn;
class TGridTableView;
class TPanel;
class TTimer;

// Receives the values of the first three fields of the chosen row.
using TCallback = std::function<void(const Variant& first, const Variant& second, const Variant& third)>;
// Receives the list with its cursor on the chosen row.
using TDataSetCallback = std::function<void(TDataSet& list)>;

// What a search list shows, handed over in one piece (SetConfig).
struct TFrameFilterConfog {
  std::string TableName;     // the table or view listed
  std::string SelectFields;  // the SELECT's column list; "" lists every column
  std::string Filter;        // the text after the FROM clause (" WHERE ...")
  std::string SQL;           // a complete SELECT that replaces the generated one when not empty
  std::string DisplayCaption;
  bool CanAppend = false;    // the add-new and edit actions are offered
};

class TFrameBaseFilterEx : public TFrameBase {
 public:
  explicit TFrameBaseFilterEx(TComponent* owner = nullptr);
  ~TFrameBaseFilterEx() override;
  std::string ClassName() const override { return "TFrameBaseFilterEx"; }

  static constexpr int FilterTimerID = 1281;
  static constexpr int FilterPause = 100;  // milliseconds after the last keystroke
  static constexpr int LoadDelay = 200;    // milliseconds after DoInit

  // --- components, owned by the frame ---
  TPanel* pnlSearch;
  TEdit* edtSearch;                  // hint "请输入查询内容"
  TGrid* grdFilter;
  TGridTableView* tvFilter;          // the list, read-only
  TGridColumn* tvFilterColumn1;      // "编码", F_CODE
  TGridColumn* tvFilterColumn2;      // "名称", F_NAME
  TGridColumn* tvFilterColumn3;      // "拼音", F_PY
  TClientDataSet* cdsMain;           // the rows listed
  TDataSource* dsFilter;             // the grid's source
  TTimer* StartToInit;               // 200 ms, one shot: the first load
  TActionList* alFilter;
  TAction* actAppend;                // "新增": a new row in the application's record editor
  TAction* actEdit;                  // "修改(&E)": the current row in the record editor
  TAction* actRefresh;               // "刷新(&R)"
  TAction* actClose;                 // "关闭"
  TAction* actSave;
  TAction* actCancel;

  // A complete SELECT that replaces the generated one when not empty.
  std::string SQL;
  // The application's record editor that the add-new and edit actions open (null: they are not offered),
  // and the values a new row starts with there.
  std::shared_ptr<IBaseDataEditor> Editor;
  TFieldValues NewRecordValues;
  // After a row was chosen (or the typed text was taken): the host closes its drop-down.
  std::function<void(TFrameBaseFilterEx& sender)> OnChosen;

  // --- set-up ---
  void SetCallback(TCallback callback) { FCallback = std::move(callback); }
  void SetDataSetCallback(TDataSetCallback callback) { FDataSetCallback = std::move(callback); }
  const TDataSetCallback& DataSetCallback() const { return FDataSetCallback; }
  void SetConfig(const TFrameFilterConfog& config);
  using TFrameBase::SetConfig;
  void SetDisplayCaption(std::string caption) { FDisplayCaption = std::move(caption); }
  const std::string& DisplayCaption() const { return FDisplayCaption; }
  // The text after the FROM clause; the next load uses it (see ReloadIfChanged).
  void SetFilter(std::string filter) { FFilter = std::move(filter); }
  const std::string& Filter() const { return FFilter; }
  void SetOldFilter(std::string filter) { FOldFilter = std::move(filter); }
  const std::string& OldFilter() const { return FOldFilter; }
  void SetLookupKeyFields(std::string fields) { FLookupKeyFields = std::move(fields); }
  const std::string& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupResultFields(std::string fields) { FLookupResultFields = std::move(fields); }
  const std::string& LookupResultFields() const { return FLookupResultFields; }
  void SetTableName(std::string table) { FTableName = std::move(table); }
  const std::string& TableName() const { return FTableName; }
  void SetSelectFields(std::string fields) { FSelectFields = std::move(fields); }
  // A field of the caller's record that takes the typed text when the list offers nothing (null: none).
  void SetResultField(TField* field);
  TField* ResultField() const;
  // Shows or hides the add-new and edit actions together.
  void SetCanAppend(bool canAppend);
  // Offers the application's record editor of a screen's rows: the editor class registered under that
  // name (unless Editor is set already), add-new for a user holding the screen's right "新增" and edit for
  // one holding "编辑". Without an editor neither is offered.
  void OfferRecordEditor(const std::string& screenCaption, const std::string& editorClass);

  // --- loading ---
  // The base initialisation, then the 200 ms timer of the first load.
  void DoInit() override;
  // The SELECT's column list: "*" when none was set.
  std::string GetFields() const;
  // The statement the list is loaded with: SQL when set, else " SELECT " + fields + " FROM " + table +
  // " " + filter.
  std::string SelectText() const;
  // Loads the list (the grid locked meanwhile) and applies the text typed so far. Raises what the database
  // raises; the rows shown before then stay.
  void LoadList();
  bool Loaded() const { return FLoaded; }
  // Loads the list again when it was loaded with another statement; a list not loaded yet waits for its
  // timer.
  void ReloadIfChanged();
  // Lists a copy of the rows given instead of rows read from the database.
  void LoadRows(const TDataSet& rows);
  // Shows or hides the columns after a load (the code column by CodeColumnShown, others by their field).
  virtual void UpdateColumns();

  // --- searching ---
  // Filters the loaded rows on the text (trimmed, upper case; blank shows every row) and moves to the
  // first row left.
  virtual void DoFilter(const std::string& text);
  // The dataset filter for the pattern: code (when shown), name and pinyin initials LIKE the pattern.
  virtual std::string GetFilterStr(const std::string& pattern);
  // Whether the code column takes part: it is bound to a field of the list and the system parameter
  // "检索下拉显示编码" is on.
  bool CodeColumnShown() const;

  // --- choosing ---
  int isOK() const { return FisOK; }
  // Ends the typing pause and stores the value; 1 chooses (see the top of this unit). A callback's error
  // propagates.
  void SetisOK(int value);

  // --- driving the list from an edit that keeps the focus ---
  // The text typed into the host edit: searched as if typed into edtSearch.
  void SearchFor(const std::string& text);
  // Empties the search box and shows every row, without a pause.
  void ClearSearch();
  // Moves the list's current row (Up: -1, Down: +1).
  void MoveBy(int distance);
  // Chooses as Enter does; true when a row (or the typed text) was taken.
  bool Choose();
  // A typing pause is waiting.
  bool FilterPending() const { return FFilterPending; }

 protected:
  // The add-new and edit actions: the record editor for a new row or the current one; the saved row is
  // read back into the list and becomes current.
  virtual void actAppendExecute(TAction& sender);
  virtual void actRefreshExecute(TAction& sender);
  // After the search applied a text: the row to choose among those left (exact code or name first).
  virtual void LocateBestRow(const std::string& text);
  // Reads a row the record editor saved into the list: "SELECT " + fields + " FROM " + table + " WHERE
  // F_ID = " + its identifier.
  void ShowSavedRow(int64_t id);

  void WMTimer(int id) override;
  void Notification(TComponent* component, TOperation operation) override;

  int FisOK = 0;
  TCallback FCallback;
  std::string FTableName;
  std::string FFilter;
  std::string FLookupResultFields;
  std::string FLookupKeyFields;
  std::string FDisplayCaption;
  std::string FSelectFields;
  TFrameFilterConfog FFilterConfig;
  TDataSetCallback FDataSetCallback;
  std::string FOldFilter;

 private:
  void StartFilterPause();
  // Loads a list not loaded yet and applies a waiting filter; true when a search text was just applied.
  bool FinishPending();
  bool TakeTypedText();
  void SearchKeyDown(int& key);

  TDataSet* FResultDataSet = nullptr;  // the record of the result field (freed: forgotten)
  std::string FResultFieldName;
  std::string FLoadedSQL;
  bool FLoaded = false;
  bool FFilterPending = false;
};

// --- creating and reusing search lists -----------------------------------------------------------------

// The frame of class T that the owner holds (of that component name when one is given), or a new one
// owned by it and placed where the owner shows its drop-down (see PlaceLookupFrame), initialised.
template <class T>
T* FindOrCreateLookup(TComponent* owner, const std::string& name, bool& created) {
  created = false;
  if (!owner) throw EArgumentError("A search list needs an owner");
  if (!name.empty()) {
    if (auto* found = dynamic_cast<T*>(owner->FindComponent(name))) return found;
  } else {
    for (int i = 0; i < owner->ComponentCount(); ++i)
      if (auto* found = dynamic_cast<T*>(owner->Components(i))) return found;
  }
  T* frame = new T(owner);
  if (!name.empty()) frame->SetName(name);
  created = true;
  return frame;
}

// Puts a new search list where its owner shows it: the drop-down of a popup edit (a data-aware one too)
// or of a grid column (whose cells then search it, filter/UnitFilterPopupEdit.h), else inside the owner
// when it is a window. A drop-down list stays hidden until it drops down.
void PlaceLookupFrame(TComponent* owner, TFrameBaseFilterEx& frame);
// The caller's record that a default callback writes: the dataset of a data-aware popup edit, or of the
// view of a grid column; null when the owner has none.
TDataSet* OwnerDataSet(TComponent* owner);

// Copies, from the list's current row into the record, each pair (record field, list field) that both
// have; the record goes into edit (or insert, when empty) first. A list row without a field never clears
// the record's field.
void CopyChosenFields(const TDataSet& list, TDataSet& record,
                      const std::vector<std::pair<const char*, const char*>>& fields);

// The search list of the owner over a table: reused when the owner has one, else made with the table
// (canAppend shows the add-new and edit actions) and initialised. A WHERE text that is not empty replaces
// the list's filter (and a loaded list is loaded again when its statement changed); the list's own
// search is emptied and its filter switched off; moveFirst puts a non-empty list on its first row; the dataset callback
// replaces the list's (a default one is kept when none is given).
TFrameBaseFilterEx* GetBaseFilterLookup(TComponent* owner, const std::string& tableName, const std::string& where,
                                        TDataSetCallback callback, bool canAppend = false, bool moveFirst = false);
// A search list over the rows of a dataset the caller holds: they are copied in (no query).
TFrameBaseFilterEx* GetBaseLookupDataSet(TComponent* owner, const TDataSet& rows, TDataSetCallback callback);
// A search list over a complete SELECT.
TFrameBaseFilterEx* GetDataSetWithSql(TComponent* owner, const std::string& sql, TDataSetCallback callback);
// The same, with the list loaded at once rather than after the pause.
TFrameBaseFilterEx* GetBaseLookupDataSetWithSql(TComponent* owner, const std::string& sql, TDataSetCallback callback);

// A frame made by the steps above: the dataset callback, the search emptied and its filter off, first row
// (see GetBaseFilterLookup).
void PrepareLookup(TFrameBaseFilterEx& frame, TDataSetCallback callback, bool moveFirst);
// A list just made is placed where its owner shows it and initialised; a reused one is read again when
// its statement changed.
void StartLookup(TComponent* owner, TFrameBaseFilterEx& frame, bool created);

// The owner's list of class T (of that component name when one is given), set up by configure (told
// whether the list is new), started (StartLookup) and prepared (PrepareLookup): the way every look-up
// function serves its list.
template <class T>
T* ServeLookup(TComponent* owner, const std::string& name, const std::function<void(T& frame, bool created)>& configure,
               TDataSetCallback callback, bool moveFirst = true) {
  bool created = false;
  T* frame = FindOrCreateLookup<T>(owner, name, created);
  if (configure) configure(*frame, created);
  StartLookup(owner, *frame, created);
  PrepareLookup(*frame, std::move(callback), moveFirst);
  return frame;
}

}  // namespace jxc
