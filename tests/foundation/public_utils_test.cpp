// The shared utilities: identity cards, pinyin initials, time-ordered identifiers, the current user,
// the rights text, record copying and the workstation identity.

#include <gtest/gtest.h>

#include <string>

#include "foundation/PinYinTable.h"
#include "foundation/UnitPublicUtils.h"
#include "foundation/UnitSysParams.h"
#include "platform/DataSet.h"
#include "platform/DateTime.h"
#include "platform/Field.h"
#include "platform/RtcRecord.h"

namespace jxc {
namespace {

// The check character that completes 17 digits (weights 7 9 10 5 8 4 2 1 6 3 7 9 10 5 8 4 2).
std::string WithCheck(const std::string& first17) {
  static constexpr int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (first17[static_cast<size_t>(i)] - '0') * kWeights[i];
  for (int v = 0; v <= 10; ++v) {
    if ((sum + v) % 11 == 1) return first17 + (v == 10 ? "X" : std::to_string(v));
  }
  return first17;
}

class IdentityCardTest : public ::testing::Test {
 protected:
  VirtualClock clock_{EncodeDateTime(2025, 1, 1, 9, 0, 0, 0)};
  ScopedClock scoped_{clock_};
};

TEST_F(IdentityCardTest, ValidNumbersGiveRegionBirthdayAndSex) {
  // Weighted sum + 10 is 1 modulo 11, so the last character is X, in either case.
  for (const char* number : {"11010519901231102X", "11010519901231102x"}) {
    TIdentityParam p = ValidateIDCard(number);
    EXPECT_TRUE(p.Validated) << number << ": " << p.Tooltip;
    EXPECT_EQ(p.Tooltip, "");
    EXPECT_EQ(p.RegionCode, "110105");
    EXPECT_EQ(p.Birthday, EncodeDate(1990, 12, 31));
    EXPECT_EQ(p.SexType, stFemale);  // the 17th digit is even
  }
  TIdentityParam male = ValidateIDCard("440301199003071230");
  EXPECT_TRUE(male.Validated) << male.Tooltip;
  EXPECT_EQ(male.SexType, stMale);  // the 17th digit, 3, is odd
}

TEST_F(IdentityCardTest, LengthAndCharacterFailures) {
  TIdentityParam old = ValidateIDCard("110105490101001");
  EXPECT_FALSE(old.Validated);
  EXPECT_EQ(old.Tooltip, "请输入18位身份证号码！");
  EXPECT_EQ(ValidateIDCard("").Tooltip, "请输入18位身份证号码！");
  EXPECT_EQ(ValidateIDCard("11010519491231002XX").Tooltip, "请输入18位身份证号码！");

  // A letter at position 8 is named even though later positions are wrong too.
  TIdentityParam letter = ValidateIDCard("1101051A4912310A2X");
  EXPECT_FALSE(letter.Validated);
  EXPECT_EQ(letter.Tooltip, "第8位字符验证不通过，请输入正确的身份证号码！");
  // An earlier wrong position is reported first.
  EXPECT_EQ(ValidateIDCard("11-1051A491231002X").Tooltip, "第3位字符验证不通过，请输入正确的身份证号码！");
  // A Chinese character counts as one position.
  EXPECT_EQ(ValidateIDCard("1101中519491231002X").Tooltip, "第5位字符验证不通过，请输入正确的身份证号码！");
  EXPECT_EQ(ValidateIDCard("中").Tooltip, "请输入18位身份证号码！");
}

TEST_F(IdentityCardTest, BirthDateTests) {
  TIdentityParam feb30 = ValidateIDCard(WithCheck("11010519900230001"));
  EXPECT_FALSE(feb30.Validated);
  EXPECT_EQ(feb30.Tooltip, "出生日期验证不通过，日期无效，请输入正确的身份证号码！");
  EXPECT_EQ(feb30.RegionCode, "110105");  // filled before the date tests

  TIdentityParam tomorrow = ValidateIDCard(WithCheck("11010520250102001"));
  EXPECT_EQ(tomorrow.Tooltip, "出生日期验证不通过，年龄为负，请输入正确的身份证号码！");
  EXPECT_TRUE(ValidateIDCard(WithCheck("11010520250101001")).Validated);  // born today

  // Today is 2025-01-01: someone born 1964-01-02 is 60, born 1964-01-01 is 61.
  EXPECT_TRUE(ValidateIDCard(WithCheck("11010519640102001")).Validated);
  TIdentityParam old = ValidateIDCard(WithCheck("11010519640101001"));
  EXPECT_FALSE(old.Validated);
  EXPECT_EQ(old.Tooltip, "出生日期验证不通过，年龄超限，请输入正确的身份证号码！");
}

TEST_F(IdentityCardTest, CheckCharacter) {
  EXPECT_EQ(ValidateIDCard("110105199012311021").Tooltip, "末尾验证码验证不通过，请输入正确的身份证号码！");
  EXPECT_EQ(ValidateIDCard("11010519901231102Y").Tooltip, "末尾验证码验证不通过，请输入正确的身份证号码！");
  // Wrong check character: the birthday is filled, the sex not.
  TIdentityParam p = ValidateIDCard("110105199012310020");
  EXPECT_FALSE(p.Validated);
  EXPECT_EQ(p.Birthday, EncodeDate(1990, 12, 31));
  EXPECT_EQ(p.SexType, stNone);
  EXPECT_TRUE(ValidateIDCard("110105199012310027").Validated);
  TIdentityParam male = ValidateIDCard(WithCheck("11010519800101001"));
  EXPECT_TRUE(male.Validated);
  EXPECT_EQ(male.SexType, stMale);
}

// --- pinyin ---------------------------------------------------------------------------------------------

TEST(PinYinTest, TableCoversTheBlock) {
  EXPECT_EQ(kPinYinCount, 20902u);
  for (size_t i = 0; i < kPinYinCount; ++i) {
    char c = PinYin_U[i];
    ASSERT_TRUE(c == '*' || (c >= 'A' && c <= 'Z' && c != 'I' && c != 'V')) << "entry " << i << ": " << int(c);
  }
  EXPECT_EQ(PinYin_U[kPinYinCount], '\0');
  EXPECT_EQ(TPYHelper::GetShort("一中国手机李王乐着"), "YZGSJLWLZ");
  EXPECT_EQ(TPYHelper::GetShort("\xE4\xB8\x80"), "Y");  // U+4E00, the first entry
  EXPECT_EQ(TPYHelper::GetShort("\xE9\xBE\xA5").size(), 1u);  // U+9FA5, the last entry
}

TEST(PinYinTest, BracketsAndOtherText) {
  EXPECT_EQ(TPYHelper::GetShort("手机(红)", false), "SJ(H)");
  EXPECT_EQ(TPYHelper::GetShort("手机(红)", true), "SJH");
  EXPECT_EQ(TPYHelper::GetFull("手机(红)"), "SJ(H)");
  EXPECT_EQ(TPYHelper::GetShort(""), "");
  EXPECT_EQ(TPYHelper::GetShort("abc"), "abc");
  EXPECT_EQ(TPYHelper::GetShort("iPhone 15 (128G)", true), "iPhone 15 128G");
  // Full-width brackets are not ASCII brackets and stay.
  EXPECT_EQ(TPYHelper::GetShort("手机（红）", true), "SJ（H）");
  // Outside the block: U+9FA6, a Hangul syllable and a character beyond the basic plane are copied.
  EXPECT_EQ(TPYHelper::GetShort("\xE9\xBE\xA6"), "\xE9\xBE\xA6");
  EXPECT_EQ(TPYHelper::GetShort("가王"), "가W");
  EXPECT_EQ(TPYHelper::GetShort("𠀀中"), "𠀀Z");
  // A malformed sequence is copied byte for byte and does not swallow what follows.
  EXPECT_EQ(TPYHelper::GetShort(std::string("\xE4\xB8") + "a"), std::string("\xE4\xB8") + "a");
}

// --- time-ordered identifiers ---------------------------------------------------------------------------

std::string LastGroup(const std::string& id) { return id.substr(25, 12); }

TEST(CombGuidTest, WorkedExampleAndTextForm) {
  VirtualClock clock(EncodeDateTime(2016, 3, 7, 12, 0, 0, 0));
  ScopedClock scoped(clock);
  std::string id = GetSeqUniqueID();
  ASSERT_EQ(id.size(), 38u);
  EXPECT_EQ(id.front(), '{');
  EXPECT_EQ(id.back(), '}');
  EXPECT_EQ(id[9], '-');
  EXPECT_EQ(id[14], '-');
  EXPECT_EQ(id[15], '4');  // version 4
  EXPECT_EQ(LastGroup(id), "A5C21DCD6500");
  EXPECT_EQ(GuidToString(GuidFromString(id)), id);
  EXPECT_EQ(clock.TickCount(), 1u);  // a millisecond passed
  EXPECT_THROW(GuidFromString("{not-a-guid}"), Exception);
}

TEST(CombGuidTest, SuccessiveIdentifiersSortByCreation) {
  VirtualClock clock(EncodeDateTime(2024, 6, 30, 23, 59, 59, 995));
  ScopedClock scoped(clock);
  std::string previous = GetSeqUniqueID();
  for (int i = 0; i < 20; ++i) {  // crosses midnight
    std::string next = GetSeqUniqueID();
    EXPECT_LT(LastGroup(previous), LastGroup(next)) << previous << " " << next;
    previous = next;
  }
}

TEST(CombGuidTest, CreationTimeRoundTrips) {
  VirtualClock clock(EncodeDateTime(2026, 12, 7, 8, 15, 42, 123));
  ScopedClock scoped(clock);
  TDateTime made = Now();
  TGuidBytes guid = NewSeqUniqueGuid();
  double tick = 1.0 / 1e9;
  EXPECT_NEAR((GetDateTimeFromCombGuid(guid) - made), 0.0, tick);
}

TEST(CombGuidTest, SystemClockRoundTrip) {
  TDateTime before = Now();
  TGuidBytes guid = GuidFromString(GetSeqUniqueID());
  TDateTime after = Now();
  TDateTime stored = GetDateTimeFromCombGuid(guid);
  EXPECT_GE(stored - before, -1e-9);
  EXPECT_LE(stored - after, 1e-9);
}

TEST(CombGuidTest, DayCountWrapsAfter2079_06_06) {
  VirtualClock clock(EncodeDateTime(2079, 6, 6, 0, 0, 0, 0));
  ScopedClock scoped(clock);
  TGuidBytes last = NewSeqUniqueGuid();
  EXPECT_EQ(last[10], 0xFF);
  EXPECT_EQ(last[11], 0xFF);
  clock.SetNow(EncodeDateTime(2079, 6, 7, 0, 0, 0, 0));
  TGuidBytes wrapped = NewSeqUniqueGuid();
  EXPECT_EQ(wrapped[10], 0);
  EXPECT_EQ(wrapped[11], 0);
  EXPECT_EQ(GetDateTimeFromCombGuid(wrapped), EncodeDate(1900, 1, 1));
}

// --- globals and the current user ---------------------------------------------------------------------

TEST(UserInfoTest, FallbacksWhenNothingIsStored) {
  InitializePublicUtils();
  ASSERT_NE(UserInfo, nullptr);
  EXPECT_EQ(SysParams, nullptr);
  EXPECT_EQ(CombBaseDate, EncodeDate(1900, 1, 1));
  EXPECT_EQ(UserInfo->UserGroupID(), "0");
  UserInfo->SetDefaultShopID("5");
  EXPECT_EQ(UserInfo->ShopList(), " AND F_SHOP_ID = 5");
  EXPECT_EQ(UserInfo->CurrentShopID(), "5");
  EXPECT_EQ(UserInfo->ShopListEx(), "5");
  UserInfo->SetUserGroupID("3");
  UserInfo->SetShopList(" AND F_SHOP_ID IN (5,6)");
  UserInfo->SetCurrentShopID("6");
  UserInfo->SetShopListEx("5,6");
  EXPECT_EQ(UserInfo->UserGroupID(), "3");
  EXPECT_EQ(UserInfo->ShopList(), " AND F_SHOP_ID IN (5,6)");
  EXPECT_EQ(UserInfo->CurrentShopID(), "6");
  EXPECT_EQ(UserInfo->ShopListEx(), "5,6");

  SysConfig.ShopID = "5";
  SysParams = std::make_shared<TRtcRecord>();
  FinalizePublicUtils();
  EXPECT_EQ(UserInfo, nullptr);
  EXPECT_EQ(SysParams, nullptr);
  EXPECT_EQ(SysConfig.ShopID, "");
  InitializePublicUtils();
  EXPECT_EQ(UserInfo->DefaultShopID(), "");
}

TEST(SysParamsTest, TypedReadsWithAndWithoutARecord) {
  SysParams.reset();
  EXPECT_FALSE(SysParamBoolean(kSpTipAfterSave));
  EXPECT_EQ(SysParamLargeInt(kSpBillDays), 0);
  SysParams = std::make_shared<TRtcRecord>(TRtcRecord::FromJSON(R"({"开单天数": 7, "保存后提示": true, "填写备注": false})"));
  EXPECT_EQ(SysParamLargeInt(kSpBillDays), 7);
  EXPECT_TRUE(SysParamBoolean(kSpTipAfterSave));
  EXPECT_FALSE(SysParamBoolean(kSpRequireRemark));
  EXPECT_FALSE(SysParamBoolean(kSpSearchShowsCode));  // absent
  SysParams.reset();
}

TEST(BillTypeTest, OrdinalsAndNames) {
  EXPECT_EQ(kBillTypeCount, 48);
  EXPECT_EQ(btls, 7);
  EXPECT_EQ(btnSettlementYF, 28);
  EXPECT_EQ(btnRepairIn, 41);
  EXPECT_EQ(btInvoice, 47);
  EXPECT_STREQ(BillTypeName(7), "btls");
  EXPECT_STREQ(BillTypeName(28), "btnSettlementYF");
  EXPECT_STREQ(BillTypeName(46), "btModeNOSale");
  EXPECT_STREQ(BillTypeName(48), "");
  EXPECT_STREQ(BillTypeName(-1), "");
}

TEST(ParseRightsTest, PositionsAreClamped) {
  EXPECT_TRUE(ParseRights("1000", 0));   // reads position 1
  EXPECT_TRUE(ParseRights("1000", -5));
  EXPECT_FALSE(ParseRights("0100", 1));
  EXPECT_TRUE(ParseRights("0100", 2));
  EXPECT_FALSE(ParseRights("0100", 9));  // past the end
  EXPECT_FALSE(ParseRights("", 1));
  EXPECT_TRUE(ParseRights("0000000000000001", 40));  // reads position 16
  EXPECT_FALSE(ParseRights("00000000000000001", 17));  // position 17 is never read
}

// --- record copying -------------------------------------------------------------------------------------

TEST(RecordCopyTest, CopyRecordAcrossDifferingTypes) {
  TClientDataSet source, destination;
  source.FieldDefs().Add("F_ID", ftLargeint);
  source.FieldDefs().Add("F_QTY", ftString, 10);
  source.FieldDefs().Add("F_PRICE", ftCurrency);
  source.FieldDefs().Add("F_NAME", ftString, 20);
  source.FieldDefs().Add("F_ONLY_SOURCE", ftInteger);
  source.FieldDefs().Add("F_LOCKED", ftInteger);
  source.FieldDefs().Add("F_NULL", ftInteger);
  source.CreateDataSet();
  source.Append();
  source.FieldByName("F_ID").SetAsLargeInt(9007199254740993LL);  // not exact as a double
  source.FieldByName("F_QTY").SetAsString("12");
  source.FieldByName("F_PRICE").SetAsString("19.9900");
  source.FieldByName("F_NAME").SetAsString("手机");
  source.FieldByName("F_ONLY_SOURCE").SetAsInteger(1);
  source.FieldByName("F_LOCKED").SetAsInteger(2);
  source.Post();

  destination.FieldDefs().Add("F_ID", ftLargeint);
  destination.FieldDefs().Add("F_QTY", ftInteger);      // string -> integer through the text
  destination.FieldDefs().Add("F_PRICE", ftString, 20);  // currency -> string through the text
  destination.FieldDefs().Add("F_NAME", ftString, 20);
  destination.FieldDefs().Add("F_LOCKED", ftInteger);
  destination.FieldDefs().Add("F_NULL", ftInteger);
  destination.CreateDataSet();
  destination.AppendRecord({Variant(), Variant(), Variant(), Variant(), Variant(int32_t(7)), Variant(int32_t(8))});
  destination.FieldByName("F_LOCKED").ReadOnly = true;

  CopyRecord(source, destination);
  EXPECT_EQ(destination.State(), dsEdit);  // not posted
  EXPECT_EQ(destination.FieldByName("F_ID").AsLargeInt(), 9007199254740993LL);
  EXPECT_EQ(destination.FieldByName("F_QTY").AsInteger(), 12);
  EXPECT_EQ(Currency::Parse(destination.FieldByName("F_PRICE").AsString()), Currency::Parse("19.99"));
  EXPECT_EQ(destination.FieldByName("F_NAME").AsString(), "手机");
  EXPECT_EQ(destination.FieldByName("F_LOCKED").AsInteger(), 7);  // read-only: skipped
  EXPECT_TRUE(destination.FieldByName("F_NULL").IsNull());        // a null source clears
  destination.Post();

  // A value the destination rejects propagates, leaving the destination in edit state.
  source.Edit();
  source.FieldByName("F_QTY").SetAsString("twelve");
  source.Post();
  EXPECT_ANY_THROW(CopyRecord(source, destination));
  EXPECT_EQ(destination.State(), dsEdit);
  destination.Cancel();
}

TEST(RecordCopyTest, CopyFieldAddsDefinitionsOnly) {
  TClientDataSet source, destination;
  source.FieldDefs().Add("F_ID", ftLargeint, 0, true);
  source.FieldDefs().Add("F_NAME", ftString, 40);
  source.CreateDataSet();
  destination.FieldDefs().Add("F_NAME", ftString, 10);
  CopyField(source, destination);
  ASSERT_EQ(destination.FieldDefs().Count(), 2);
  EXPECT_EQ(destination.FieldDefs()[1].Name, "F_ID");
  EXPECT_EQ(destination.FieldDefs()[1].DataType, ftLargeint);
  EXPECT_FALSE(destination.FieldDefs()[1].Required);
  EXPECT_EQ(destination.FieldDefs()[0].Size, 10);  // left alone
  EXPECT_FALSE(destination.Active());
}

TEST(RecordCopyTest, AppendCurrentRecordWithAndWithoutFilter) {
  TClientDataSet data;
  data.FieldDefs().Add("F_ID", ftLargeint);
  data.FieldDefs().Add("F_NAME", ftString, 20);
  data.FieldDefs().Add("F_QTY", ftInteger);
  data.CreateDataSet();
  int64_t nextId = 100;
  data.OnNewRecord = [&](TDataSet& ds) { ds.FieldByName("F_ID").SetAsLargeInt(nextId++); };
  data.Append();
  data.FieldByName("F_NAME").SetAsString("红");
  data.FieldByName("F_QTY").SetAsInteger(3);
  data.Post();

  AppendCurrentRecord(data);
  EXPECT_EQ(data.State(), dsInsert);
  EXPECT_EQ(data.FieldByName("F_ID").AsLargeInt(), 100);  // everything copied
  EXPECT_EQ(data.FieldByName("F_NAME").AsString(), "红");
  data.Cancel();

  AppendCurrentRecord(data, [](const std::string& name) { return name != "F_ID"; });
  EXPECT_EQ(data.State(), dsInsert);
  EXPECT_EQ(data.FieldByName("F_ID").AsLargeInt(), 102);  // kept from the new-record handling
  EXPECT_EQ(data.FieldByName("F_QTY").AsInteger(), 3);
  data.Post();
  EXPECT_EQ(data.RecordCount(), 2);
}

// --- workstation identity ------------------------------------------------------------------------------

class FixedIdentity : public IWorkstationIdentity {
 public:
  std::vector<TAdapterAddress> adapters;
  std::vector<TAdapterAddress> AdapterAddresses() const override { return adapters; }
  TCpuIdLeaf1 CpuIdLeaf1() const override { return {0x000906EA, 0xBFEBFBFF, 0x7FFAFBBF}; }
};

TEST(WorkstationTest, AddressesAndProcessor) {
  FixedIdentity fixed;
  ScopedWorkstationIdentity scoped(fixed);
  EXPECT_EQ(GetMACAddress(), "mac not found");
  EXPECT_EQ(GetNetBIOSAddress(), "");
  fixed.adapters = {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {1, 2, 3, 4, 5, 6}};
  EXPECT_EQ(GetMACAddress(), "00-1A-2B-3C-4D-5E");
  EXPECT_EQ(GetNetBIOSAddress(), "00-1A-2B-3C-4D-5E");
  EXPECT_EQ(GetCPUID(), "000906EABFEBFBFF7FFAFBBF");
}

TEST(WorkstationTest, TheMachineItself) {
  std::string mac = GetMACAddress();
  EXPECT_TRUE(mac == "mac not found" || mac.size() == 17) << mac;
  std::string cpu = GetCPUID();
  EXPECT_EQ(cpu.size(), 24u);
  EXPECT_EQ(cpu, GetCPUID());  // stable
  for (char c : cpu) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << cpu;
}

}  // namespace
}  // namespace jxc
