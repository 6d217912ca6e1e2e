#pragma once
// What every unit of the package shares: the logged-in user (UserInfo), the workstation's shop and stock
// location (SysConfig), the system parameters (SysParams), the bill types, the records a screen is set up
// with (TFormParams and its parts), and free helpers: identity-card validation, pinyin initials,
// time-ordered identifiers, record copying, the rights-text test and the workstation identity.
// Nothing here shows a screen or reaches a database.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/RtcRecord.h"
#include "platform/Variant.h"

namespace jxc {

class TDataSet;

// --- the current user --------------------------------------------------------------------------------

// The logged-in user. The host fills it after login; the package only reads it, except that the shop
// choice rewrites ShopListEx. Several properties fall back to another when nothing is stored (see each).
class TUserInfo {
 public:
  const std::string& ID() const { return FID; }
  void SetID(std::string value) { FID = std::move(value); }
  const std::string& Code() const { return FCode; }
  void SetCode(std::string value) { FCode = std::move(value); }
  const std::string& Name() const { return FName; }
  void SetName(std::string value) { FName = std::move(value); }
  const std::string& Company() const { return FCompany; }
  void SetCompany(std::string value) { FCompany = std::move(value); }
  const std::string& ShopName() const { return FShopName; }
  void SetShopName(std::string value) { FShopName = std::move(value); }
  const std::string& DefaultShopID() const { return FDefaultShopID; }
  void SetDefaultShopID(std::string value) { FDefaultShopID = std::move(value); }
  const std::string& Employee() const { return FEmployee; }
  void SetEmployee(std::string value) { FEmployee = std::move(value); }
  int64_t EmployeeID() const { return FEmployeeID; }
  void SetEmployeeID(int64_t value) { FEmployeeID = value; }

  // The stored group; "0" when nothing is stored.
  std::string UserGroupID() const;
  void SetUserGroupID(std::string value) { FUserGroupID = std::move(value); }
  // The user's working shop; DefaultShopID when nothing is stored.
  std::string CurrentShopID() const;
  void SetCurrentShopID(std::string value) { FCurrentShopID = std::move(value); }
  // A WHERE-clause fragment restricting rows to the user's shops, appended as it stands to a statement;
  // " AND F_SHOP_ID = " followed by DefaultShopID when nothing is stored.
  std::string ShopList() const;
  void SetShopList(std::string value) { FShopList = std::move(value); }
  // The bare shop list or shop identifier; DefaultShopID when nothing is stored.
  std::string ShopListEx() const;
  void SetShopListEx(std::string value) { FShopListEx = std::move(value); }

