// Keys as the window system delivers them to the main window: Tab and a held Enter.
#include <SDL.h>

#include "MainFormFixture.h"
#include "platform/Application.h"

namespace {

void PushKey(uint32_t type, SDL_Keycode key, bool repeat = false)
{
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = key;
  SDL_PushEvent(&event);
}

using TypingTest = MainFormTest;

TEST_F(TypingTest, TabNeverEntersTheLine)
{
  form->FormKeyPress('a');
  for (int i = 0; i < 2; ++i) {  // closes, then opens the console
    PushKey(SDL_KEYDOWN, SDLK_TAB);
    PushKey(SDL_KEYUP, SDLK_TAB);
    quarn::platform::Application().ProcessMessages();
  }
  EXPECT_TRUE(form->Console()->IsOpen());
  EXPECT_EQ(Lines().back(), ">a");
}

TEST_F(TypingTest, AHeldEnterEntersOneLine)
{
  for (char c : std::string("About")) form->FormKeyPress(c);
  const size_t before = Lines().size();
  PushKey(SDL_KEYDOWN, SDLK_RETURN);
  for (int i = 0; i < 5; ++i) PushKey(SDL_KEYDOWN, SDLK_RETURN, true);
  PushKey(SDL_KEYUP, SDLK_RETURN);
  quarn::platform::Application().ProcessMessages();
  EXPECT_EQ(Lines().size(), before + 4);  // the banner's three lines and one new prompt
  EXPECT_EQ(Lines().back(), ">");
}

}  // namespace
