#include "foundation/UnitPublicUtils.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <random>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif
#if defined(__linux__)
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#endif

#include "foundation/PinYinTable.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Field.h"

namespace jxc {

// --- globals ---------------------------------------------------------------------------------------------

namespace {
constexpr TDateTime kCombBaseDate(2.0);  // 1900-01-01: two days after the 1899-12-30 epoch
}

std::unique_ptr<TUserInfo> UserInfo = std::make_unique<TUserInfo>();
TSysConfig SysConfig;
std::shared_ptr<TRtcRecord> SysParams;
TDateTime CombBaseDate = kCombBaseDate;

void InitializePublicUtils() {
  SysParams.reset();
  UserInfo = std::make_unique<TUserInfo>();
  CombBaseDate = kCombBaseDate;
}

void FinalizePublicUtils() {
  UserInfo.reset();
  SysParams.reset();
  SysConfig = TSysConfig{};
}

// --- TUserInfo -------------------------------------------------------------------------------------------

std::string TUserInfo::UserGroupID() const { return FUserGroupID.empty() ? std::string("0") : FUserGroupID; }

std::string TUserInfo::CurrentShopID() const { return FCurrentShopID.empty() ? FDefaultShopID : FCurrentShopID; }

std::string TUserInfo::ShopList() const {
  return FShopList.empty() ? " AND F_SHOP_ID = " + FDefaultShopID : FShopList;
}

std::string TUserInfo::ShopListEx() const { return FShopListEx.empty() ? FDefaultShopID : FShopListEx; }

// --- bill types ------------------------------------------------------------------------------------------

const char* BillTypeName(int ordinal) {
  static constexpr const char* kNames[kBillTypeCount] = {
      "btNone", "btPurOrder", "btPurInStock", "btPurRetStock", "btPfOrder", "btPfRet", "btPf", "btls",
      "btLsRet", "btPurChange", "btPfChange", "btLsChange", "btMoveOut", "btMoveIn", "btChangeIn",
      "btChangeOut", "btSettlement", "btProductInstock", "btProductMoveApply", "btLocationMove",
      "btProductMoveIn", "btStockCheck", "btGYSFL", "btGYSBJ", "btPFFL", "btPFBJ", "btStockPriceChange",
      "btSettlementYS", "btnSettlementYF", "btOtherCostIn", "btOtherCostOut", "btSettlementPay",
      "btRepairRecord", "btAccountTransfer", "btAccountTransferIn", "btAccountIncMoney", "btAccountDecMoney",
      "btAccountIncYS", "btAccountDecYS", "btAccountIncYF", "btAccountDecYF", "btnRepairIn",
      "btStockCheckIn", "btStockCheckOut", "btGYSBK", "btKFBK", "btModeNOSale", "btInvoice"};
  return ordinal >= 0 && ordinal < kBillTypeCount ? kNames[ordinal] : "";
}

// --- identity cards --------------------------------------------------------------------------------------

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

int Digits(std::string_view text, size_t from, size_t count) {
  int value = 0;
  for (size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// The number of UTF-16 code units, counted only as far as needed to tell whether it is 18.
bool HasUtf16Length18(std::string_view text) {
  size_t units = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    units += c >= 0xF0 ? 2 : 1;        // four-byte sequences are surrogate pairs
    if (units > 18) return false;
  }
  return units == 18;
}

}  // namespace

TIdentityParam ValidateIDCard(std::string_view idCard) {
  TIdentityParam result;
  if (!HasUtf16Length18(idCard)) {
    result.Tooltip = "请输入18位身份证号码！";
    return result;
  }
  // Positions 1 to 17 must be ASCII digits. Until a non-ASCII character is met, byte positions are
  // character positions; the first non-ASCII character is itself the failing position.
  for (size_t i = 0; i < 17; ++i) {
    if (i >= idCard.size() || !IsAsciiDigit(idCard[i])) {
      result.Tooltip = "第" + std::to_string(i + 1) + "位字符验证不通过，请输入正确的身份证号码！";
      return result;
    }
  }
  // With 17 ASCII digits in front, 18 code units leave one character, of one to three bytes.
  result.RegionCode.assign(idCard.substr(0, 6));

  TDateTime birthday;
  if (!TryEncodeDate(Digits(idCard, 6, 4), Digits(idCard, 10, 2), Digits(idCard, 12, 2), birthday)) {
    result.Tooltip = "出生日期验证不通过，日期无效，请输入正确的身份证号码！";
    return result;
  }
  TDateTime today = Date();
  if (YearsBetweenDates(birthday, today) > kIDCardAgeLimitYears) {
    result.Tooltip = "出生日期验证不通过，年龄超限，请输入正确的身份证号码！";
    return result;
  }
  if (birthday > today) {
    result.Tooltip = "出生日期验证不通过，年龄为负，请输入正确的身份证号码！";
    return result;
  }
  result.Birthday = birthday;

  int sum = 0;
  for (size_t i = 0; i < 17; ++i) sum += (idCard[i] - '0') * W_POWER[17 - i];
  int check = -1;
  if (idCard.size() == 18) {
    char last = idCard[17];
    if (IsAsciiDigit(last)) check = last - '0';
    else if (last == 'X' || last == 'x') check = 10;
  }
  if (check < 0 || (sum + check) % 11 != 1) {
    result.Tooltip = "末尾验证码验证不通过，请输入正确的身份证号码！";
    return result;
  }
  result.SexType = (idCard[16] - '0') % 2 == 1 ? stMale : stFemale;
  result.Validated = true;
  return result;
}

// --- pinyin initials -----------------------------------------------------------------------------------

std::string TPYHelper::GetShort(std::string_view text, bool removeBrackets) {
  std::string out;
  out.reserve(text.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      if (!(removeBrackets && (c == '(' || c == ')'))) out.push_back(static_cast<char>(c));
      ++p;
      continue;
    }
    // The block U+4E00..U+9FA5 is encoded as three bytes E4 B8 80 .. E9 BE A5.
    if (c >= 0xE4 && c <= 0xE9 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
      char32_t cp = (char32_t(c & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | char32_t(p[2] & 0x3F);
      if (cp >= kPinYinFirst && cp <= kPinYinLast) {
        out.push_back(PinYin_U[cp - kPinYinFirst]);
        p += 3;
        continue;
      }
    }
    // Any other character: copy its whole sequence (a malformed byte alone).
    size_t length = 1;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) length = 3;
    else if (c >= 0xF0 && c <= 0xF4) length = 4;
    if (static_cast<size_t>(end - p) < length) length = static_cast<size_t>(end - p);
    for (size_t k = 1; k < length; ++k) {
      if ((p[k] & 0xC0) != 0x80) { length = k; break; }
    }
    out.append(reinterpret_cast<const char*>(p), length);
    p += length;
  }
  return out;
}

std::string TPYHelper::GetFull(std::string_view text) { return GetShort(text, false); }

// --- time-ordered identifiers ----------------------------------------------------------------------------

namespace {

std::mt19937_64& GuidRandom() {
  static std::mt19937_64 generator([] {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
  }());
  return generator;
}

constexpr int64_t kMSecsPerDayInt = 86400000;
constexpr int64_t kTicksPerDay = 1000000000;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void SeedSeqUniqueIDRandom(uint64_t seed) { GuidRandom().seed(seed); }

TGuidBytes NewSeqUniqueGuid() {
  TGuidBytes guid{};
  std::mt19937_64& random = GuidRandom();
  uint64_t a = random(), b = random();
  std::memcpy(guid.data(), &a, 8);
  std::memcpy(guid.data() + 8, &b, 8);
  guid[7] = static_cast<uint8_t>((guid[7] & 0x0F) | 0x40);  // version 4: high nibble of the third group
  guid[8] = static_cast<uint8_t>((guid[8] & 0x3F) | 0x80);  // RFC 4122 variant

  // Whole milliseconds since the base date (date-times carry millisecond precision); counting in integers
  // keeps the tick count exact where the fraction of a day would round just below a whole tick.
  int64_t msecs = static_cast<int64_t>(std::llround((Now() - CombBaseDate) * kMSecsPerDay));
  int64_t days = msecs >= 0 ? msecs / kMSecsPerDayInt : -((-msecs + kMSecsPerDayInt - 1) / kMSecsPerDayInt);
  int64_t msecOfDay = msecs - days * kMSecsPerDayInt;
  uint32_t ticks = static_cast<uint32_t>(msecOfDay * kTicksPerDay / kMSecsPerDayInt);
  uint16_t dayCount = static_cast<uint16_t>(static_cast<uint64_t>(days) & 0xFFFF);
  guid[10] = static_cast<uint8_t>(dayCount >> 8);
  guid[11] = static_cast<uint8_t>(dayCount & 0xFF);
  guid[12] = static_cast<uint8_t>(ticks >> 24);
  guid[13] = static_cast<uint8_t>(ticks >> 16);
  guid[14] = static_cast<uint8_t>(ticks >> 8);
  guid[15] = static_cast<uint8_t>(ticks);

  CurrentClock().Sleep(1);
  return guid;
}

std::string GetSeqUniqueID() { return GuidToString(NewSeqUniqueGuid()); }

std::string GuidToString(const TGuidBytes& g) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  // Storage positions in the order they are printed: the three groups as little-endian numbers, then the
  // last eight bytes as they are.
  static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string text;
  text.reserve(38);
  text.push_back('{');
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    uint8_t byte = g[static_cast<size_t>(kOrder[i])];
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 0x0F]);
  }
  text.push_back('}');
  return text;
}

