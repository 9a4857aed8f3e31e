#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace quarn::platform {

// Windows virtual-key codes used by the program's key handling.
inline constexpr uint16_t VK_BACK = 8;
inline constexpr uint16_t VK_TAB = 9;
inline constexpr uint16_t VK_RETURN = 13;
inline constexpr uint16_t VK_ESCAPE = 27;
inline constexpr uint16_t VK_SPACE = 32;
inline constexpr uint16_t VK_PRIOR = 33;  // Page Up
inline constexpr uint16_t VK_NEXT = 34;   // Page Down
inline constexpr uint16_t VK_END = 35;
inline constexpr uint16_t VK_HOME = 36;
inline constexpr uint16_t VK_LEFT = 37;
inline constexpr uint16_t VK_UP = 38;
inline constexpr uint16_t VK_RIGHT = 39;
inline constexpr uint16_t VK_DOWN = 40;
inline constexpr uint16_t VK_DELETE = 46;
inline constexpr uint16_t VK_NUMPAD0 = 96;
inline constexpr uint16_t VK_F1 = 112;
inline constexpr uint16_t VK_F12 = 123;

// Modifier keys held with a key, as a set of bits.
inline constexpr uint16_t ssShift = 1;
inline constexpr uint16_t ssCtrl = 2;
inline constexpr uint16_t ssAlt = 4;

// The modifier bits of SDL's key modifiers (SDL_Keymod).
uint16_t ShiftStateFromSDL(uint16_t sdlMod);

// The virtual-key code of an SDL key (SDL_Keycode), or 0 for a key without one.
uint16_t VirtualKeyFromSDL(int32_t sdlKey);

// The virtual-key code of a key name, in any case: a letter or digit ("C", "7"), "F1" to "F12",
// "KP0" to "KP9", or a name of the key name table ("SPACE", "LCTRL", ...); 0 for none.
uint16_t VirtualKeyFromName(std::string_view name);
// The name a virtual-key code is listed by (the first of its names); "" for a code without one.
std::string VirtualKeyName(uint16_t key);

// Characters delivered from a key-down rather than from text input (Enter, Backspace, Tab,
// Escape), or 0 for a key that produces its character through text input.
char ControlCharFromVirtualKey(uint16_t key);

}  // namespace quarn::platform
