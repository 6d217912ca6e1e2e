#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

// A product list: F_ID largeint, F_NAME string, F_QTY integer, F_PRICE currency, F_SELECT boolean.
void MakeProducts(TMemTable& t, std::vector<TRowValues> rows = {}) {
  t.LoadData({{"F_ID", ftLargeint}, {"F_NAME", ftString, 32}, {"F_QTY", ftInteger}, {"F_PRICE", ftCurrency},
              {"F_SELECT", ftBoolean}},
             std::move(rows));
}

std::vector<TRowValues> ThreeRows() {
  return {{1LL, "apple", 5, Currency::FromInt(3), false},
          {2LL, "Banana", 0, Currency::Parse("10.10"), true},
          {3LL, "cherry", 7, Currency::Parse("20.20"), false}};
}

std::vector<std::string> Column(TDataSet& ds, const char* field) {
  std::vector<std::string> out;
  for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.FieldByName(field).AsString());
  return out;
}

// Records every dataset event in order.
struct EventLog {
  std::vector<std::string> events;
  void Attach(TDataSet& ds) {
    auto rec = [this](const char* name) { return [this, name](TDataSet&) { events.push_back(name); }; };
    ds.BeforeInsert = rec("BeforeInsert");
    ds.AfterInsert = rec("AfterInsert");
    ds.OnNewRecord = rec("OnNewRecord");
    ds.BeforeEdit = rec("BeforeEdit");
    ds.AfterEdit = rec("AfterEdit");
    ds.BeforePost = rec("BeforePost");
    ds.AfterPost = rec("AfterPost");
    ds.BeforeCancel = rec("BeforeCancel");
    ds.AfterCancel = rec("AfterCancel");
    ds.BeforeDelete = rec("BeforeDelete");
    ds.AfterDelete = rec("AfterDelete");
    ds.BeforeScroll = rec("BeforeScroll");
    ds.AfterScroll = rec("AfterScroll");
  }
  std::string Take() {
    std::string s;
    for (const auto& e : events) s += (s.empty() ? "" : ",") + e;
    events.clear();
    return s;
  }
};

// --- fields --------------------------------------------------------------------------------------------------

TEST(DataSetFields, TypedReadsOfNullGiveZeroValuesAndNullStaysDistinct) {
  TMemTable t;
  MakeProducts(t, {{Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()},
                   {0LL, "", 0, Currency(), false}});
  TField& id = t.FieldByName("f_id");  // lookup ignores case
  EXPECT_TRUE(id.IsNull());
  EXPECT_EQ(id.AsLargeInt(), 0);
  EXPECT_EQ(t.FieldByName("F_NAME").AsString(), "");
  EXPECT_EQ(t.FieldByName("F_PRICE").AsCurrency(), Currency());
  EXPECT_FALSE(t.FieldByName("F_SELECT").AsBoolean());
  EXPECT_TRUE(t.FieldByName("F_NAME").Value().IsNull());
  t.Next();
  EXPECT_FALSE(id.IsNull());
  EXPECT_FALSE(t.FieldByName("F_NAME").IsNull());  // "" is kept apart from null
  EXPECT_EQ(t.FindField("F_MISSING"), nullptr);
  EXPECT_THROW(t.FieldByName("F_MISSING"), EDatabaseError);
}

TEST(DataSetFields, CrossTypeWritesConvertAndBadTextRaisesWithoutStoring) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  t.Edit();
  t.FieldByName("F_ID").SetAsString("9000000000123");  // identifiers arrive as text
  t.FieldByName("F_PRICE").SetValue(12.34567);           // a float rounds to four decimals
  t.FieldByName("F_QTY").SetAsString("");                // empty text into a number is null
  EXPECT_EQ(t.FieldByName("F_ID").AsLargeInt(), 9000000000123LL);
  EXPECT_EQ(t.FieldByName("F_PRICE").AsCurrency(), Currency::Parse("12.3457"));
  EXPECT_TRUE(t.FieldByName("F_QTY").IsNull());
  try {
    t.FieldByName("F_QTY").SetAsString("abc");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("F_QTY"), std::string::npos);
  }
  EXPECT_TRUE(t.FieldByName("F_QTY").IsNull());
  t.Post();
  EXPECT_EQ(t.FieldByName("F_ID").AsString(), "9000000000123");
  EXPECT_EQ(t.FieldByName("F_SELECT").AsString(), "False");
  EXPECT_EQ(t.FieldByName("F_PRICE").AsString(), "12.3457");
}

