#include "platform/DBTreeList.h"

#include <algorithm>
#include <unordered_map>

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// A key as the index compares it: numbers by value whatever their kind (an integer field, a float
// holding a whole number and the text "12" name the same row), other text as it stands.
struct NodeKey {
  enum Kind : uint8_t { kNull, kNumber, kText };
  Kind kind = kNull;
  int64_t num = 0;
  std::string text;
  bool operator==(const NodeKey&) const = default;
};

struct NodeKeyHash {
  size_t operator()(const NodeKey& k) const {
    return k.kind == NodeKey::kText ? std::hash<std::string>{}(k.text) : std::hash<int64_t>{}(k.num) + k.kind;
  }
};

// Plain decimal integer text without blanks, sign "+" or leading zeros ("007" stays text).
bool CanonicalInteger(const std::string& s, int64_t& out) {
  const size_t start = !s.empty() && s[0] == '-' ? 1 : 0;
  if (s.size() == start || s.size() > 20) return false;
  if (s[start] == '0' && s.size() > start + 1) return false;
  for (size_t i = start; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  if (s == "-0") return false;
  std::optional<int64_t> value = TryStrToInt64(s);
  if (!value) return false;
  out = *value;
  return true;
}

NodeKey MakeKey(const Variant& v) {
  NodeKey k;
  switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null:
      return k;
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Int64:
      k.kind = NodeKey::kNumber;
      k.num = v.AsInt64();
      return k;
    case VarType::Double: {
      const double d = v.AsDouble();
      if (d == static_cast<double>(static_cast<int64_t>(d)) && d > -9.2e18 && d < 9.2e18) {
        k.kind = NodeKey::kNumber;
        k.num = static_cast<int64_t>(d);
        return k;
      }
      break;
    }
    case VarType::Currency: {
      const int64_t raw = v.AsCurrency().Raw();
      if (raw % 10000 == 0) {
        k.kind = NodeKey::kNumber;
        k.num = raw / 10000;
        return k;
      }
      break;
    }
    case VarType::String:
      if (CanonicalInteger(v.Get<std::string>(), k.num)) {
        k.kind = NodeKey::kNumber;
        return k;
      }
      break;
    default:
      break;
  }
  k.kind = NodeKey::kText;
  k.text = v.ToString();
  return k;
}

