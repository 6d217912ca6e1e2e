#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

void MakeDetail(TClientDataSet& d) {
  d.LoadData({{"F_ID", ftLargeint}, {"F_MID", ftLargeint}, {"F_MODE_NO", ftString, 30}, {"F_PRICE", ftCurrency}},
             {{1LL, 100LL, "A1", Currency::FromInt(10)},
              {2LL, 100LL, "A2", Currency::FromInt(20)},
              {3LL, 200LL, "B1", Currency::FromInt(30)}});
}

std::vector<int64_t> Ids(TDataSet& ds) {
  std::vector<int64_t> out;
  for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.FieldByName("F_ID").AsLargeInt());
  return out;
}

// --- change log ------------------------------------------------------------------------------------------------

TEST(ChangeLog, CountsInsertsEditsAndDeletesOncePerRow) {
  TClientDataSet d;
  MakeDetail(d);
  EXPECT_EQ(d.GetChangeCount(), 0);
  EXPECT_EQ(d.UpdateStatus(), usUnmodified);

  d.Edit();
  d.FieldByName("F_PRICE").SetAsCurrency(Currency::FromInt(11));
  d.Post();
  d.Edit();
  d.FieldByName("F_PRICE").SetAsCurrency(Currency::FromInt(12));
  d.Post();
  EXPECT_EQ(d.ChangeCount(), 1);  // edited twice, counted once
  EXPECT_EQ(d.UpdateStatus(), usModified);

  d.Append();
  EXPECT_EQ(d.UpdateStatus(), usInserted);
  d.FieldByName("F_ID").SetAsLargeInt(4);
  d.Post();
  EXPECT_EQ(d.ChangeCount(), 2);
  EXPECT_EQ(d.UpdateStatus(), usInserted);
  d.Delete();  // inserted then deleted: nothing left to write
  EXPECT_EQ(d.ChangeCount(), 1);

  d.Append();
  d.FieldByName("F_ID").SetAsLargeInt(5);
  d.Cancel();  // a cancelled insert is no change
  EXPECT_EQ(d.ChangeCount(), 1);

  d.Locate("F_ID", 3);
  d.Delete();
  EXPECT_EQ(d.ChangeCount(), 2);

  d.MergeChangeLog();
  EXPECT_EQ(d.ChangeCount(), 0);
  d.First();
  EXPECT_EQ(d.UpdateStatus(), usUnmodified);
  EXPECT_EQ(Ids(d), (std::vector<int64_t>{1, 2}));
}

TEST(ChangeLog, DeltaCarriesOriginalValuesInTheOrderRowsWereFirstChanged) {
  TClientDataSet d;
  MakeDetail(d);
  d.Locate("F_ID", 2);
  d.Edit();
  d.FieldByName("F_PRICE").SetAsCurrency(Currency::FromInt(25));
  d.Post();
  d.AppendRecord({9LL, 100LL, "N1", Currency::FromInt(5)});
  d.Locate("F_ID", 1);
  d.Edit();
  d.FieldByName("F_MODE_NO").SetAsString("A1X");
  d.Post();
  d.Delete();  // modified, then deleted: the original values go to the delete

  const std::vector<TDeltaRecord> delta = d.GetDelta();
  ASSERT_EQ(delta.size(), 3u);
  EXPECT_EQ(delta[0].Status, usModified);
  EXPECT_EQ(delta[0].OldValues[3].AsCurrency(), Currency::FromInt(20));
  EXPECT_EQ(delta[0].NewValues[3].AsCurrency(), Currency::FromInt(25));
  EXPECT_EQ(delta[1].Status, usInserted);
  EXPECT_TRUE(delta[1].OldValues.empty());
  EXPECT_EQ(delta[1].NewValues[2].ToString(), "N1");
  EXPECT_EQ(delta[2].Status, usDeleted);
  EXPECT_EQ(delta[2].OldValues[2].ToString(), "A1");
  EXPECT_TRUE(delta[2].NewValues.empty());
}

TEST(ChangeLog, CancelUpdatesRestoresTheStateOfTheLastMerge) {
  TClientDataSet d;
  MakeDetail(d);
  d.Edit();
  d.FieldByName("F_PRICE").SetAsCurrency(Currency::FromInt(99));
  d.Post();
  d.MergeChangeLog();  // the 99 counts as saved
  d.Edit();
  d.FieldByName("F_PRICE").SetAsCurrency(Currency::FromInt(1));
  d.Post();
  d.Locate("F_ID", 2);
  d.Delete();
  d.AppendRecord({7LL, 100LL, "NEW", Currency()});
  d.Edit();
  d.FieldByName("F_MODE_NO").SetAsString("PENDING");  // a pending edit is dropped too

  d.CancelUpdates();
  EXPECT_EQ(d.State(), dsBrowse);
  EXPECT_EQ(d.ChangeCount(), 0);
  EXPECT_EQ(Ids(d), (std::vector<int64_t>{1, 2, 3}));  // the deleted row is back in its place
  d.First();
  EXPECT_EQ(d.FieldByName("F_PRICE").AsCurrency(), Currency::FromInt(99));
}