TEST(DataSetFields, WritesNeedEditStateAndRespectReadOnly) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  EXPECT_THROW(t.FieldByName("F_QTY").SetAsInteger(1), EDatabaseError);
  t.FieldByName("F_NAME").ReadOnly = true;
  t.Edit();
  EXPECT_THROW(t.FieldByName("F_NAME").SetAsString("x"), EDatabaseError);
  EXPECT_EQ(t.FieldByName("F_NAME").AsString(), "apple");
}

TEST(DataSetFields, SetTextRunsOnlyThroughTextEntryAndTheHandlerDecides) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  TField& qty = t.FieldByName("F_QTY");
  int calls = 0;
  qty.OnSetText = [&](TField& f, const std::string& text) {
    ++calls;
    if (text == "refuse") return;  // stores nothing
    f.SetAsInteger(std::stoi(text) * 10);
  };
  t.Edit();
  qty.SetAsInteger(2);  // plain assignment: no handler
  EXPECT_EQ(calls, 0);
  qty.SetText("3");
  EXPECT_EQ(qty.AsInteger(), 30);
  qty.SetText("refuse");
  EXPECT_EQ(qty.AsInteger(), 30);
  EXPECT_EQ(calls, 2);
}

TEST(DataSetFields, ValidateRunsOnEveryWriteAndRaisingRestoresUnlessItRewroteItself) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  TField& qty = t.FieldByName("F_QTY");
  TField& price = t.FieldByName("F_PRICE");
  std::vector<std::string> order;
  qty.OnValidate = [&](TField& f) {
    order.push_back("validate " + f.AsString());
    if (f.AsInteger() < 0) throw Exception("negative");
    if (f.AsInteger() == 99) {
      f.Clear();  // empties itself, then refuses: the emptying stays
      throw Exception("99 refused");
    }
    price.SetAsCurrency(Currency::FromInt(f.AsInteger()));  // may write other fields
  };
  qty.OnChange = [&](TField& f) { order.push_back("change " + f.AsString()); };
  t.Edit();
  qty.SetText("4");
  EXPECT_EQ(price.AsCurrency(), Currency::FromInt(4));
  EXPECT_THROW(qty.SetAsInteger(-1), Exception);
  EXPECT_EQ(qty.AsInteger(), 4);
  EXPECT_THROW(qty.SetAsInteger(99), Exception);
  EXPECT_TRUE(qty.IsNull());
  EXPECT_EQ(order, (std::vector<std::string>{"validate 4", "change 4", "validate -1", "validate 99", "change "}));
}

// --- cursor ----------------------------------------------------------------------------------------------------

TEST(DataSetCursor, WalksEndsAndRecordNumbers) {
  TMemTable t;
  EXPECT_TRUE(t.IsEmpty());  // closed
  MakeProducts(t, ThreeRows());
  EXPECT_TRUE(t.Bof());
  EXPECT_FALSE(t.Eof());
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(Column(t, "F_NAME"), (std::vector<std::string>{"apple", "Banana", "cherry"}));
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecNo(), 3);  // stays on the last row
  t.Prior();
  EXPECT_EQ(t.RecNo(), 2);
  EXPECT_FALSE(t.Eof());
  t.Last();
  EXPECT_TRUE(t.Eof());
  t.First();
  t.Prior();
  EXPECT_TRUE(t.Bof());
  t.SetRecNo(3);
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 3);
  t.Close();
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_EQ(t.FieldCount(), 0);
}