std::string JoinTexts(const std::vector<Variant>& values, const std::string& separator) {
  std::string text;
  for (const Variant& v : values) {
    std::string part = v.ToString();
    if (part.empty()) continue;
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

}  // namespace

// The tree's follower of its data source.
class TDBTreeList::Link : public TDataLink {
 public:
  explicit Link(TDBTreeList& tree) : tree_(tree) {}

 protected:
  void DataEvent(TDataEvent event, TField* field) override { tree_.DataEvent(event, field); }

 private:
  TDBTreeList& tree_;
};

struct TDBTreeList::Index {
  std::unordered_map<NodeKey, TTreeListNode*, NodeKeyHash> byKey;
  std::vector<TTreeListNode*> rows;  // the node of each visible row, as of the last pass
  uint64_t generation = 0;
  TField* key = nullptr;
  TField* parent = nullptr;
  std::vector<TField*> display;
  NodeKey root;
  // Expansion and check states of the nodes dropped when the dataset closed, for its reopening.
  struct Kept {
    bool expanded = false;
    TCheckState check = TCheckState::csUnchecked;
  };
  std::unordered_map<NodeKey, Kept, NodeKeyHash> kept;

  // Brings the node's values and text in line with the row; untouched rows cost no new text.
  void ShowRow(TTreeListNode* node, const TDataSet& ds, int row, bool current, const std::string& separator) const {
    bool changed = node->values_.size() != display.size();
    if (changed) node->values_.resize(display.size());
    for (size_t j = 0; j < display.size(); ++j) {
      Variant v = current ? display[j]->Value() : ds.RowValue(row, display[j]->Index());
      Variant& shown = node->values_[j];
      if (!changed && shown.Type() == v.Type() && shown == v) continue;
      shown = std::move(v);
      changed = true;
    }
    if (changed || node->text_.empty()) node->text_ = JoinTexts(node->values_, separator);
  }
};

TDBTreeList::TDBTreeList(TComponent* owner)
    : TTreeList(owner), link_(std::make_unique<Link>(*this)), index_(std::make_unique<Index>()) {
  index_->root = MakeKey(rootValue_);
}

TDBTreeList::~TDBTreeList() {
  link_->SetDataSource(nullptr);
  index_->rows.clear();
  index_->byKey.clear();
}

TDataSource* TDBTreeList::DataSource() const { return link_->DataSource(); }
TDataSet* TDBTreeList::DataSet() const { return link_->DataSet(); }

void TDBTreeList::SetDataSource(TDataSource* source) {
  if (source == DataSource()) return;
  link_->SetDataSource(source);
  index_->kept.clear();
  Rebuild();
}

void TDBTreeList::SetKeyField(std::string name) {
  keyField_ = std::move(name);
  index_->kept.clear();
  Rebuild();
}

void TDBTreeList::SetParentField(std::string name) {
  parentField_ = std::move(name);
  Rebuild();
}

void TDBTreeList::SetRootValue(Variant value) {
  rootValue_ = std::move(value);
  index_->root = MakeKey(rootValue_);
  Rebuild();
}

void TDBTreeList::SetDisplayFields(std::string names) {
  displayFields_ = std::move(names);
  Rebuild();
}

void TDBTreeList::SetSeparator(std::string separator) {
  separator_ = std::move(separator);
  Rebuild();
}

void TDBTreeList::ResolveFields() {
  Index& ix = *index_;
  TDataSet* ds = DataSet();
  const bool open = ds && ds->Active();
  ix.key = open ? ds->FindField(keyField_) : nullptr;
  ix.parent = open ? ds->FindField(parentField_) : nullptr;
  ix.display.clear();
  if (!open) return;
  for (const std::string& name : SplitString(displayFields_, ";", true))
    if (TField* f = ds->FindField(name)) ix.display.push_back(f);
}

TField* TDBTreeList::EditFieldOf() const {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active()) return nullptr;
  if (!EditField.empty()) return ds->FindField(EditField);
  return index_->display.empty() ? nullptr : index_->display.back();
}

// --- building ----------------------------------------------------------------------------------------------

void TDBTreeList::DropAllNodes() {
  Index& ix = *index_;
  for (TTreeListNode* node : AllNodes()) {
    NodeKey k = MakeKey(node->key_);
    if (k.kind != NodeKey::kNull && node != insertNode_) ix.kept[k] = Index::Kept{node->expanded_, node->check_};
  }
  insertNode_ = nullptr;
  ix.rows.clear();
  ix.byKey.clear();
  Clear();
}

void TDBTreeList::Rebuild() {
  DropAllNodes();
  ResolveFields();
  Resync();
}

