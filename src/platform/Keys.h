#pragma once
// Virtual key codes, shift states and shortcuts as the toolkit encodes them: a shortcut is the key code
// with scShift, scCtrl and scAlt bits added ("Ctrl+Alt+P", "F1", "Shift+F12").

#include <cstdint>
#include <string>
#include <string_view>

namespace jxc {

inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_F1 = 0x70;  // VK_F1 + n - 1 is Fn, up to F12
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F4 = 0x73;
inline constexpr int VK_F5 = 0x74;
inline constexpr int VK_F6 = 0x75;
inline constexpr int VK_F7 = 0x76;
inline constexpr int VK_F8 = 0x77;
inline constexpr int VK_F9 = 0x78;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F11 = 0x7A;
inline constexpr int VK_F12 = 0x7B;
// Letters and digits use their upper-case ASCII code ('A', '0').

// Shift state of a key event.
enum TShiftFlag : unsigned { ssShift = 1u, ssAlt = 2u, ssCtrl = 4u };
using TShiftState = unsigned;

using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

TShortCut ShortCut(int key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift);
// "Ctrl+Alt+P", "Shift+F12", "F5", "Enter", "Esc"; "" for none.
std::string ShortCutToText(TShortCut shortCut);
// The reverse of ShortCutToText (modifier names in any case); 0 for text it cannot read.
TShortCut TextToShortCut(std::string_view text);

// The character a key produces when typed, 0 when it produces none (Enter 13, Esc 27, Backspace 8,
// Tab 9, Space, letters (lower case unless shifted) and digits).
char32_t KeyToChar(int key, TShiftState shift);

}  // namespace jxc