TEST(ChangeLog, OffWhileLogChangesIsFalseAndCleanAfterEveryLoad) {
  TClientDataSet d;
  MakeDetail(d);
  d.LogChanges = false;
  d.AppendRecord({8LL});
  EXPECT_EQ(d.ChangeCount(), 0);
  d.LogChanges = true;
  d.AppendRecord({9LL});
  EXPECT_EQ(d.ChangeCount(), 1);
  MakeDetail(d);
  EXPECT_EQ(d.ChangeCount(), 0);
}

TEST(ChangeLog, ReplaceCurrentRecordWritesWithoutALogEntry) {
  TClientDataSet d;
  MakeDetail(d);
  d.Locate("F_ID", 3);
  d.ReplaceCurrentRecord({3LL, 200LL, "B1-reread", Currency::FromInt(31)});
  EXPECT_EQ(d.ChangeCount(), 0);
  EXPECT_EQ(d.FieldByName("F_MODE_NO").AsString(), "B1-reread");
}

// --- data packet ---------------------------------------------------------------------------------------------------

TEST(DataPacket, CopiesStructureAndRowsAndRestoresASavedState) {
  TClientDataSet a;
  MakeDetail(a);
  a.SetFilter("F_MID = 200");
  a.SetFiltered(true);
  const TDataPacket saved = a.Data();  // every stored row, whatever the filter
  ASSERT_EQ(saved.Rows.size(), 3u);

  TClientDataSet b;
  b.SetData(saved);
  EXPECT_EQ(b.RecordCount(), 3);
  EXPECT_EQ(b.FieldByName("F_PRICE").DataType(), ftCurrency);
  EXPECT_EQ(b.ChangeCount(), 0);

  b.First();
  b.Delete();
  b.SetData(saved);
  EXPECT_EQ(Ids(b), (std::vector<int64_t>{1, 2, 3}));
}

// --- master-detail -----------------------------------------------------------------------------------------------

struct Bill {
  TClientDataSet header;
  TDataSource dsMain;
  TClientDataSet detail;
  Bill() {
    header.LoadData({{"F_ID", ftLargeint}, {"F_CODE", ftString, 20}}, {{100LL, "B-100"}, {200LL, "B-200"}});
    MakeDetail(detail);
    dsMain.SetDataSet(&header);
    detail.SetIndexFieldNames("F_MID");
    detail.SetMasterFields("F_ID");
    detail.SetMasterSource(&dsMain);
  }
};

TEST(MasterDetail, DetailShowsTheRowsOfTheCurrentMasterAndFollowsItsMoves) {
  Bill bill;
  EXPECT_EQ(Ids(bill.detail), (std::vector<int64_t>{1, 2}));
  bill.header.Next();
  EXPECT_EQ(Ids(bill.detail), (std::vector<int64_t>{3}));
  // Also while the master's controls are disabled (batch walks).
  bill.header.DisableControls();
  bill.header.First();
  EXPECT_EQ(bill.detail.RecordCount(), 2);
  bill.header.EnableControls();
  // Range and filter combine.
  bill.detail.SetFilter("F_MODE_NO = 'A2'");
  bill.detail.SetFiltered(true);
  EXPECT_EQ(Ids(bill.detail), (std::vector<int64_t>{2}));
}

TEST(MasterDetail, AppendedDetailRowGetsTheMasterKeyAlsoForANewMasterRow) {
  Bill bill;
  int64_t seenInNewRecord = -1;
  bill.detail.OnNewRecord = [&](TDataSet& ds) { seenInNewRecord = ds.FieldByName("F_MID").AsLargeInt(); };
  bill.detail.Append();
  EXPECT_EQ(seenInNewRecord, 100);
  bill.detail.FieldByName("F_ID").SetAsLargeInt(4);
  bill.detail.Post();
  EXPECT_EQ(Ids(bill.detail), (std::vector<int64_t>{1, 2, 4}));

  // A new bill: the header is appended and gets its identifier; the detail follows it at once.
  bill.header.OnNewRecord = [](TDataSet& ds) { ds.FieldByName("F_ID").SetAsLargeInt(300); };
  bill.header.Append();
  EXPECT_TRUE(bill.detail.IsEmpty());
  bill.detail.Append();
  bill.detail.FieldByName("F_ID").SetAsLargeInt(5);
  bill.detail.Post();
  EXPECT_EQ(bill.detail.FieldByName("F_MID").AsLargeInt(), 300);
  EXPECT_EQ(bill.detail.RecordCount(), 1);
  EXPECT_EQ(bill.detail.ChangeCount(), 2);  // the change log covers rows outside the range too
}

TEST(MasterDetail, FreeingTheMasterSourceUnlinksTheDetail) {
  TClientDataSet detail;
  MakeDetail(detail);
  {
    TClientDataSet header;
    header.LoadData({{"F_ID", ftLargeint}}, {{200LL}});
    TDataSource src;
    src.SetDataSet(&header);
    detail.SetIndexFieldNames("F_MID");
    detail.SetMasterFields("F_ID");
    detail.SetMasterSource(&src);
    EXPECT_EQ(detail.RecordCount(), 1);
  }
  EXPECT_EQ(detail.MasterSource(), nullptr);
  detail.Refilter();
  EXPECT_EQ(detail.RecordCount(), 3);
}

}  // namespace
}  // namespace jxc