// --- states and events -----------------------------------------------------------------------------------------

TEST(DataSetStates, AppendPostAndCancelFollowTheToolkitsEventOrder) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  EventLog log;
  log.Attach(t);
  t.OnNewRecord = [&](TDataSet& ds) {
    log.events.push_back("OnNewRecord");
    ds.FieldByName("F_QTY").SetAsInteger(1);
  };
  t.Append();
  EXPECT_EQ(t.State(), dsInsert);
  EXPECT_EQ(log.Take(), "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll");
  EXPECT_EQ(t.FieldByName("F_QTY").AsInteger(), 1);
  t.FieldByName("F_ID").SetAsLargeInt(4);
  t.Post();
  EXPECT_EQ(log.Take(), "BeforePost,AfterPost");
  EXPECT_EQ(t.State(), dsBrowse);
  EXPECT_EQ(t.RecordCount(), 4);
  EXPECT_EQ(t.RecNo(), 4);

  t.Append();
  log.Take();
  t.Cancel();  // a cancelled insert leaves no row
  EXPECT_EQ(log.Take(), "BeforeCancel,AfterCancel,AfterScroll");
  EXPECT_EQ(t.RecordCount(), 4);
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 4);

  t.First();
  t.Edit();
  EXPECT_EQ(t.State(), dsEdit);
  t.Edit();  // nothing in edit state
  t.FieldByName("F_NAME").SetAsString("apricot");
  t.Cancel();
  EXPECT_EQ(t.FieldByName("F_NAME").AsString(), "apple");
  EXPECT_EQ(log.Take(), "BeforeScroll,AfterScroll,BeforeEdit,AfterEdit,BeforeCancel,AfterCancel");
}

TEST(DataSetStates, InsertPutsTheRowBeforeTheCurrentOne) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  t.SetRecNo(2);
  t.Insert();
  t.FieldByName("F_NAME").SetAsString("between");
  t.Post();
  EXPECT_EQ(t.RecNo(), 2);
  EXPECT_EQ(Column(t, "F_NAME"), (std::vector<std::string>{"apple", "between", "Banana", "cherry"}));
}

TEST(DataSetStates, MovingPostsAWrittenRecordAndDropsAnUntouchedOne) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  t.OnNewRecord = [](TDataSet& ds) { ds.FieldByName("F_QTY").SetAsInteger(1); };
  t.Edit();
  t.FieldByName("F_QTY").SetAsInteger(50);
  t.Next();  // posts
  EXPECT_EQ(t.State(), dsBrowse);
  t.First();
  EXPECT_EQ(t.FieldByName("F_QTY").AsInteger(), 50);
  t.Append();  // defaults from OnNewRecord only: leaving drops the row
  t.First();
  EXPECT_EQ(t.RecordCount(), 3);
  t.Append();
  t.FieldByName("F_NAME").SetAsString("typed");
  t.First();
  EXPECT_EQ(t.RecordCount(), 4);
}

TEST(DataSetStates, EditOnAnEmptyDatasetInserts) {
  TMemTable t;
  MakeProducts(t);
  t.Edit();
  EXPECT_EQ(t.State(), dsInsert);
  EXPECT_FALSE(t.IsEmpty());
}

TEST(DataSetStates, DeleteMovesToTheNextRowOrThePreviousWhenLast) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  EventLog log;
  log.Attach(t);
  t.SetRecNo(2);
  log.Take();
  t.Delete();
  EXPECT_EQ(log.Take(), "BeforeDelete,AfterDelete,AfterScroll");
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 3);
  t.Delete();
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 1);
  t.Delete();
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_THROW(t.Delete(), EDatabaseError);
}

