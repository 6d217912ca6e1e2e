// Texts that reach the shared utilities from outside: the rights text of a user's role, identity-card
// numbers typed by an assistant, GUID text and names for pinyin initials. None of them may do more than
// answer or refuse.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static jxc::VirtualClock clock(jxc::TDateTime(45658.375));
  static jxc::ScopedClock useClock(clock);
  jxc::fuzz::FuzzInput in(data, size);
  const int position = static_cast<int8_t>(in.Byte());
  const std::string text = in.Text();
  (void)jxc::ParseRights(text, position);
  (void)jxc::ValidateIDCard(text);
  (void)jxc::TPYHelper::GetShort(text, position % 2 == 0);
  try {
    (void)jxc::GetDateTimeFromCombGuid(jxc::GuidFromString(text));
  } catch (const jxc::EConvertError&) {
  }
  return 0;
}
