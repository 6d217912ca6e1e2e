#pragma once
// The stock search list: units in stock (VI_GetSysStock) of one shop or of every shop, optionally of one
// product and colour, searched by serial number. A serial number is matched as a whole first: when a unit
// carries exactly the typed number, that unit alone is listed. Otherwise 5 to 10 typed characters match
// the end of the serial numbers (the last digits of a handset's IMEI); shorter or longer text matches
// nothing. Every character stands for itself ("%" and "_" too), and letters match without case.
//
// Choosing a unit copies its product, colour, configuration, location, unit of measure and product type
// into the owner's record (those fields both have) and enters its serial number into the field given
// through the field's text entry, so that the bill's own serial-number handler decides about it.

#include <cstdint>
#include <string>

#include "filter/UnitFrameBaseFilterEx.h"

namespace jxc {

class TFrameLookupSysStock : public TFrameBaseFilterEx {
 public:
  explicit TFrameLookupSysStock(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrameLookupSysStock"; }

  static constexpr int MinSuffix = 5;   // characters, included
  static constexpr int MaxSuffix = 10;  // characters, included

  // Lists the units whose serial number matches the text (see the top of this unit).
  void DoFilter(const std::string& text) override;
  void UpdateColumns() override;

 protected:
  // The filter already left the best units: the first is chosen.
  void LocateBestRow(const std::string& text) override {}
};

// How a serial number matches typed text: as a whole, or by its last 5 to 10 characters.
enum class TModeNOMatch { None, Exact, Suffix };
// The match that typed text can make (Exact is tried before Suffix; None for blank text).
TModeNOMatch ModeNOSearchKind(const std::string& text);
// Whether the serial number matches the text in that way (without case, characters as they stand).
bool ModeNOMatches(const std::string& serial, const std::string& text, TModeNOMatch match);

// What a stock look-up lists besides the shop.
struct TStockLookupFilter {
  int64_t ProductID = 0;  // 0: every product
  int64_t ColorID = 0;    // 0: every colour
  std::string Condition;  // more SQL after the WHERE text (" AND ...")
};

// The owner's stock list "StockLookup": the units in stock of the shop ("0": every shop; "": the user's
// current shop) narrowed by the filter. Its WHERE text is " WHERE 1= 1   " + conditions for every shop,
// else " WHERE  F_SHOP_ID  = " + shop + conditions; a list loaded for other conditions is loaded again.
// Without a callback choosing fills the owner's record and enters the serial number into field (when
// given). A shop that is no whole number is refused ("店铺[x]无效").
TFrameLookupSysStock* GetLookupSysStock(TComponent* owner, TField* field, const std::string& shopID,
                                        const TStockLookupFilter& filter = {}, TDataSetCallback callback = nullptr);
// The owner's serial-number list "ModeListLookup": the serial-numbered units in stock of the user's current
// shop (every shop with allShops), with the text already searched.
TFrameLookupSysStock* GetLookupModeNOList(TComponent* owner, const std::string& text, bool allShops,
                                          TDataSetCallback callback = nullptr);

}  // namespace jxc
