#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/VirtualKeys.h"

using quarn::platform::ControlCharFromVirtualKey;
using quarn::platform::VirtualKeyFromSDL;

namespace {

struct KeyCase {
  SDL_Keycode sdl;
  uint16_t vk;
};

constexpr KeyCase KeyLetters[] = {
    {SDLK_UP, 38},       {SDLK_DOWN, 40},   {SDLK_LEFT, 37},     {SDLK_RIGHT, 39},
    {SDLK_SPACE, 32},    {SDLK_KP_0, 96},   {SDLK_KP_9, 105},    {SDLK_RETURN, 13},
    {SDLK_KP_ENTER, 13}, {SDLK_ESCAPE, 27}, {SDLK_TAB, 9},       {SDLK_BACKSPACE, 8},
    {SDLK_a, 65},        {SDLK_z, 90},      {SDLK_0, 48},        {SDLK_9, 57},
    {SDLK_F1, 112},      {SDLK_F12, 123},   {SDLK_LSHIFT, 16},   {SDLK_RCTRL, 17},
    {SDLK_DELETE, 46},   {SDLK_HOME, 36},   {SDLK_PAGEDOWN, 34}, {SDLK_SEMICOLON, 186},
    {SDLK_UNKNOWN, 0},   {SDLK_F24, 0},
};

TEST(VirtualKeys, SdlKeysMapToVirtualKeyCodes)
{
  for (const KeyCase& c : KeyLetters)
    EXPECT_EQ(VirtualKeyFromSDL(c.sdl), c.vk) << SDL_GetKeyName(c.sdl);
}

TEST(VirtualKeys, OnlyEnterBackspaceTabAndEscapeAreCharactersOfTheirKeyDown)
{
  EXPECT_EQ(ControlCharFromVirtualKey(13), 13);
  EXPECT_EQ(ControlCharFromVirtualKey(8), 8);
  EXPECT_EQ(ControlCharFromVirtualKey(9), 9);
  EXPECT_EQ(ControlCharFromVirtualKey(27), 27);
  EXPECT_EQ(ControlCharFromVirtualKey(65), 0);
  EXPECT_EQ(ControlCharFromVirtualKey(32), 0) << "space arrives as text input";
}

}  // namespace