TEST(DataSetStates, RequiredFieldIsCheckedAfterBeforePostAndErrorsGoThroughOnPostError) {
  TMemTable t;
  t.LoadData({{"F_ID", ftLargeint, 0, true}, {"F_PRODUCT_ID", ftLargeint, 0, true}}, {});
  t.BeforePost = [](TDataSet& ds) {
    if (ds.FieldByName("F_ID").IsNull()) ds.FieldByName("F_ID").SetAsLargeInt(77);  // fills a required field
  };
  std::string seen;
  t.OnPostError = [&](TDataSet&, const Exception& e, TDataAction& action) {
    seen = e.what();
    action = daAbort;
  };
  t.Append();
  t.FieldByName("F_PRODUCT_ID").Clear();
  EXPECT_THROW(t.Post(), EAbort);
  EXPECT_NE(seen.find("must"), std::string::npos);
  EXPECT_NE(seen.find("F_PRODUCT_ID"), std::string::npos);
  EXPECT_EQ(t.State(), dsInsert);  // the record is still there to correct
  t.FieldByName("F_PRODUCT_ID").SetAsLargeInt(5);
  t.Post();
  EXPECT_EQ(t.FieldByName("F_ID").AsLargeInt(), 77);
  t.OnPostError = nullptr;
  t.Append();
  t.FieldByName("F_ID").SetAsLargeInt(1);
  EXPECT_THROW(t.Post(), EDatabaseError);
}

TEST(DataSetStates, FailedLoadLeavesTheDatasetAsItWas) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  EXPECT_THROW(t.LoadData({{"F_QTY", ftInteger}}, {{1}, {"not a number"}}), EConvertError);
  EXPECT_TRUE(t.Active());
  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.FieldCount(), 5);
}

// --- data sources and controls ----------------------------------------------------------------------------------

TEST(DataSetControls, DisabledControlsStillSeeStateChangesAndGetOneChangeAtTheEnd) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  TDataSource ds;
  ds.SetDataSet(&t);
  int states = 0, changes = 0;
  ds.OnStateChange = [&](TDataSource&) { ++states; };
  ds.OnDataChange = [&](TDataSource&, TField*) { ++changes; };
  t.DisableControls();
  t.DisableControls();
  for (t.First(); !t.Eof(); t.Next()) {
    t.Edit();
    t.FieldByName("F_QTY").SetAsInteger(9);
    t.Post();
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(states, 6);  // browse -> edit -> browse per row
  t.EnableControls();
  EXPECT_EQ(changes, 0);
  t.EnableControls();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(ds.State(), dsBrowse);
}

TEST(DataSetControls, DataSourceForgetsAFreedDataset) {
  TDataSource ds;
  {
    TMemTable t;
    ds.SetDataSet(&t);
  }
  EXPECT_EQ(ds.DataSet(), nullptr);
  EXPECT_EQ(ds.State(), dsInactive);
}

// --- filter, order, search, bookmarks ---------------------------------------------------------------------------

TEST(DataSetFilter, FilterNarrowsEveryViewAndBadTextKeepsTheOldFilter) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  t.SetFilter(" F_NAME LIKE '%AN%'  OR F_ID = 3");
  EXPECT_EQ(t.RecordCount(), 3);  // not applied yet
  t.SetFiltered(true);
  EXPECT_EQ(Column(t, "F_NAME"), (std::vector<std::string>{"Banana", "cherry"}));
  EXPECT_THROW(t.SetFilter("F_NAME LIKE"), EDatabaseError);
  EXPECT_EQ(t.RecordCount(), 2);
  // Editing a row so that it no longer matches removes it from view after the post.
  t.First();
  t.Edit();
  t.FieldByName("F_NAME").SetAsString("plum");
  t.Post();
  EXPECT_EQ(t.RecordCount(), 1);
  t.SetFiltered(false);
  EXPECT_EQ(t.RecordCount(), 3);
}