void TDBTreeList::Resync() {
  Index& ix = *index_;
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !ix.key || !ix.parent) {
    if (Count() > 0) DropAllNodes();
    return;
  }
  // Two stamps per pass: `gen` marks a node as belonging to a row, `gen + 1` as reached from the top.
  ix.generation += 2;
  const uint64_t gen = ix.generation;
  const bool inserting = ds->State() == dsInsert;
  const int n = ds->RecordCount();
  const int current = ds->State() == dsEdit ? ds->RecNo() - 1 : -1;
  const int keyIndex = ix.key->Index();
  const int parentIndex = ix.parent->Index();

  // A node left from an insert that is over: now a row (adopted below by its key) or cancelled.
  TTreeListNode* leftInsert = inserting ? nullptr : insertNode_;
  if (!inserting) insertNode_ = nullptr;

  // One pass over the rows: each finds its node by key (or gets a new one) and notes its parent's key.
  std::vector<TTreeListNode*> rows(static_cast<size_t>(n));
  std::vector<NodeKey> parentKeys(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const bool isCurrent = i == current;
    Variant key = isCurrent ? ix.key->Value() : ds->RowValue(i, keyIndex);
    NodeKey k = MakeKey(key);
    TTreeListNode* node = nullptr;
    if (k.kind != NodeKey::kNull) {
      auto found = ix.byKey.find(k);
      if (found != ix.byKey.end()) {
        if (found->second->seen_ != gen) node = found->second;
      } else if (leftInsert && MakeKey(leftInsert->key_) == k) {
        node = leftInsert;
        leftInsert = nullptr;
        ix.byKey.emplace(k, node);
      }
    }
    if (!node) {
      node = NewNode();
      if (auto kept = ix.kept.find(k); kept != ix.kept.end()) {
        node->expanded_ = kept->second.expanded;
        node->check_ = kept->second.check;
      }
      // A second row with a key already taken gets a node of its own that no child can name.
      if (k.kind != NodeKey::kNull) ix.byKey.try_emplace(std::move(k), node);
    }
    node->seen_ = gen;
    node->recordIndex_ = i;
    node->hidden_ = false;
    node->key_ = std::move(key);
    ix.ShowRow(node, *ds, i, isCurrent, separator_);
    parentKeys[static_cast<size_t>(i)] = MakeKey(isCurrent ? ix.parent->Value() : ds->RowValue(i, parentIndex));
    rows[static_cast<size_t>(i)] = node;
  }
  if (insertNode_) insertNode_->seen_ = gen;
  // The nodes of rows that are gone leave the index before any parent is looked up.
  std::vector<TTreeListNode*> gone;
  for (TTreeListNode* old : ix.rows) {
    if (old->seen_ == gen) continue;
    gone.push_back(old);
    if (auto it = ix.byKey.find(MakeKey(old->key_)); it != ix.byKey.end() && it->second == old) ix.byKey.erase(it);
  }
  if (leftInsert) gone.push_back(leftInsert);

  // Each node's parent: the node of its parent key; the top for the root value, a missing parent or
  // itself.
  TTreeListNode* top = Root();
  auto parentOf = [&](TTreeListNode* node, const NodeKey& parentKey) {
    if (parentKey == ix.root) return top;
    auto it = ix.byKey.find(parentKey);
    return it == ix.byKey.end() || it->second == node ? top : it->second;
  };
  for (int i = 0; i < n; ++i) rows[static_cast<size_t>(i)]->newParent_ = parentOf(rows[static_cast<size_t>(i)], parentKeys[static_cast<size_t>(i)]);
  if (insertNode_) insertNode_->newParent_ = parentOf(insertNode_, MakeKey(ix.parent->Value()));

  // Children that stay under the same parent keep their order; the others come last, in row order.
  auto keepStaying = [&](TTreeListNode* x) {
    auto& list = x->children_;
    std::erase_if(list, [&](TTreeListNode* c) { return c->seen_ != gen || c->newParent_ != x; });
    for (TTreeListNode* c : list) c->placed_ = gen;
  };
  keepStaying(top);
  for (TTreeListNode* node : rows) keepStaying(node);
  if (insertNode_) keepStaying(insertNode_);
  auto place = [&](TTreeListNode* node) {
    if (node->placed_ == gen) return;
    node->newParent_->children_.push_back(node);
    node->parent_ = node->newParent_;
    node->placed_ = gen;
  };
  for (TTreeListNode* node : rows) place(node);
  if (insertNode_) place(insertNode_);

  // Rows in a loop of parents are reached from no top-level node: the first of each loop goes to the top.
  std::vector<TTreeListNode*> pending;
  auto markReached = [&](TTreeListNode* from) {
    pending.assign(1, from);
    while (!pending.empty()) {
      TTreeListNode* x = pending.back();
      pending.pop_back();
      x->seen_ = gen + 1;
      pending.insert(pending.end(), x->children_.begin(), x->children_.end());
    }
  };
  for (TTreeListNode* node : top->children_) markReached(node);
  for (TTreeListNode* node : rows) {
    if (node->seen_ != gen) continue;
    Unlink(node);
    TTreeList::Link(node, nullptr);
    markReached(node);
  }
  if (insertNode_ && insertNode_->seen_ == gen) {
    Unlink(insertNode_);
    TTreeList::Link(insertNode_, nullptr);
  }

  for (TTreeListNode* old : gone) {
    NodeGoing(old);
    if (old == leftInsert) Unlink(old);
    old->children_.clear();
    FreeNode(old);
  }
  ix.rows = std::move(rows);
  if (!hiddenKey_.IsNullOrEmpty())
    if (TTreeListNode* hidden = FindNodeByKey(hiddenKey_)) hidden->SetHidden(true);
  FollowCursor();
}

