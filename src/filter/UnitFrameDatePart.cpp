#include "filter/UnitFrameDatePart.h"

#include "platform/Format.h"

namespace jxc {

namespace {
// The range of an unticked group: every date the shop can have.
const TDateTime kNoStart = EncodeDate(2000, 1, 1);
const TDateTime kNoEnd = EncodeDate(2050, 1, 1);
}  // namespace

TFrameDatePart::TFrameDatePart(TComponent* owner) : TFrame(owner) {
  chkDatepart = new TGroupBox(this);
  chkDatepart->SetName("chkDatepart");
  chkDatepart->SetParent(this);
  chkDatepart->Align = TAlign::alClient;
  chkDatepart->CheckBox.Visible = true;
  chkDatepart->CheckBox.Checked = true;

  lblStart = new TLabel(this);
  lblStart->SetName("lblStart");
  lblStart->SetCaption("开始日期：");
  lblStart->SetParent(chkDatepart);
  edtStart = new TDateEdit(this);
  edtStart->SetName("edtStart");
  edtStart->SetParent(chkDatepart);

  lblEnd = new TLabel(this);
  lblEnd->SetName("lblEnd");
  lblEnd->SetCaption("至");
  lblEnd->SetParent(chkDatepart);
  edtEnd = new TDateEdit(this);
  edtEnd->SetName("edtEnd");
  edtEnd->SetParent(chkDatepart);

  ppmDatePart = new TPopupMenu(this);
  ppmDatePart->SetName("ppmDatePart");
  BuildDatePeriodMenu(*ppmDatePart, this, true, [this](TMenuItem& sender) { ppmDatePartClick(sender); });
  ppmToday = ItemOf(TDatePeriod::Today);
  ppmPrevDay = ItemOf(TDatePeriod::PrevDay);
  ppmWeek = ItemOf(TDatePeriod::Week);
  ppmPrevWeek = ItemOf(TDatePeriod::PrevWeek);
  ppmMonth = ItemOf(TDatePeriod::Month);
  ppmPrevMonth = ItemOf(TDatePeriod::PrevMonth);
  ppmQuarter = ItemOf(TDatePeriod::Quarter);
  ppmPrevQuarter = ItemOf(TDatePeriod::PrevQuarter);
  ppmYear = ItemOf(TDatePeriod::Year);
  ppmPrevYear = ItemOf(TDatePeriod::PrevYear);

  btnSelectDatePart = new TDropDownButton(this);
  btnSelectDatePart->SetName("btnSelectDatePart");
  btnSelectDatePart->SetCaption("日期选择");
  btnSelectDatePart->SetParent(chkDatepart);
  btnSelectDatePart->DropDownMenu = ppmDatePart;
}

TMenuItem* TFrameDatePart::ItemOf(TDatePeriod period) const {
  return FindComponentAs<TMenuItem>(DatePeriodItemName(period));
}

void TFrameDatePart::DoInit() { ApplyDatePeriod(TDatePeriod::Today); }

void TFrameDatePart::ApplyDatePeriod(TDatePeriod period) {
  const TDateRange range = DatePeriodRange(period);
  edtStart->SetDate(range.Start);
  edtEnd->SetDate(range.End);
  // Choosing a period asks for it: an unticked group would quietly ignore it.
  chkDatepart->CheckBox.Checked = true;
  CheckOnlyItem(*ppmDatePart, *ItemOf(period));
}

void TFrameDatePart::ppmDatePartClick(TMenuItem& sender) { ApplyDatePeriod(DatePeriodOfItem(sender)); }

TDateTime TFrameDatePart::GetStartDate() const {
  if (!chkDatepart->CheckBox.Checked || edtStart->EditValue().IsNull()) return kNoStart;
  return edtStart->Date();
}

TDateTime TFrameDatePart::GetEndDate() const {
  if (!chkDatepart->CheckBox.Checked || edtEnd->EditValue().IsNull()) return kNoEnd;
  return edtEnd->Date();
}

std::string TFrameDatePart::GetStartDateStr() const { return FormatDateTime("yyyy-mm-dd hh:mm:ss", GetStartDate()); }

std::string TFrameDatePart::GetEndDateStr() const { return FormatDateTime("yyyy-mm-dd 23:59:59", GetEndDate()); }

void TFrameDatePart::SetStateDate(TDateTime date) { edtStart->SetDate(date); }

void TFrameDatePart::SetEndDate(TDateTime date) { edtEnd->SetDate(date); }

}  // namespace jxc
