// Date-period presets on chosen days across week, month, quarter and year ends, and the date-part frame
// a user fills from its presets menu.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "filter/UnitDatePeriods.h"
#include "filter/UnitFrameDatePart.h"
#include "platform/Application.h"
#include "platform/Format.h"
#include "platform/Forms.h"

namespace jxc {
namespace {

using P = TDatePeriod;

// "first day .. last day" of a preset on the given day, checking that the period runs from midnight to
// the last millisecond.
std::string Period(P period, int y, int m, int d) {
  TDateRange r = DatePeriodRange(period, EncodeDateTime(y, m, d, 15, 45, 0, 0));
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", r.Start), "00:00:00.000");
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", r.End), "23:59:59.999");
  return DateToStr(r.Start) + " .. " + DateToStr(r.End);
}

TEST(DatePeriods, DaysAndWeeksRunMondayToSunday) {
  EXPECT_EQ(Period(P::Today, 2025, 3, 31), "2025-03-31 .. 2025-03-31");
  EXPECT_EQ(Period(P::PrevDay, 2025, 1, 1), "2024-12-31 .. 2024-12-31");
  EXPECT_EQ(Period(P::PrevDay, 2024, 3, 1), "2024-02-29 .. 2024-02-29");
  // 2025-03-03 is a Monday, 2025-03-09 a Sunday.
  EXPECT_EQ(Period(P::Week, 2025, 3, 3), "2025-03-03 .. 2025-03-09");
  EXPECT_EQ(Period(P::Week, 2025, 3, 9), "2025-03-03 .. 2025-03-09");
  EXPECT_EQ(Period(P::PrevWeek, 2025, 3, 3), "2025-02-24 .. 2025-03-02") << "on a Monday, the whole week before";
  EXPECT_EQ(Period(P::Week, 2024, 12, 31), "2024-12-30 .. 2025-01-05") << "a week across the new year";
  EXPECT_EQ(Period(P::PrevWeek, 2025, 1, 2), "2024-12-23 .. 2024-12-29");
}

TEST(DatePeriods, MonthsAreWholeCalendarMonthsWhateverTheDay) {
  EXPECT_EQ(Period(P::Month, 2025, 3, 15), "2025-03-01 .. 2025-03-31");
  EXPECT_EQ(Period(P::Month, 2024, 2, 29), "2024-02-01 .. 2024-02-29");
  EXPECT_EQ(Period(P::PrevMonth, 2025, 3, 31), "2025-02-01 .. 2025-02-28") << "31 March: February, not March";
  EXPECT_EQ(Period(P::PrevMonth, 2025, 5, 31), "2025-04-01 .. 2025-04-30");
  EXPECT_EQ(Period(P::PrevMonth, 2025, 1, 1), "2024-12-01 .. 2024-12-31");
}

TEST(DatePeriods, QuartersAreTheQuarterOfTodayAndTheOneBefore) {
  EXPECT_EQ(Period(P::Quarter, 2025, 3, 30), "2025-01-01 .. 2025-03-31") << "30 March is in the first quarter";
  EXPECT_EQ(Period(P::Quarter, 2025, 3, 31), "2025-01-01 .. 2025-03-31");
  EXPECT_EQ(Period(P::Quarter, 2025, 4, 1), "2025-04-01 .. 2025-06-30");
  EXPECT_EQ(Period(P::Quarter, 2025, 12, 31), "2025-10-01 .. 2025-12-31");
  EXPECT_EQ(Period(P::PrevQuarter, 2025, 2, 15), "2024-10-01 .. 2024-12-31") << "15 February: the last quarter of 2024";
  EXPECT_EQ(Period(P::PrevQuarter, 2025, 7, 1), "2025-04-01 .. 2025-06-30");
  EXPECT_EQ(Period(P::PrevQuarter, 2025, 6, 30), "2025-01-01 .. 2025-03-31");
  EXPECT_EQ(DateToStr(QuarterStart(EncodeDate(2025, 8, 31))), "2025-07-01");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", QuarterEnd(EncodeDate(2025, 11, 2))), "2025-12-31 23:59:59");
}

TEST(DatePeriods, YearsAreTheYearOfTodayAndTheOneBefore) {
  EXPECT_EQ(Period(P::Year, 2025, 12, 15), "2025-01-01 .. 2025-12-31") << "15 December: this year, not the next";
  EXPECT_EQ(Period(P::Year, 2025, 1, 15), "2025-01-01 .. 2025-12-31") << "15 January: this year, not the last";
  EXPECT_EQ(Period(P::PrevYear, 2025, 1, 1), "2024-01-01 .. 2024-12-31");
  EXPECT_EQ(Period(P::PrevYear, 2024, 12, 31), "2023-01-01 .. 2023-12-31");
}

class FrameDatePartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    frame = new TFrameDatePart(form);
    frame->SetParent(form);
  }
  void TearDown() override { ResetApplication(); }
  void Today(int y, int m, int d) { Application().Clock().SetNow(EncodeDateTime(y, m, d, 10, 30, 0, 0)); }
  std::vector<std::string> Checked() const {
    std::vector<std::string> names;
    for (TMenuItem* item : frame->ppmDatePart->Items().SubItems())
      if (item->Checked()) names.push_back(item->Name());
    return names;
  }

  TForm* form;
  TFrameDatePart* frame;
};

