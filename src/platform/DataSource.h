#pragma once
// A data source joins a dataset to the controls, grid views and detail datasets that follow it.
// Followers derive from TDataLink and receive the dataset's events.

#include <functional>
#include <vector>

#include "platform/Component.h"
#include "platform/DataSet.h"

namespace jxc {

class TDataSource;

class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  // A data source with an open dataset.
  bool Active() const;

 protected:
  friend class TDataSource;
  virtual void DataEvent(TDataEvent event, TField* field) {}
  // Links that must follow the dataset even while its controls are disabled (master-detail links).
  virtual bool FollowsWhileDisabled() const { return false; }
  // The link was moved to another data source or none (also when its source is freed, which sends no
  // event): a follower forgets what it kept of the old dataset here.
  virtual void DataSourceChanged() {}

 private:
  TDataSource* dataSource_ = nullptr;
};

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* owner = nullptr);
  ~TDataSource() override;
  std::string ClassName() const override { return "TDataSource"; }

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  TDataSetState State() const { return dataSet_ ? dataSet_->State() : dsInactive; }
  // Off: data-aware controls must not put the dataset into edit by themselves.
  bool AutoEdit = true;
  bool Enabled = true;

  std::function<void(TDataSource&)> OnStateChange;
  std::function<void(TDataSource&, TField* field)> OnDataChange;  // field null: the whole record

  // Called by the dataset; forwards to the links. While the dataset's controls are disabled only state
  // changes (OnStateChange) and links that follow while disabled are told. A source being freed tells
  // no one: its handlers belong to an owner that may already be gone.
  void NotifyDataEvent(TDataEvent event, TField* field);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TDataLink;
  TDataSet* dataSet_ = nullptr;
  std::vector<TDataLink*> links_;
};

}  // namespace jxc
