#include "platform/VirtualKeys.h"

#include <SDL.h>

#include <array>

namespace quarn::platform {

namespace {

struct KeyMapping {
  SDL_Keycode sdl;
  uint16_t vk;
};

// Keys whose codes are not derived by range below. Order does not matter; codes are unique.
constexpr std::array<KeyMapping, 48> kKeyTable{{
    {SDLK_BACKSPACE, 8},   {SDLK_TAB, 9},         {SDLK_CLEAR, 12},      {SDLK_RETURN, 13},
    {SDLK_KP_ENTER, 13},   {SDLK_LSHIFT, 16},     {SDLK_RSHIFT, 16},     {SDLK_LCTRL, 17},
    {SDLK_RCTRL, 17},      {SDLK_LALT, 18},       {SDLK_RALT, 18},       {SDLK_PAUSE, 19},
    {SDLK_CAPSLOCK, 20},   {SDLK_ESCAPE, 27},     {SDLK_SPACE, 32},      {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},   {SDLK_END, 35},        {SDLK_HOME, 36},       {SDLK_LEFT, 37},
    {SDLK_UP, 38},         {SDLK_RIGHT, 39},      {SDLK_DOWN, 40},       {SDLK_PRINTSCREEN, 44},
    {SDLK_INSERT, 45},     {SDLK_DELETE, 46},     {SDLK_LGUI, 91},       {SDLK_RGUI, 92},
    {SDLK_APPLICATION, 93}, {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107}, {SDLK_KP_MINUS, 109},
    {SDLK_KP_PERIOD, 110}, {SDLK_KP_DIVIDE, 111}, {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    {SDLK_SEMICOLON, 186}, {SDLK_EQUALS, 187},    {SDLK_COMMA, 188},     {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190},    {SDLK_SLASH, 191},     {SDLK_BACKQUOTE, 192}, {SDLK_LEFTBRACKET, 219},
    {SDLK_BACKSLASH, 220}, {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},  {SDLK_KP_0, 96},
}};

}  // namespace

uint16_t VirtualKeyFromSDL(int32_t sdlKey)
{
  if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) return static_cast<uint16_t>('A' + (sdlKey - SDLK_a));
  if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) return static_cast<uint16_t>('0' + (sdlKey - SDLK_0));
  if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) return static_cast<uint16_t>(112 + (sdlKey - SDLK_F1));
  if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9) return static_cast<uint16_t>(97 + (sdlKey - SDLK_KP_1));
  for (const KeyMapping& m : kKeyTable)
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