TGuidBytes GuidFromString(std::string_view text) {
  static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  auto fail = [&]() -> TGuidBytes {
    throw EConvertError("'" + std::string(text) + "' is not a valid GUID value");
  };
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return fail();
  TGuidBytes guid{};
  size_t pos = 1;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) {
      if (text[pos] != '-') return fail();
      ++pos;
    }
    int high = HexValue(text[pos]), low = HexValue(text[pos + 1]);
    if (high < 0 || low < 0) return fail();
    guid[static_cast<size_t>(kOrder[i])] = static_cast<uint8_t>(high * 16 + low);
    pos += 2;
  }
  return guid;
}

TDateTime GetDateTimeFromCombGuid(const TGuidBytes& guid) {
  int days = guid[10] * 256 + guid[11];
  uint32_t raw = (uint32_t(guid[12]) << 24) | (uint32_t(guid[13]) << 16) | (uint32_t(guid[14]) << 8) | guid[15];
  int32_t ticks = static_cast<int32_t>(raw);
  return CombBaseDate + (static_cast<double>(days) + static_cast<double>(ticks) / static_cast<double>(kTicksPerDay));
}

// --- record copying ------------------------------------------------------------------------------------

void CopyRecord(TDataSet& source, TDataSet& destination) {
  destination.Edit();
  for (int i = 0; i < source.FieldCount(); ++i) {
    TField& from = source.Fields(i);
    TField* to = destination.FindField(from.FieldName());
    if (to == nullptr || to->ReadOnly || to->FieldKind != fkData) continue;
    if (from.IsNull()) {
      to->Clear();
    } else if (IsStringFieldType(from.DataType()) || from.DataType() != to->DataType()) {
      to->SetAsString(from.AsString());
    } else {
      to->SetValue(from.Value());
    }
  }
}

