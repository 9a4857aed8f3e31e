#include "platform/VirtualKeys.h"

#include <SDL.h>

#include <array>
#include <cctype>

namespace quarn::platform {

namespace {

struct KeyMapping {
  SDL_Keycode sdl;
  uint16_t vk;
};

// Keys whose codes are not derived by range below. Order does not matter; codes are unique.
constexpr std::array<KeyMapping, 48> KeyTable{{
    {SDLK_BACKSPACE, 8},
    {SDLK_TAB, 9},
    {SDLK_CLEAR, 12},
    {SDLK_RETURN, 13},
    {SDLK_KP_ENTER, 13},
    {SDLK_LSHIFT, 16},
    {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},
    {SDLK_RCTRL, 17},
    {SDLK_LALT, 18},
    {SDLK_RALT, 18},
    {SDLK_PAUSE, 19},
    {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},
    {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},
    {SDLK_HOME, 36},
    {SDLK_LEFT, 37},
    {SDLK_UP, 38},
    {SDLK_RIGHT, 39},
    {SDLK_DOWN, 40},
    {SDLK_PRINTSCREEN, 44},
    {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},
    {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},
    {SDLK_APPLICATION, 93},
    {SDLK_KP_MULTIPLY, 106},
    {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},
    {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},
    {SDLK_NUMLOCKCLEAR, 144},
    {SDLK_SCROLLLOCK, 145},
    {SDLK_SEMICOLON, 186},
    {SDLK_EQUALS, 187},
    {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190},
    {SDLK_SLASH, 191},
    {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219},
    {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221},
    {SDLK_QUOTE, 222},
    {SDLK_KP_0, 96},
}};

struct KeyName {
  const char* name;
  uint16_t vk;
};

// Names of the keys that are not letters, digits, F1-F12 or KP0-KP9. A key with several names
// (the left and right Ctrl keys share one code) is listed by the first.
constexpr std::array<KeyName, 46> KeyNames{{
    {"BACKSPACE", 8},     {"TAB", 9},         {"ENTER", 13},
    {"RETURN", 13},       {"SHIFT", 16},      {"LSHIFT", 16},
    {"RSHIFT", 16},       {"CTRL", 17},       {"LCTRL", 17},
    {"RCTRL", 17},        {"ALT", 18},        {"LALT", 18},
    {"RALT", 18},         {"PAUSE", 19},      {"CAPSLOCK", 20},
    {"ESCAPE", 27},       {"SPACE", 32},      {"PAGEUP", 33},
    {"PAGEDOWN", 34},     {"END", 35},        {"HOME", 36},
    {"LEFT", 37},         {"UP", 38},         {"RIGHT", 39},
    {"DOWN", 40},         {"INSERT", 45},     {"DELETE", 46},
    {"KPMULTIPLY", 106},  {"KPPLUS", 107},    {"KPMINUS", 109},
    {"KPPERIOD", 110},    {"KPDIVIDE", 111},  {"SEMICOLON", 186},
    {"EQUALS", 187},      {"COMMA", 188},     {"MINUS", 189},
    {"PERIOD", 190},      {"SLASH", 191},     {"BACKQUOTE", 192},
    {"LEFTBRACKET", 219}, {"BACKSLASH", 220}, {"RIGHTBRACKET", 221},
    {"QUOTE", 222},       {"CLEAR", 12},      {"NUMLOCK", 144},
    {"SCROLLLOCK", 145},
}};

constexpr uint16_t FirstFunctionKey = 112;  // F1
constexpr int FunctionKeys = 12;
constexpr uint16_t FirstKeypadDigit = 96;  // KP0

// The number of a name's digits after `prefix` when they are all there is, else -1.
int NumberAfter(std::string_view name, std::string_view prefix)
{
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 2 ||
      name.substr(0, prefix.size()) != prefix)
    return -1;
  int n = 0;
  for (char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

uint16_t VirtualKeyFromName(std::string_view name)
{
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.size() == 1 && (std::isupper(static_cast<unsigned char>(upper[0])) ||
                            std::isdigit(static_cast<unsigned char>(upper[0]))))
    return static_cast<uint16_t>(upper[0]);
  const int function = NumberAfter(upper, "F");
  if (function >= 1 && function <= FunctionKeys)
    return static_cast<uint16_t>(FirstFunctionKey + function - 1);
  const int keypad = NumberAfter(upper, "KP");
  if (keypad >= 0 && keypad <= 9 && upper.size() == 3)
    return static_cast<uint16_t>(FirstKeypadDigit + keypad);
  for (const KeyName& k : KeyNames)
    if (upper == k.name) return k.vk;
  return 0;
}

std::string VirtualKeyName(uint16_t key)
{
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  if (key >= FirstFunctionKey && key < FirstFunctionKey + FunctionKeys)
    return "F" + std::to_string(key - FirstFunctionKey + 1);
  if (key >= FirstKeypadDigit && key <= FirstKeypadDigit + 9)
    return "KP" + std::to_string(key - FirstKeypadDigit);
  for (const KeyName& k : KeyNames)
    if (k.vk == key) return k.name;
  return "";
}

uint16_t VirtualKeyFromSDL(int32_t sdlKey)
{
  if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) return static_cast<uint16_t>('A' + (sdlKey - SDLK_a));
  if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) return static_cast<uint16_t>('0' + (sdlKey - SDLK_0));
  if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12)
    return static_cast<uint16_t>(112 + (sdlKey - SDLK_F1));
  if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9)
    return static_cast<uint16_t>(97 + (sdlKey - SDLK_KP_1));
  for (const KeyMapping& m : KeyTable)
    if (m.sdl == sdlKey) return m.vk;
  return 0;
}

uint16_t ShiftStateFromSDL(uint16_t sdlMod)
{
  uint16_t state = 0;
  if (sdlMod & KMOD_SHIFT) state |= ssShift;
  if (sdlMod & KMOD_CTRL) state |= ssCtrl;
  if (sdlMod & KMOD_ALT) state |= ssAlt;
  return state;
}

char ControlCharFromVirtualKey(uint16_t key)
{
  switch (key) {
    case VK_RETURN: return 13;
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    default: return 0;
  }
}

}  // namespace quarn::platform