 private:
  std::string FUserGroupID;
  std::string FName;
  std::string FCode;
  std::string FID;
  std::string FDefaultShopID;
  std::string FShopList;
  std::string FCurrentShopID;
  std::string FShopListEx;
  std::string FEmployee;
  int64_t FEmployeeID = 0;
  std::string FCompany;
  std::string FShopName;
};
using PUserInfo = TUserInfo*;

// The host's login exchange; nothing in this package reads it.
struct TloginUserInfo {
  std::string IP;
  std::string Port;
  std::string Session;
  int64_t ID = 0;
  std::string Name;
  std::string Company;
  std::string Database;
  TDateTime LastUpdateTime;
};
using PLoginUserInfo = TloginUserInfo*;

// The workstation's stock location and shop, as the host read them from its settings.
struct TSysConfig {
  std::string LocationID;
  std::string ShopID;
};

// --- the globals ---------------------------------------------------------------------------------------

// Created empty when the unit starts (and again by InitializePublicUtils), filled by the host after login,
// freed by FinalizePublicUtils.
extern std::unique_ptr<TUserInfo> UserInfo;
// Empty at start, filled by the host; cleared by FinalizePublicUtils.
extern TSysConfig SysConfig;
// The system parameters: null until the host assigns a record after login; released by
// FinalizePublicUtils. Read them through the typed readers of foundation/UnitSysParams.h, which give
// false and 0 while no record is set.
extern std::shared_ptr<TRtcRecord> SysParams;
// The base date of time-ordered identifiers: 1900-01-01 00:00:00.000.
extern TDateTime CombBaseDate;

// The unit's start-up, run once by the package start-up: a fresh empty UserInfo, no SysParams, the comb
// base date fixed. Running it again resets the three the same way.
void InitializePublicUtils();
// The unit's shutdown: frees UserInfo (it is null afterwards), releases SysParams and clears SysConfig.
void FinalizePublicUtils();

// --- bill types ---------------------------------------------------------------------------------------

// Stored as its ordinal in the configuration ("BILL_TYPE") and in bill rows (F_KIND).
enum TBillType {
  btNone = 0,
  btPurOrder = 1,
  btPurInStock = 2,
  btPurRetStock = 3,
  btPfOrder = 4,
  btPfRet = 5,
  btPf = 6,
  btls = 7,
  btLsRet = 8,
  btPurChange = 9,
  btPfChange = 10,
  btLsChange = 11,
  btMoveOut = 12,
  btMoveIn = 13,
  btChangeIn = 14,
  btChangeOut = 15,
  btSettlement = 16,
  btProductInstock = 17,
  btProductMoveApply = 18,
  btLocationMove = 19,
  btProductMoveIn = 20,
  btStockCheck = 21,
  btGYSFL = 22,
  btGYSBJ = 23,
  btPFFL = 24,
  btPFBJ = 25,
  btStockPriceChange = 26,
  btSettlementYS = 27,
  btnSettlementYF = 28,
  btOtherCostIn = 29,
  btOtherCostOut = 30,
  btSettlementPay = 31,
  btRepairRecord = 32,
  btAccountTransfer = 33,
  btAccountTransferIn = 34,
  btAccountIncMoney = 35,
  btAccountDecMoney = 36,
  btAccountIncYS = 37,
  btAccountDecYS = 38,
  btAccountIncYF = 39,
  btAccountDecYF = 40,
  btnRepairIn = 41,
  btStockCheckIn = 42,
  btStockCheckOut = 43,
  btGYSBK = 44,
  btKFBK = 45,
  btModeNOSale = 46,
  btInvoice = 47,
};
inline constexpr int kBillTypeCount = 48;
// The member's name as written above ("btls", "btnSettlementYF"); "" for an ordinal outside 0..47.
const char* BillTypeName(int ordinal);

// --- screen configuration records (filled from TB_SYS_FUNCTION, see foundation/UnitFunctionConfig.h) ---

// Document behaviour of a bill screen.
struct TBillConfig {
  int32_t F_BILL_TYPE = 0;  // a TBillType ordinal
  std::string F_AUDIT_PROC;
  std::string F_QUERY_CLASS;
  std::string F_AUDIT_CALL;
  std::string F_UN_AUDIT_CALL;
  bool operator==(const TBillConfig&) const = default;
};

// One region of a screen (left, top, right, bottom panel, the editor).
struct TUIConfig {
  std::string F_CLASS_NAME;
  std::string F_VIEW_DATA;
  std::string F_UPDATE_TABLE;
  std::string F_FILTER;
  std::string F_SCRIPT_NAME;
  int32_t F_WIDTH = 0;
  int32_t F_HEIGHT = 0;
  bool operator==(const TUIConfig&) const = default;
};

// One detail page of an editor.
struct TUIDetailConfig {
  int32_t F_PAGE = 0;
  std::string F_DATASET_NAME;
  std::string F_GRID_NAME;
  std::string F_VIEW_TABLE;
  std::string F_UPDATE_TABLE;
  std::string F_FOREIGN_KEY;
  std::string F_DISPLAY;
  int32_t F_KIND = 0;
  bool operator==(const TUIDetailConfig&) const = default;
};
using PUIDetailConfig = TUIDetailConfig*;

// The query panel of a screen.
struct TQueryConfig {
  std::string F_CLASS_NAME;
  std::string F_DIM_CONFIG;
  std::string F_GRID_CONFIG;
  std::string F_QUERY_CONFIG;
  std::string F_DATA;
  bool F_CAN_SELECT = false;
  int32_t F_HEIGHT = 0;
  int32_t F_KIND = 0;
  bool operator==(const TQueryConfig&) const = default;
};

// The set-up of one screen, held by each editor and bill screen.
struct TFormParams {
  std::string F_ID;
  std::string F_CODE;
  std::string F_GridConfig;
  std::string F_Data;
  std::string F_UpdateTable;
  std::string F_SCRIPT_NAME;
  TUIConfig F_UI_Query_CONFIG;  // not filled from the configuration
  TUIConfig F_UI_Left_Config;
  TUIConfig F_UI_Top_Config;
  TUIConfig F_UI_Right_Config;
  TUIConfig F_UI_Bottom_Config;
  TUIConfig F_UI_Editor_Config;
  TUIDetailConfig F_DETAIL_CONFIG;
  TBillConfig F_BILL_CONFIG;
  TQueryConfig F_QUERY_CONFIG;
  bool operator==(const TFormParams&) const = default;
};

// --- declarations used by the application's other packages ------------------------------------------

// A dictionary entry; the application's packages derive their items from it.
class TDictItem {
 public:
  virtual ~TDictItem() = default;
};

// Called for each node while walking a tree: Values are the node's values, Checked its check state.
using TOnIterNode = std::function<void(bool& Checked, const std::vector<Variant>& Values)>;

// Marker of screens that select rows for their opener.
class ISelect {
 public:
  virtual ~ISelect() = default;
};

// The view of a screen made by the grid-editor factory; its operations belong to the application's
// packages, which derive from it.
class IView {
 public:
  static constexpr const char* IID = "{7439F87D-EBFF-48A0-A49D-B5A6F5FB748B}";
  virtual ~IView() = default;
};

// --- identity cards -------------------------------------------------------------------------------------

enum TSexType { stNone = 0, stMale = 1, stFemale = 2 };

// The result of ValidateIDCard. On failure Validated is false, Tooltip holds the message of the first
// test that failed and the fields filled before that test keep their values.
struct TIdentityParam {
  std::string RegionCode;  // the first six digits
  TSexType SexType = stNone;
  TDateTime Birthday;      // the birth date at midnight
  std::string Tooltip;
  bool Validated = false;
};

// The ISO 7064 MOD 11-2 weights, indexed by the distance of a position from the right end.
inline constexpr std::array<uint8_t, 18> W_POWER = {1, 2, 4, 8, 5, 10, 9, 7, 3, 6, 1, 2, 4, 8, 5, 10, 9, 7};
// Ages above this many whole years are refused.
inline constexpr int kIDCardAgeLimitYears = 60;

// Validates an 18-character resident identity-card number; never throws. The tests, in order: length
// (18 UTF-16 code units), digits in positions 1 to 17, a real calendar birth date, the age limit (the
// holder's age in whole years on today's date, from the current clock, may not exceed 60), a birth date
// not after today, and the check character (0-9, "X" or "x"). Sex comes from the parity of digit 17.
TIdentityParam ValidateIDCard(std::string_view idCard);

// --- pinyin initials ---------------------------------------------------------------------------------

class TPYHelper {
 public:
  // Each character of U+4E00..U+9FA5 replaced by its upper-case pinyin initial ("*" when it has none);
  // every other character copied unchanged. With removeBrackets every ASCII "(" and ")" is dropped from
  // the result: 手机(红) gives SJ(H), or SJH with the flag. Text that is not valid UTF-8 is copied
  // byte for byte where it is malformed.
  static std::string GetShort(std::string_view text, bool removeBrackets = false);
  // GetShort without removing brackets.
  static std::string GetFull(std::string_view text);
};

// --- time-ordered identifiers -----------------------------------------------------------------------

// A GUID in storage order: a 32-bit and two 16-bit groups little-endian, then 8 bytes as they are.
using TGuidBytes = std::array<uint8_t, 16>;

// A new random version-4 GUID whose bytes 10 and 11 hold the days since CombBaseDate (modulo 65,536, high
// byte first) and bytes 12 to 15 the billionths of a day since midnight (high byte first), as the
// 38-character braced upper-case text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}". Its last group thus sorts
// by creation time. "Now" is the current clock's local time; each call then lets 1 ms pass on that clock,
// so identifiers made in a row carry distinct, increasing times.
std::string GetSeqUniqueID();
// The bytes of a new identifier as GetSeqUniqueID makes them.
TGuidBytes NewSeqUniqueGuid();
// Reseeds the random source of the identifiers' first ten bytes (tests make identifiers repeatable so).
// Until then the source is seeded from the system's entropy.
void SeedSeqUniqueIDRandom(uint64_t seed);

// The braced text form of a GUID, and back. GuidFromString raises EConvertError
// "'text' is not a valid GUID value" for text not in that form (either case of hex digits).
std::string GuidToString(const TGuidBytes& guid);
TGuidBytes GuidFromString(std::string_view text);

// The creation time stored in an identifier: CombBaseDate + the days + the ticks (read as a signed 32-bit
// number) / 1e9. The day count has 16 bits: 2079-06-06 is day 65,535, and identifiers made after that
// day read 65,536 days early.
TDateTime GetDateTimeFromCombGuid(const TGuidBytes& guid);

// --- record copying -----------------------------------------------------------------------------------

// Copies the source's current record into the destination's current record by field name, putting the
// destination into edit state (insert when it is empty) and not posting it. Destination fields that are
// missing, read-only or not plain data fields are skipped. Fields of the same type are copied as values;
// a string source or a type that differs is copied through its text. A null source leaves the field null.
// A value the destination rejects raises, with the destination left in edit state.
void CopyRecord(TDataSet& source, TDataSet& destination);
// Adds to the destination's field definitions one definition (name, type, size, not required) for each
// field of the source that has a definition; names the destination already defines are left alone.
// Nothing is created or opened.
void CopyField(const TDataSet& source, TDataSet& destination);
// Appends a copy of the current record, leaving the new record in insert state. With a filter only the
// fields it accepts (by name) are copied; the others keep what the new-record handling gave them.
// Calculated and lookup fields are not copied. A value the dataset rejects raises, with the new record
// still in insert state.
void AppendCurrentRecord(TDataSet& dataSet, const std::function<bool(const std::string& fieldName)>& filter = {});

// --- rights text ------------------------------------------------------------------------------------

// True when the character at the 1-based position of the rights text is "1". Positions below 1 read
// position 1, above 16 read position 16; a position past the end of the text is false.
bool ParseRights(std::string_view rights, int position);

// --- workstation identity -----------------------------------------------------------------------------

using TAdapterAddress = std::array<uint8_t, 6>;
struct TCpuIdLeaf1 {
  uint32_t EAX = 0;
  uint32_t EDX = 0;
  uint32_t ECX = 0;
};

// Where the workstation identity comes from: the machine itself, or a test's stand-in.
class IWorkstationIdentity {
 public:
  virtual ~IWorkstationIdentity() = default;
  // Hardware addresses of the network adapters, first adapter first, loopback left out; empty when there
  // is none or the adapters cannot be listed.
  virtual std::vector<TAdapterAddress> AdapterAddresses() const = 0;
  // The processor identification of leaf 1.
  virtual TCpuIdLeaf1 CpuIdLeaf1() const = 0;
};

// The machine's identity: adapters from the operating system (ordered by interface index), the cpuid
// instruction on x86-64; elsewhere a value derived from the machine identifier that stays the same across
// runs.
class TSystemWorkstationIdentity final : public IWorkstationIdentity {
 public:
  std::vector<TAdapterAddress> AdapterAddresses() const override;
  TCpuIdLeaf1 CpuIdLeaf1() const override;
};

// The identity the functions below read; the system's unless one is installed.
IWorkstationIdentity& CurrentWorkstationIdentity();
// Installs an identity (not owned; nullptr restores the system's). Returns the previous one.
IWorkstationIdentity* SetWorkstationIdentity(IWorkstationIdentity* identity);

class ScopedWorkstationIdentity {
 public:
  explicit ScopedWorkstationIdentity(IWorkstationIdentity& identity) : previous_(SetWorkstationIdentity(&identity)) {}
  ~ScopedWorkstationIdentity() { SetWorkstationIdentity(previous_); }
  ScopedWorkstationIdentity(const ScopedWorkstationIdentity&) = delete;
  ScopedWorkstationIdentity& operator=(const ScopedWorkstationIdentity&) = delete;

 private:
  IWorkstationIdentity* previous_;
};

// The first adapter's address as six upper-case hex pairs joined by "-" (00-1A-2B-3C-4D-5E);
// "mac not found" when there is no adapter.
std::string GetMACAddress();
// The same form; "" when there is no adapter.
std::string GetNetBIOSAddress();
// EAX, EDX and ECX of the processor identification, in that order, as 8 upper-case hex digits each.
std::string GetCPUID();

}  // namespace jxc