void CopyField(const TDataSet& source, TDataSet& destination) {
  std::vector<std::string> names;
  for (const TFieldDef& def : source.FieldDefs().Items()) names.push_back(def.Name);
  for (const std::string& name : names) {
    TField* field = source.FindField(name);
    if (field == nullptr || destination.FieldDefs().IndexOf(field->FullName()) >= 0) continue;
    destination.FieldDefs().Add(field->FullName(), field->DataType(), field->Size(), false);
  }
}

void AppendCurrentRecord(TDataSet& dataSet, const std::function<bool(const std::string& fieldName)>& filter) {
  std::vector<Variant> values;
  values.reserve(static_cast<size_t>(dataSet.FieldCount()));
  for (int i = 0; i < dataSet.FieldCount(); ++i) values.push_back(dataSet.Fields(i).Value());
  dataSet.Append();
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    TField& field = dataSet.Fields(i);
    if (field.FieldKind != fkData) continue;
    if (filter && !filter(field.FieldName())) continue;
    field.SetValue(values[static_cast<size_t>(i)]);
  }
}

// --- rights text ----------------------------------------------------------------------------------------

bool ParseRights(std::string_view rights, int position) {
  if (position < 1) position = 1;
  if (position > 16) position = 16;
  size_t index = static_cast<size_t>(position - 1);
  return index < rights.size() && rights[index] == '1';
}

