#include "platform/Keys.h"

#include "platform/Text.h"

namespace jxc {

namespace {
struct KeyName {
  int key;
  const char* name;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},   {VK_LEFT, "Left"},
    {VK_UP, "Up"},       {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
};

std::string KeyText(int key) {
  if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return "";
}

int TextKey(std::string_view text) {
  if (text.size() == 1) {
    char c = text[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
  }
  if (text.size() >= 2 && (text[0] == 'F' || text[0] == 'f')) {
    auto n = TryStrToInt64(text.substr(1));
    if (n && *n >= 1 && *n <= 12) return VK_F1 + static_cast<int>(*n) - 1;
  }
  for (const KeyName& k : kKeyNames)
    if (SameText(k.name, text)) return k.key;
  return 0;
}
}  // namespace

TShortCut ShortCut(int key, TShiftState shift) {
  if (key <= 0 || key > 0xFF) return scNone;
  TShortCut result = static_cast<TShortCut>(key);
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string key = KeyText(shortCut & 0xFF);
  if (key.empty()) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + key;
}

TShortCut TextToShortCut(std::string_view text) {
  TShiftState shift = 0;
  while (true) {
    size_t plus = text.find('+');
    // A lone "+" at the end would be the key itself; modifiers always have a name before it.
    if (plus == std::string_view::npos || plus == 0) break;
    std::string_view part = text.substr(0, plus);
    if (SameText(part, "Shift"))
      shift |= ssShift;
    else if (SameText(part, "Ctrl"))
      shift |= ssCtrl;
    else if (SameText(part, "Alt"))
      shift |= ssAlt;
    else
      return scNone;
    text.remove_prefix(plus + 1);
  }
  return ShortCut(TextKey(text), shift);
}

char32_t KeyToChar(int key, TShiftState shift) {
  if (shift & (ssCtrl | ssAlt)) return 0;
  switch (key) {
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_SPACE: return ' ';
    default: break;
  }
  if (key >= 'A' && key <= 'Z') return (shift & ssShift) ? key : key - 'A' + 'a';
  if (key >= '0' && key <= '9') return key;
  return 0;
}

}  // namespace jxc
