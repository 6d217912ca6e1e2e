#pragma once
// The date-part frame: a start and an end date in a check group, with the date-period presets on a drop-
// down button. While the group's check box is ticked (as it is at first) the frame's range is what the
// editors show, both days included; unticked, or with an editor left empty, it reaches from 2000-01-01 to
// 2050-01-01. DoInit applies "本日"; choosing a preset fills both editors, ticks the group and checks
// the chosen item alone.

#include <string>

#include "filter/UnitDatePeriods.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/ValueEdits.h"

namespace jxc {

class TFrameDatePart : public TFrame {
 public:
  explicit TFrameDatePart(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrameDatePart"; }

  TGroupBox* chkDatepart;
  TLabel* lblStart;
  TDateEdit* edtStart;
  TLabel* lblEnd;
  TDateEdit* edtEnd;
  TDropDownButton* btnSelectDatePart;
  TPopupMenu* ppmDatePart;
  TMenuItem* ppmToday;
  TMenuItem* ppmPrevDay;
  TMenuItem* ppmWeek;
  TMenuItem* ppmPrevWeek;
  TMenuItem* ppmMonth;
  TMenuItem* ppmPrevMonth;
  TMenuItem* ppmQuarter;
  TMenuItem* ppmPrevQuarter;
  TMenuItem* ppmYear;
  TMenuItem* ppmPrevYear;

  virtual void DoInit();
  // Fills the editors with the preset's period around today and checks its item alone.
  void ApplyDatePeriod(TDatePeriod period);

  // The range: the editors' dates while the group is ticked, else 2000-01-01 and 2050-01-01.
  TDateTime GetStartDate() const;
  TDateTime GetEndDate() const;
  // "yyyy-mm-dd hh:mm:ss" of the start; "yyyy-mm-dd 23:59:59" of the end, so the end day is included to
  // its last second.
  std::string GetStartDateStr() const;
  std::string GetEndDateStr() const;
  void SetStateDate(TDateTime date);
  void SetEndDate(TDateTime date);

  // Texts kept for descendants (column names or ready conditions of their own).
  void SetStartDateToStr(std::string text) { FStartDateToStr = std::move(text); }
  void SetEndDateToStr(std::string text) { FEndDateToStr = std::move(text); }
  const std::string& StartDateToStr() const { return FStartDateToStr; }
  const std::string& EndDateToStr() const { return FEndDateToStr; }

 protected:
  // The one handler of every preset item.
  void ppmDatePartClick(TMenuItem& sender);

  std::string FStartDateToStr;
  std::string FEndDateToStr;

 private:
  TMenuItem* ItemOf(TDatePeriod period) const;
};

}  // namespace jxc