// --- workstation identity --------------------------------------------------------------------------------

namespace {

IWorkstationIdentity*& InstalledIdentity() {
  static IWorkstationIdentity* installed = nullptr;
  return installed;
}

std::string AddressText(const TAdapterAddress& address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(17);
  for (size_t i = 0; i < address.size(); ++i) {
    if (i > 0) text.push_back('-');
    text.push_back(kHex[address[i] >> 4]);
    text.push_back(kHex[address[i] & 0x0F]);
  }
  return text;
}

std::string Hex8(uint32_t value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i) {
    text[static_cast<size_t>(i)] = kHex[value & 0x0F];
    value >>= 4;
  }
  return text;
}

}  // namespace

std::vector<TAdapterAddress> TSystemWorkstationIdentity::AdapterAddresses() const {
  std::vector<TAdapterAddress> result;
#if defined(__linux__)
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return result;
  std::map<int, TAdapterAddress> byIndex;  // one entry per interface, in interface-index order
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_PACKET) continue;
    if ((it->ifa_flags & IFF_LOOPBACK) != 0) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(it->ifa_addr);
    if (link->sll_halen != 6) continue;
    TAdapterAddress address{};
    std::memcpy(address.data(), link->sll_addr, 6);
    bool allZero = true;
    for (uint8_t b : address) allZero = allZero && b == 0;
    if (allZero) continue;  // tunnels and the like carry no hardware address
    byIndex.emplace(link->sll_ifindex, address);
  }
  freeifaddrs(list);
  for (const auto& entry : byIndex) result.push_back(entry.second);
#endif
  return result;
}

TCpuIdLeaf1 TSystemWorkstationIdentity::CpuIdLeaf1() const {
  TCpuIdLeaf1 result;
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    result.EAX = eax;
    result.EDX = edx;
    result.ECX = ecx;
  }
#else
  // No cpuid instruction: three words folded from the machine identifier, the same on every run.
  std::ifstream file("/etc/machine-id");
  std::string id;
  std::getline(file, id);
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  uint32_t words[3] = {0, 0, 0};
  for (int w = 0; w < 3 && !id.empty(); ++w) {
    for (char c : id) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    hash = (hash ^ static_cast<uint64_t>(w)) * 1099511628211ull;
    words[w] = static_cast<uint32_t>(hash >> 16);
  }
  result.EAX = words[0];
  result.EDX = words[1];
  result.ECX = words[2];
#endif
  return result;
}

IWorkstationIdentity& CurrentWorkstationIdentity() {
  static TSystemWorkstationIdentity system;
  IWorkstationIdentity* installed = InstalledIdentity();
  return installed != nullptr ? *installed : system;
}

IWorkstationIdentity* SetWorkstationIdentity(IWorkstationIdentity* identity) {
  IWorkstationIdentity* previous = InstalledIdentity();
  InstalledIdentity() = identity;
  return previous;
}

std::string GetMACAddress() {
  std::vector<TAdapterAddress> adapters = CurrentWorkstationIdentity().AdapterAddresses();
  return adapters.empty() ? std::string("mac not found") : AddressText(adapters.front());
}

std::string GetNetBIOSAddress() {
  std::vector<TAdapterAddress> adapters = CurrentWorkstationIdentity().AdapterAddresses();
  return adapters.empty() ? std::string() : AddressText(adapters.front());
}

std::string GetCPUID() {
  TCpuIdLeaf1 id = CurrentWorkstationIdentity().CpuIdLeaf1();
  return Hex8(id.EAX) + Hex8(id.EDX) + Hex8(id.ECX);
}

}  // namespace jxc