void TDBTreeList::SettleInsertNode() {
  Index& ix = *index_;
  TDataSet* ds = DataSet();
  TTreeListNode* node = insertNode_;
  if (!node || !ds || ds->State() == dsInsert) return;
  insertNode_ = nullptr;
  // Posted, the row is there: one row more than the index knows, under the new key at the cursor. The
  // change that follows brings the row numbers in line; until then the node is found by its key.
  NodeKey k = MakeKey(node->key_);
  const int row = ds->RecNo() - 1;
  if (ds->Active() && ds->RecordCount() == static_cast<int>(ix.rows.size()) + 1 && k.kind != NodeKey::kNull &&
      !ix.byKey.count(k) && row >= 0 && row <= static_cast<int>(ix.rows.size()) && index_->key &&
      MakeKey(index_->key->Value()) == k) {
    node->recordIndex_ = row;
    ix.rows.insert(ix.rows.begin() + row, node);
    ix.byKey.emplace(std::move(k), node);
    FollowCursor();
    return;
  }
  // Cancelled (or posted where no row of it shows).
  NodeGoing(node);
  Unlink(node);
  node->children_.clear();
  FreeNode(node);
  FollowCursor();
}

void TDBTreeList::SyncInsertNode() {
  Index& ix = *index_;
  TDataSet* ds = DataSet();
  if (!ds || ds->State() != dsInsert || !ix.key || !ix.parent) return;
  if (!insertNode_) {
    insertNode_ = NewNode();
    insertNode_->seen_ = ix.generation;
    TTreeList::Link(insertNode_, nullptr);
  }
  insertNode_->recordIndex_ = -1;
  insertNode_->key_ = ix.key->Value();
  ix.ShowRow(insertNode_, *ds, -1, true, separator_);
  const NodeKey parentKey = MakeKey(ix.parent->Value());
  TTreeListNode* parent = Root();
  if (!(parentKey == ix.root)) {
    auto it = ix.byKey.find(parentKey);
    if (it != ix.byKey.end()) parent = it->second;
  }
  if (insertNode_->parent_ != parent) {
    Unlink(insertNode_);
    TTreeList::Link(insertNode_, parent == Root() ? nullptr : parent);
  }
  FollowCursor();
}

// --- following the dataset ---------------------------------------------------------------------------------

void TDBTreeList::DataEvent(TDataEvent event, TField* field) {
  TDataSet* ds = DataSet();
  const TDataSetState state = ds ? ds->State() : dsInactive;
  switch (event) {
    case TDataEvent::LayoutChange:
      Rebuild();
      break;
    case TDataEvent::DataSetChange:
    case TDataEvent::RecordChange:
      if (state == dsInsert)
        SyncInsertNode();
      else
        Resync();
      break;
    case TDataEvent::DataSetScroll:
      FollowCursor();
      break;
    case TDataEvent::FieldChange:
      if (state == dsInsert)
        SyncInsertNode();
      else if (state == dsEdit && field)
        UpdateEditedNode(field);
      break;
    case TDataEvent::UpdateState:
      if (state == dsInsert)
        SyncInsertNode();
      else if (insertNode_)
        SettleInsertNode();  // the insert was posted (its node stays) or cancelled (its node goes)
      if (state != dsEdit && state != dsInsert && Editing()) CloseEditorUI();  // the edit ended elsewhere
      break;
    case TDataEvent::UpdateRecord:
      // The record is about to be posted: what the user typed in the editor goes with it.
      WriteEditorText();
      break;
    default:
      break;
  }
}

