// TClientDataSet: the change log and the master-detail link on top of the in-memory table.

#include <algorithm>
#include <unordered_map>

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Text.h"

namespace jxc {

namespace {

std::vector<std::string> Names(std::string_view list) {
  std::vector<std::string> out;
  for (std::string& n : SplitString(list, ";,", true)) {
    if (!n.empty()) out.push_back(std::move(n));
  }
  return out;
}

// Follows the master's data source; told of master events even while the master's controls are disabled.
class MasterLink : public TDataLink {
 public:
  explicit MasterLink(std::function<void(TDataEvent, TField*)> onEvent) : onEvent_(std::move(onEvent)) {}

 protected:
  void DataEvent(TDataEvent event, TField* field) override { onEvent_(event, field); }
  bool FollowsWhileDisabled() const override { return true; }

 private:
  std::function<void(TDataEvent, TField*)> onEvent_;
};

}  // namespace

struct TClientDataSet::LogImpl {
  struct Entry {
    TUpdateStatus status = usUnmodified;
    TRowValues original;  // modified and deleted rows: the values as last opened or merged
    uint64_t seq = 0;     // order of the first change
  };
  std::unordered_map<int64_t, Entry> entries;
  uint64_t nextSeq = 0;

  std::unique_ptr<MasterLink> link;
  std::vector<Variant> lastKey;  // the master values the detail was last narrowed to
  bool keyKnown = false;
};

TClientDataSet::TClientDataSet(TComponent* owner) : TMemTable(owner), log_(std::make_unique<LogImpl>()) {
  log_->link = std::make_unique<MasterLink>([this](TDataEvent event, TField* field) {
    if (!Active()) return;
    if (event == TDataEvent::FieldChange) {
      bool isKey = field == nullptr;
      for (const std::string& n : Names(masterFields_)) {
        if (field && SameText(field->FieldName(), n)) isKey = true;
      }
      if (!isKey) return;
    } else if (event == TDataEvent::UpdateRecord || event == TDataEvent::FocusControl) {
      return;
    }
    // Narrow again only when the master's key moved, so that scrolls within one master row cost nothing.
    std::vector<int> fields;
    std::vector<Variant> key;
    const bool ranged = RangeKey(fields, key);
    if (log_->keyKnown && ranged && key.size() == log_->lastKey.size()) {
      bool same = true;
      for (size_t i = 0; i < key.size(); ++i) {
        if (key[i].IsNullOrEmpty() != log_->lastKey[i].IsNullOrEmpty() || !(key[i] == log_->lastKey[i])) same = false;
      }
      if (same) return;
    }
    log_->lastKey = key;
    log_->keyKnown = ranged;
    CheckBrowseMode();
    Resync();
    if (!IsEmpty()) First();
  });
}

TClientDataSet::~TClientDataSet() { log_->link->SetDataSource(nullptr); }

// --- change log ------------------------------------------------------------------------------------------------

int TClientDataSet::ChangeCount() const { return static_cast<int>(log_->entries.size()); }

TUpdateStatus TClientDataSet::UpdateStatus() const {
  if (State() == dsInsert) return usInserted;
  const int64_t row = CurrentRowId();
  auto it = log_->entries.find(row);
  return it == log_->entries.end() ? usUnmodified : it->second.status;
}

void TClientDataSet::DoBeforeStore(int64_t rowId, TUpdateStatus kind) {
  if (!LogChanges) return;
  auto& entries = log_->entries;
  auto it = entries.find(rowId);
  if (kind == usModified) {
    if (it == entries.end()) entries[rowId] = LogImpl::Entry{usModified, StoredRow(rowId), log_->nextSeq++};
  } else if (kind == usDeleted) {
    if (it == entries.end()) {
      entries[rowId] = LogImpl::Entry{usDeleted, StoredRow(rowId), log_->nextSeq++};
    } else if (it->second.status == usInserted) {
      entries.erase(it);  // inserted and deleted before any save: nothing to write
    } else {
      it->second.status = usDeleted;
    }
  }
}

void TClientDataSet::DoAfterStore(int64_t rowId, TUpdateStatus kind) {
  if (!LogChanges || kind != usInserted) return;
  log_->entries[rowId] = LogImpl::Entry{usInserted, {}, log_->nextSeq++};
}

bool TClientDataSet::KeepsDeletedRows() const {
  for (const auto& [row, e] : log_->entries) {
    if (e.status == usDeleted) return true;
  }
  return false;
}

void TClientDataSet::DoRowsCleared() {
  log_->entries.clear();
  log_->keyKnown = false;
}

void TClientDataSet::MergeChangeLog() {
  if (Active()) CheckBrowseMode();
  log_->entries.clear();
}

void TClientDataSet::CancelUpdates() {
  if (!Active()) return;
  Cancel();
  std::vector<std::pair<int64_t, LogImpl::Entry*>> changes;
  for (auto& [row, e] : log_->entries) changes.emplace_back(row, &e);
  std::sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.second->seq > b.second->seq; });
  for (auto& [row, e] : changes) {
    switch (e->status) {
      case usInserted: KillRow(row); break;
      case usModified: WriteStoredRow(row, e->original); break;
      case usDeleted:
        WriteStoredRow(row, e->original);
        ReviveRow(row);
        break;
      default: break;
    }
  }
  log_->entries.clear();
  Resync();
}

std::vector<TDeltaRecord> TClientDataSet::GetDelta() const {
  std::vector<std::pair<uint64_t, TDeltaRecord>> ordered;
  for (const auto& [row, e] : log_->entries) {
    TDeltaRecord d;
    d.Status = e.status;
    if (e.status != usInserted) d.OldValues = e.original;
    if (e.status != usDeleted) d.NewValues = StoredRow(row);
    ordered.emplace_back(e.seq, std::move(d));
  }
  std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TDeltaRecord> out;
  for (auto& [seq, d] : ordered) out.push_back(std::move(d));
  return out;
}

void TClientDataSet::ReplaceCurrentRecord(const TRowValues& values) {
  if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  Cancel();
  const int64_t row = CurrentRowId();
  if (row < 0) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  WriteStoredRow(row, values);
  Resync();
  DataEvent(TDataEvent::RecordChange);
}

// --- master-detail ---------------------------------------------------------------------------------------------

TDataSource* TClientDataSet::MasterSource() const { return log_->link->DataSource(); }

void TClientDataSet::SetMasterSource(TDataSource* source) {
  log_->link->SetDataSource(source);
  log_->keyKnown = false;
  if (Active()) {
    CheckBrowseMode();
    Resync();
    First();
  }
}

void TClientDataSet::SetMasterFields(std::string fields) {
  masterFields_ = std::move(fields);
  log_->keyKnown = false;
  if (Active()) {
    CheckBrowseMode();
    Resync();
    First();
  }
}

bool TClientDataSet::RangeKey(std::vector<int>& fields, std::vector<Variant>& values) const {
  TDataSet* master = log_->link->DataSet();
  if (!master || !master->Active()) return false;
  const std::vector<std::string> masterNames = Names(masterFields_);
  if (masterNames.empty()) return false;
  const std::vector<std::string> index = Names(IndexFieldNames());
  for (size_t i = 0; i < masterNames.size(); ++i) {
    // The detail's leading index fields carry the link; without enough of them, fields of the same name.
    const TField* detailField = FindField(i < index.size() ? index[i] : masterNames[i]);
    const TField* masterField = master->FindField(masterNames[i]);
    fields.push_back(detailField ? detailField->Index() : -1);
    values.push_back(masterField ? masterField->Value() : Variant::Null());
  }
  return true;
}

}  // namespace jxc