TEST(DataSetFilter, RecordHandlerSeesTheRowUnderTest) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  t.SetOnFilterRecord([](TDataSet& ds, bool& accept) { accept = ds.FieldByName("F_QTY").AsInteger() > 0; });
  t.SetFiltered(true);
  EXPECT_EQ(Column(t, "F_ID"), (std::vector<std::string>{"1", "3"}));
}

TEST(DataSetOrder, IndexSortsStablyOnSeveralFieldsWithNullsFirst) {
  TMemTable t;
  MakeProducts(t, {{1LL, "b", 2, Variant::Null(), false},
                   {2LL, "A", 1, Variant::Null(), false},
                   {3LL, Variant::Null(), 1, Variant::Null(), false},
                   {4LL, "a", 1, Variant::Null(), false},
                   {5LL, "b", 1, Variant::Null(), false}});
  t.SetIndexFieldNames("F_NAME");
  EXPECT_EQ(Column(t, "F_ID"), (std::vector<std::string>{"3", "2", "4", "1", "5"}));
  t.SetIndexFieldNames("F_QTY;F_NAME");
  EXPECT_EQ(Column(t, "F_ID"), (std::vector<std::string>{"3", "2", "4", "5", "1"}));
  // A new row takes its place in the order.
  t.AppendRecord({6LL, "0", 1});
  EXPECT_EQ(t.RecNo(), 2);
  t.SortOn("F_ID", true);
  EXPECT_EQ(Column(t, "F_ID")[0], "6");
  EXPECT_THROW(t.SetIndexFieldNames("F_NOPE"), EDatabaseError);
}

// Appending to an indexed table whose order vectors are exactly full made them grow while the new row's
// place was being read, so the cursor pointed anywhere and the following edit wrote into another row.
TEST(DataSetOrder, AppendedRowOfAnIndexedTableIsTheCurrentOneWhateverItsSize) {
  for (int size = 1; size <= 20; ++size) {
    SCOPED_TRACE("rows before the append: " + std::to_string(size));
    TMemTable t;
    std::vector<TRowValues> rows;
    for (int i = 0; i < size; ++i) rows.push_back({static_cast<long long>(i + 1), "n" + std::to_string(100 + 2 * i), i});
    MakeProducts(t, rows);
    t.SetIndexFieldNames("F_NAME");
    // Between the existing names, so the new row lands inside the order, and at the end.
    for (const char* name : {"n101", "n999"}) {
      t.Append();
      t.FieldByName("F_ID").SetAsLargeInt(1000 + size);
      t.FieldByName("F_NAME").SetAsString(name);
      t.Post();
      ASSERT_GE(t.RecNo(), 1);
      ASSERT_LE(t.RecNo(), t.RecordCount());
      EXPECT_EQ(t.FieldByName("F_NAME").AsString(), name);
      t.Edit();
      t.FieldByName("F_QTY").SetAsInteger(-1);
      t.Post();
    }
    int edited = 0;
    for (t.First(); !t.Eof(); t.Next())
      if (t.FieldByName("F_QTY").AsInteger() == -1) {
        ++edited;
        EXPECT_EQ(t.FieldByName("F_ID").AsLargeInt(), 1000 + size);
      }
    EXPECT_EQ(edited, 2);
    EXPECT_EQ(t.RecordCount(), size + 2);
  }
}

