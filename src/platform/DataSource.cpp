#include "platform/DataSource.h"

#include <algorithm>

namespace jxc {

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_) std::erase(dataSource_->links_, this);
  dataSource_ = source;
  if (dataSource_) dataSource_->links_.push_back(this);
  DataSourceChanged();
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

bool TDataLink::Active() const {
  TDataSet* ds = DataSet();
  return ds != nullptr && ds->Active();
}

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  BeginDestroy();  // from here on NotifyDataEvent tells no one
  SetDataSet(nullptr);
  std::vector<TDataLink*> links = links_;
  for (TDataLink* l : links) l->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) {
    dataSet_->DetachDataSource(this);
    dataSet_->RemoveFreeNotification(this);
  }
  dataSet_ = dataSet;
  if (dataSet_) {
    dataSet_->AttachDataSource(this);
    dataSet_->FreeNotification(this);
  }
  NotifyDataEvent(TDataEvent::LayoutChange, nullptr);
  NotifyDataEvent(TDataEvent::UpdateState, nullptr);
}

void TDataSource::NotifyDataEvent(TDataEvent event, TField* field) {
  if (Destroying()) return;
  const bool disabled = dataSet_ != nullptr && dataSet_->ControlsDisabled();
  if (event == TDataEvent::UpdateState && OnStateChange) OnStateChange(*this);
  if (!disabled && OnDataChange &&
      (event == TDataEvent::FieldChange || event == TDataEvent::RecordChange || event == TDataEvent::DataSetChange ||
       event == TDataEvent::DataSetScroll)) {
    OnDataChange(*this, event == TDataEvent::FieldChange ? field : nullptr);
  }
  // By index: a link may leave or join while the event is delivered.
  for (size_t i = 0; i < links_.size(); ++i) {
    TDataLink* l = links_[i];
    if (disabled && event != TDataEvent::UpdateState && !l->FollowsWhileDisabled()) continue;
    l->DataEvent(event, field);
  }
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == dataSet_) {
    dataSet_->DetachDataSource(this);
    dataSet_ = nullptr;
    NotifyDataEvent(TDataEvent::LayoutChange, nullptr);
  }
}

}  // namespace jxc
