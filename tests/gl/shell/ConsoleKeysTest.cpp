// The console's editing keys and Help, through the window's real key events.
#include <strings.h>

#include "MainFormFixture.h"
#include "platform/Application.h"

using ::testing::ElementsAre;

namespace {

class ConsoleKeysTest : public MainFormTest {
protected:
  // A key pressed and released as the window system reports it, Ctrl held or not.
  void Press(SDL_Keycode key, bool ctrl = false)
  {
    for (const Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
      SDL_Event event{};
      event.type = type;
      event.key.keysym.sym = key;
      event.key.keysym.mod = ctrl ? KMOD_LCTRL : KMOD_NONE;
      ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    quarn::platform::Application().ProcessMessages();
  }
  void Type(const std::string& text)
  {
    for (char c : text) form->FormKeyPress(c);
  }
  const std::string& Input() { return Lines().back(); }
};

TEST_F(ConsoleKeysTest, EditingHistoryScrollAndClearKeys)
{
  Enter("DrawFPS(false)");
  Enter("About");
  Type("Abut");
  Press(SDLK_LEFT);
  Press(SDLK_LEFT);
  Type("o");
  Press(SDLK_HOME);
  Press(SDLK_DELETE);
  Press(SDLK_END);
  Type("!");
  EXPECT_EQ(Input(), ">bout!");

  Press(SDLK_UP, true);
  EXPECT_EQ(Input(), ">About");
  Press(SDLK_UP, true);
  EXPECT_EQ(Input(), ">DrawFPS(false)");
  Press(SDLK_DOWN, true);
  Press(SDLK_DOWN, true);
  EXPECT_EQ(Input(), ">bout!");
  EXPECT_EQ(form->Bots().KeyState(), 0) << "Ctrl+Up and Ctrl+Down do not move the bot";

  // Plain Up and Down stay movement keys and leave the line alone.
  SDL_Event up{};
  up.type = SDL_KEYDOWN;
  up.key.keysym.sym = SDLK_UP;
  ASSERT_EQ(SDL_PushEvent(&up), 1);
  quarn::platform::Application().ProcessMessages();
  EXPECT_EQ(form->Bots().KeyState(), 1);
  EXPECT_EQ(Input(), ">bout!");
  up.type = SDL_KEYUP;
  ASSERT_EQ(SDL_PushEvent(&up), 1);
  quarn::platform::Application().ProcessMessages();

  Press(SDLK_HOME);
  for (int i = 0; i < 5; ++i) Press(SDLK_DELETE);
  Enter("for i := 1 to 10 do About");
  Press(SDLK_PAGEUP);
  EXPECT_TRUE(form->Console()->Scrolled());
  Press(SDLK_PAGEDOWN);
  EXPECT_FALSE(form->Console()->Scrolled());

  Press(SDLK_l, true);
  Type("x");
  Press(SDLK_l, true);
  EXPECT_THAT(Lines(), ElementsAre(">x")) << "Ctrl+L keeps only the input line";
}

TEST_F(ConsoleKeysTest, HelpListsEveryCommandAndDescribesOne)
{
  const auto all = Run("Help");
  const char* const names[] = {"Quit",    "LoadBot",         "About",
                               "ConDump", "GLRenderer",      "GLExtensions",
                               "DrawFPS", "DrawFrameNumber", "LoadAnimationFile",
                               "Help",    "ResetCamera"};
  for (const char* name : names) {
    const auto found = std::find_if(all.begin(), all.end(), [&](const std::string& line) {
      return strncasecmp(line.c_str(), name, strlen(name)) == 0 &&
             line.find(": ") != std::string::npos;
    });
    EXPECT_NE(found, all.end()) << name;
  }
  for (const std::string& line : all) EXPECT_LE(line.size(), 39u) << line;

  EXPECT_THAT(Run("Help('loadbot')"), ElementsAre("LoadBot('x.bot'): load a bot file"));
  EXPECT_THAT(Run("Help('Frobnicate')"), ElementsAre("No command Frobnicate; Help lists them"));
}

}  // namespace