TEST(DataSetSearch, LocateWithOptionsAndOnTheIndex) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  EXPECT_TRUE(t.Locate("F_NAME", "banana", loCaseInsensitive));
  EXPECT_EQ(t.RecNo(), 2);
  EXPECT_FALSE(t.Locate("F_NAME", "banana"));
  EXPECT_EQ(t.RecNo(), 2);  // stays where it was
  EXPECT_TRUE(t.Locate("F_NAME", "CH", loCaseInsensitive | loPartialKey));
  EXPECT_EQ(t.RecNo(), 3);
  EXPECT_TRUE(t.Locate("F_ID", "1"));  // text key on a number field
  EXPECT_FALSE(t.Locate("F_ID", "x"));
  EXPECT_TRUE(t.Locate("F_ID;F_QTY", Variant::Array({2LL, 0})));
  EXPECT_EQ(t.RecNo(), 2);
  t.SetIndexFieldNames("F_NAME");
  EXPECT_TRUE(t.Locate("F_NAME", "cherry"));
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 3);
  EXPECT_FALSE(t.Locate("F_NAME", "CHERRY"));
  EXPECT_TRUE(t.Locate("F_NAME", "CHERRY", loCaseInsensitive));
  EXPECT_TRUE(t.Locate("F_NAME", "ban", loCaseInsensitive | loPartialKey));
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 2);
  t.First();
  EXPECT_EQ(t.Lookup("F_ID", 3, "F_NAME").ToString(), "cherry");
  EXPECT_TRUE(t.Lookup("F_ID", 9, "F_NAME").IsNull());
  EXPECT_EQ(t.RecNo(), 1);  // lookup does not move
}

TEST(DataSetSearch, BookmarkOfADeletedRowIsNoLongerValid) {
  TMemTable t;
  MakeProducts(t, ThreeRows());
  t.SetRecNo(2);
  const TBookmark second = t.GetBookmark();
  t.Last();
  const TBookmark third = t.GetBookmark();
  t.GotoBookmark(second);
  EXPECT_EQ(t.FieldByName("F_ID").AsInteger(), 2);
  t.Delete();
  EXPECT_FALSE(t.BookmarkValid(second));
  EXPECT_TRUE(t.BookmarkValid(third));
  EXPECT_THROW(t.GotoBookmark(second), EDatabaseError);
}

TEST(MemTable, LoadFromDataSetCopiesVisibleRowsUpToALimit) {
  TMemTable source;
  MakeProducts(source, ThreeRows());
  source.SetFilter("F_ID >= 2");
  source.SetFiltered(true);
  TdxMemData copy;  // the same class under its other name
  int opened = 0;
  copy.AfterOpen = [&](TDataSet&) { ++opened; };
  copy.LoadFromDataSet(source, 1);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(copy.RecordCount(), 1);
  EXPECT_EQ(copy.FieldByName("F_PRICE").AsCurrency(), Currency::Parse("10.10"));
  EXPECT_EQ(copy.FieldByName("F_SELECT").DataType(), ftBoolean);
  copy.EmptyTable();
  EXPECT_TRUE(copy.IsEmpty());
  EXPECT_TRUE(copy.Active());
}

}  // namespace
}  // namespace jxc

namespace jxc {
namespace {

TEST(MemTable, CreateDataSetFromFieldDefsAndReshapeOnTheNextLoad) {
  TMemTable t;
  t.FieldDefs().Add("FieldName", ftString, 16);
  t.FieldDefs().Add("Operator", ftInteger);
  t.CreateDataSet();
  EXPECT_TRUE(t.Active());
  EXPECT_TRUE(t.IsEmpty());
  t.AppendRecord({"等于", 1});
  TField* first = t.FindField("FieldName");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->AsString(), "等于");
  // A differently shaped load rebuilds the fields (handlers on the old ones are gone with them).
  t.LoadData({{"F_ID", ftLargeint}}, {{5LL}});
  EXPECT_EQ(t.FieldCount(), 1);
  EXPECT_EQ(t.FindField("FieldName"), nullptr);
  EXPECT_EQ(t.FieldByName("F_ID").AsLargeInt(), 5);
}

TEST(MemTable, FailedAppendRecordLeavesNoHalfRow) {
  TMemTable t;
  t.LoadData({{"F_ID", ftLargeint}, {"F_QTY", ftInteger}}, {});
  EXPECT_THROW(t.AppendRecord({1LL, "many"}), EConvertError);
  EXPECT_EQ(t.State(), dsBrowse);
  EXPECT_TRUE(t.IsEmpty());
}

}  // namespace
}  // namespace jxc