void TDBTreeList::UpdateEditedNode(TField* field) {
  Index& ix = *index_;
  TDataSet* ds = DataSet();
  const int row = ds->RecNo() - 1;
  TTreeListNode* node = row >= 0 && row < static_cast<int>(ix.rows.size()) ? ix.rows[static_cast<size_t>(row)] : nullptr;
  if (!node || field == ix.key) {
    Resync();
    return;
  }
  if (field == ix.parent) {
    // Shown under its new parent at once (last); the post keeps it there.
    const NodeKey parentKey = MakeKey(field->Value());
    TTreeListNode* parent = nullptr;
    if (!(parentKey == ix.root))
      if (auto it = ix.byKey.find(parentKey); it != ix.byKey.end() && it->second != node && !it->second->HasAsParent(node))
        parent = it->second;
    if (node->Parent() != parent) {
      Unlink(node);
      TTreeList::Link(node, parent);
    }
    return;
  }
  if (std::find(ix.display.begin(), ix.display.end(), field) != ix.display.end()) {
    ix.ShowRow(node, *ds, row, true, separator_);
  }
}

void TDBTreeList::FollowCursor() {
  TDataSet* ds = DataSet();
  TTreeListNode* node = nullptr;
  if (ds && ds->Active()) {
    if (ds->State() == dsInsert) {
      node = insertNode_;
    } else if (!ds->IsEmpty() && index_->key) {
      const int row = ds->RecNo() - 1;
      const NodeKey key = MakeKey(index_->key->Value());
      const auto& rows = index_->rows;
      if (row >= 0 && row < static_cast<int>(rows.size()) && MakeKey(rows[static_cast<size_t>(row)]->key_) == key)
        node = rows[static_cast<size_t>(row)];
      else if (auto it = index_->byKey.find(key); it != index_->byKey.end())
        node = it->second;
    }
  }
  if (node && node->InHiddenBranch()) node = nullptr;
  ChangeFocus(node);
}

bool TDBTreeList::GotoNode(TTreeListNode* node) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !index_->key) return false;
  if (node == insertNode_) return ds->State() == dsInsert;
  // Already there: a pending edit of this row stays pending.
  if (ds->State() == dsEdit && ds->RecNo() - 1 == node->recordIndex_ &&
      MakeKey(index_->key->Value()) == MakeKey(node->key_))
    return true;
  // A pending edit ends first (rows may move when it posts), so the row numbers below are fresh.
  ds->CheckBrowseMode();
  const int row = node->recordIndex_;
  if (row >= 0 && row < ds->RecordCount() &&
      MakeKey(ds->RowValue(row, index_->key->Index())) == MakeKey(node->key_)) {
    if (ds->RecNo() != row + 1) ds->SetRecNo(row + 1);
    return true;
  }
  return ds->Locate(keyField_, node->key_);
}

void TDBTreeList::DoFocusChanging(TTreeListNode* node) {
  if (node && !GotoNode(node)) throw EDatabaseError("Record not found");
}

// --- changes through the tree --------------------------------------------------------------------------------

TTreeListNode* TDBTreeList::FindNodeByKey(const Variant& key) const {
  const NodeKey k = MakeKey(key);
  if (k.kind == NodeKey::kNull) return nullptr;
  auto it = index_->byKey.find(k);
  if (it != index_->byKey.end()) return it->second;
  if (insertNode_ && MakeKey(insertNode_->key_) == k) return insertNode_;
  return nullptr;
}