TEST_F(FrameDatePartTest, ThePresetsMenuHoldsTenPeriodsAndStartsOnToday) {
  std::vector<std::string> captions;
  for (TMenuItem* item : frame->ppmDatePart->Items().SubItems()) captions.push_back(item->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"本日", "昨日", "本周", "上周", "本月", "上月", "本季度", "上季度", "本年", "上年"}));
  EXPECT_EQ(Checked(), std::vector<std::string>{"ppmToday"});
  EXPECT_EQ(frame->btnSelectDatePart->Caption(), "日期选择");
  EXPECT_EQ(frame->lblStart->Caption(), "开始日期：");

  Today(2025, 3, 30);
  frame->DoInit();
  EXPECT_EQ(frame->edtStart->Text(), "2025-03-30");
  EXPECT_EQ(frame->edtEnd->Text(), "2025-03-30");
  EXPECT_EQ(frame->GetStartDateStr(), "2025-03-30 00:00:00");
  EXPECT_EQ(frame->GetEndDateStr(), "2025-03-30 23:59:59");
}

TEST_F(FrameDatePartTest, ChoosingAPresetFillsBothDatesAndChecksThatItemAlone) {
  Today(2025, 3, 30);
  frame->DoInit();
  frame->btnSelectDatePart->DropDown();
  frame->ppmQuarter->Click();
  EXPECT_EQ(frame->GetStartDateStr(), "2025-01-01 00:00:00");
  EXPECT_EQ(frame->GetEndDateStr(), "2025-03-31 23:59:59");
  EXPECT_EQ(Checked(), std::vector<std::string>{"ppmQuarter"});

  // The same captions give the same periods as everywhere else: one rule for both menus.
  Today(2026, 1, 15);
  frame->ppmYear->Click();
  EXPECT_EQ(frame->GetStartDateStr(), "2026-01-01 00:00:00");
  EXPECT_EQ(frame->GetEndDateStr(), "2026-12-31 23:59:59");
  frame->ppmPrevYear->Click();
  EXPECT_EQ(frame->GetStartDateStr(), "2025-01-01 00:00:00");
  frame->ppmPrevQuarter->Click();
  EXPECT_EQ(frame->GetStartDateStr(), "2025-10-01 00:00:00");
  EXPECT_EQ(frame->GetEndDateStr(), "2025-12-31 23:59:59");
  EXPECT_EQ(Checked(), std::vector<std::string>{"ppmPrevQuarter"});
}

TEST_F(FrameDatePartTest, AnUntickedGroupOrAnEmptyEditorCoversEveryDate) {
  Today(2025, 6, 1);
  frame->DoInit();
  frame->chkDatepart->CheckBox.Checked = false;
  EXPECT_EQ(frame->GetStartDateStr(), "2000-01-01 00:00:00");
  EXPECT_EQ(frame->GetEndDateStr(), "2050-01-01 23:59:59");
  frame->ppmMonth->Click();
  EXPECT_TRUE(frame->chkDatepart->CheckBox.Checked) << "choosing a period asks for it";
  EXPECT_EQ(frame->GetEndDateStr(), "2025-06-30 23:59:59");

  // Typed dates count as well; a cleared start means no lower bound.
  frame->edtStart->SetFocus();
  frame->edtStart->SetText("");
  form->TypeText("2025-05-20");
  frame->edtEnd->SetFocus();
  EXPECT_EQ(frame->GetStartDateStr(), "2025-05-20 00:00:00");
  frame->edtStart->SetEditValue(Variant::Null());
  EXPECT_EQ(frame->GetStartDateStr(), "2000-01-01 00:00:00");
  frame->SetStateDate(EncodeDate(2025, 5, 1));
  frame->SetEndDate(EncodeDate(2025, 5, 2));
  EXPECT_EQ(frame->GetStartDateStr() + " " + frame->GetEndDateStr(), "2025-05-01 00:00:00 2025-05-02 23:59:59");

  frame->SetStartDateToStr("F_BILL_DATE");
  frame->SetEndDateToStr("F_AUDIT_DATE");
  EXPECT_EQ(frame->StartDateToStr(), "F_BILL_DATE");
  EXPECT_EQ(frame->EndDateToStr(), "F_AUDIT_DATE");
}

TEST(DatePeriodMenu, TheQueryFormsMenuHasNineItemsSharingOneHandler) {
  ResetApplication();
  TForm* form = new TForm(&Application());
  TPopupMenu& menu = *new TPopupMenu(form);
  std::vector<TDatePeriod> chosen;
  BuildDatePeriodMenu(menu, form, false, [&](TMenuItem& item) {
    chosen.push_back(DatePeriodOfItem(item));
    CheckOnlyItem(menu, item);
  });
  ASSERT_EQ(menu.Items().Count(), 9);
  EXPECT_EQ(menu.Items().Items(8)->Caption(), "本年");
  EXPECT_NE(form->FindComponent("ppmYear"), nullptr);
  menu.Items().Find("上月")->Click();
  EXPECT_EQ(chosen, std::vector<TDatePeriod>{TDatePeriod::PrevMonth});
  EXPECT_TRUE(menu.Items().Find("上月")->Checked());
  EXPECT_FALSE(menu.Items().Find("本日")->Checked());
  ResetApplication();
}

}  // namespace
}  // namespace jxc
