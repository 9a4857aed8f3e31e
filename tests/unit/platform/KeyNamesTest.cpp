// Key names for Bind: each names the code its SDL key arrives as, and every listed name reads
// back as its code.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/VirtualKeys.h"

using quarn::platform::VirtualKeyFromName;
using quarn::platform::VirtualKeyFromSDL;
using quarn::platform::VirtualKeyName;

namespace {

TEST(KeyNames, NameTheCodeTheirKeyArrivesAs)
{
  const struct {
    const char* Name;
    SDL_Keycode Sdl;
  } keys[] = {
      {"C", SDLK_c},
      {"z", SDLK_z},
      {"7", SDLK_7},
      {"F1", SDLK_F1},
      {"f12", SDLK_F12},
      {"KP0", SDLK_KP_0},
      {"kp9", SDLK_KP_9},
      {"SPACE", SDLK_SPACE},
      {"ENTER", SDLK_RETURN},
      {"RETURN", SDLK_KP_ENTER},
      {"LCTRL", SDLK_LCTRL},
      {"RCTRL", SDLK_RCTRL},
      {"LShift", SDLK_LSHIFT},
      {"RALT", SDLK_RALT},
      {"UP", SDLK_UP},
      {"PAGEDOWN", SDLK_PAGEDOWN},
      {"INSERT", SDLK_INSERT},
      {"KPPLUS", SDLK_KP_PLUS},
      {"SEMICOLON", SDLK_SEMICOLON},
      {"QUOTE", SDLK_QUOTE},
  };
  for (const auto& k : keys) {
    EXPECT_NE(VirtualKeyFromName(k.Name), 0) << k.Name;
    EXPECT_EQ(VirtualKeyFromName(k.Name), VirtualKeyFromSDL(k.Sdl)) << k.Name;
  }
  for (const char* unknown : {"", "CC", "F0", "F13", "F1X", "KP", "KP10", "KP-1", "ESC", "Ctrl "})
    EXPECT_EQ(VirtualKeyFromName(unknown), 0) << unknown;
}

TEST(KeyNames, EveryListedNameReadsBackAsItsCode)
{
  int named = 0;
  for (uint16_t code = 0; code < 256; ++code) {
    const std::string name = VirtualKeyName(code);
    if (name.empty()) continue;
    ++named;
    EXPECT_EQ(VirtualKeyFromName(name), code) << name;
  }
  EXPECT_EQ(named, 26 + 10 + 12 + 10 + 39);  // letters, digits, F keys, keypad digits, the table
  EXPECT_EQ(VirtualKeyName(17), "CTRL");
  EXPECT_EQ(VirtualKeyName(96), "KP0");
}

}  // namespace