std::vector<Variant> TDBTreeList::BranchKeys(TTreeListNode* node) const {
  std::vector<Variant> keys;
  for (TTreeListNode* n : BranchNodes(node)) keys.push_back(n->key_);
  return keys;
}

void TDBTreeList::SetHiddenBranchKey(Variant key) {
  if (TTreeListNode* previous = FindNodeByKey(hiddenKey_)) previous->SetHidden(false);
  hiddenKey_ = std::move(key);
  if (TTreeListNode* node = FindNodeByKey(hiddenKey_)) node->SetHidden(true);
}

void TDBTreeList::DoMoveNode(TTreeListNode* node, TTreeListNode* newParent) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !index_->parent) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  const Variant parentValue = newParent ? newParent->key_ : rootValue_;
  if (node == insertNode_) {
    index_->parent->SetValue(parentValue);
    return;
  }
  if (!GotoNode(node)) throw EDatabaseError("Record not found");
  ds->Edit();
  try {
    index_->parent->SetValue(parentValue);
    ds->Post();
  } catch (...) {
    ds->Cancel();
    throw;
  }
}

void TDBTreeList::DeleteNode(TTreeListNode* node) {
  TDataSet* ds = DataSet();
  if (!node || !ds || !ds->Active() || !index_->key) return;
  if (node == insertNode_) {
    ds->Cancel();
    return;
  }
  ds->CheckBrowseMode();
  // Every node after the nodes below it (reversed tree order), each with the row it has now.
  std::vector<TTreeListNode*> branch = BranchNodes(node);
  std::vector<std::pair<int, Variant>> doomed;
  for (auto it = branch.rbegin(); it != branch.rend(); ++it) doomed.emplace_back((*it)->recordIndex_, (*it)->key_);
  const int keyIndex = index_->key->Index();
  std::vector<int> removed;  // original row numbers already deleted, ascending
  ds->DisableControls();
  try {
    for (const auto& [row, key] : doomed) {
      // Rows after a deleted one moved up by one.
      const int shift = static_cast<int>(std::lower_bound(removed.begin(), removed.end(), row) - removed.begin());
      const int at = row - shift;
      if (at >= 0 && at < ds->RecordCount() && MakeKey(ds->RowValue(at, keyIndex)) == MakeKey(key))
        ds->SetRecNo(at + 1);
      else if (!ds->Locate(keyField_, key))
        continue;
      ds->Delete();
      removed.insert(std::upper_bound(removed.begin(), removed.end(), row), row);
    }
  } catch (...) {
    ds->EnableControls();
    throw;
  }
  ds->EnableControls();
}

// --- in-place editing ----------------------------------------------------------------------------------------

std::string TDBTreeList::EditorText(TTreeListNode* node) const {
  TField* field = EditFieldOf();
  return field ? field->Text() : node->Text();
}

bool TDBTreeList::CanEditNode(TTreeListNode* node) const {
  TDataSet* ds = DataSet();
  TField* field = EditFieldOf();
  if (!ds || !field || field->ReadOnly) return false;
  return ds->State() == dsEdit || ds->State() == dsInsert || (DataSource() && DataSource()->AutoEdit);
}

bool TDBTreeList::EditorTyping(TTreeListNode* node) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active()) return false;
  if (ds->State() == dsEdit || ds->State() == dsInsert) return true;
  if (!DataSource()->AutoEdit || !GotoNode(node)) return false;
  ds->Edit();
  return true;
}

void TDBTreeList::DoPostEditor(TTreeListNode* node, const std::string& text) {
  TDataSet* ds = DataSet();
  TField* field = EditFieldOf();
  if (!ds || !field) return;
  if (node != insertNode_ && !GotoNode(node)) throw EDatabaseError("Record not found");
  if (ds->State() == dsBrowse) {
    if (!DataSource()->AutoEdit) throw EDatabaseError("Dataset not in edit or insert mode");
    ds->Edit();
  }
  field->SetText(text);
}

}  // namespace jxc
