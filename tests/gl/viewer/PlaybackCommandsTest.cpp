// What the model plays, judged by the frame overlay's playback form with the bot's clock a fake
// one: each step is a console line or a viewer key, then some frames of the window.
#include "ViewerFixture.h"
#include "platform/VirtualKeys.h"

namespace {

struct TPlayStep {
  const char* Line;     // a console line; "" for none
  uint16_t Key;         // a key pressed with the console hidden after the line; 0 for none
  int Frames;           // window frames drawn after it, 10 ms of the clock apart
  const char* Overlay;  // the overlay then
  const char* Said;     // what the step's line printed; "" for nothing
};

TEST_F(ViewerTest, PlaybackCommandsChooseFramesPauseStepChangeSpeedAndPlayOnce)
{
  View();
  Frames(2, 10);
  constexpr TPlayStep Steps[] = {
      {"DrawPlayback(true); Play('RUN')", 0, 0, "Frame: run 4 (1/6) 1.00", ""},
      {"Pause", 0, 30, "Frame: run 4 (1/6) 1.00 paused", ""},
      {"Step", 0, 0, "Frame: run 5 (2/6) 1.00 paused", ""},
      {"Step(-2)", 0, 0, "Frame: run 9 (6/6) 1.00 paused", ""},  // wraps to the last
      // Going on from a frame fully reached blends towards the next, a tenth a tick.
      {"Pause(false)", 0, 1, "Frame: run 4 (1/6) 0.00", ""},
      {"", 0, 5, "Frame: run 4 (1/6) 0.50", ""},
      {"Speed(0.5)", 0, 4, "Frame: run 4 (1/6) 0.70 x0.5", ""},
      {"Speed(20)", 0, 0, "Frame: run 4 (1/6) 0.70 x0.5",
       "Speed 20 is not between 0.1 and 10; it stays 0.5"},
      {"Speed(1); Loop(false); Step(-2)", 0, 0, "Frame: run 8 (5/6) 1.00 paused once", ""},
      {"Pause(false)", 0, 1, "Frame: run 9 (6/6) 0.00 once", ""},
      // Played once, the range stops on its last frame.
      {"", 0, 40, "Frame: run 9 (6/6) 1.00 once", ""},
      {"Loop(true); Play(10, 12)", 0, 0, "Frame: frames 10-12 10 (1/3) 1.00", ""},
      {"Play('fly')", 0, 0, "Frame: frames 10-12 10 (1/3) 1.00",
       "Play: the model has no frames named 'fly'; Animations lists them"},
      {"Play(5, 13)", 0, 0, "Frame: frames 10-12 10 (1/3) 1.00",
       "Play: frames 5-13 are not a range of the model's frames 0-12"},
      // The keys: PageDown and PageUp walk the groups, Space pauses, '.' and ',' step, ']'
      // and '[' double and halve the speed.
      {"", quarn::platform::VK_NEXT, 0, "Frame: stand 0 (1/4) 1.00", ""},
      {"", quarn::platform::VK_PRIOR, 0, "Frame: jump 10 (1/3) 1.00", ""},
      {"", quarn::platform::VK_SPACE, 20, "Frame: jump 10 (1/3) 1.00 paused", ""},
      {"", 190, 0, "Frame: jump 11 (2/3) 1.00 paused", ""},
      {"", 188, 0, "Frame: jump 10 (1/3) 1.00 paused", ""},
      {"", 221, 0, "Frame: jump 10 (1/3) 1.00 paused x2", ""},
      {"", 219, 0, "Frame: jump 10 (1/3) 1.00 paused", ""},
      {"", quarn::platform::VK_SPACE, 1, "Frame: jump 11 (2/3) 0.00", ""},
  };
  for (size_t i = 0; i < std::size(Steps); ++i) {
    const TPlayStep& step = Steps[i];
    const std::string said = *step.Line ? Said(step.Line) : "";
    if (step.Key) {
      form->Console()->SetOpen(false);
      form->FormKeyDown(step.Key);
      form->FormKeyUp(step.Key);
      form->Console()->SetOpen(true);
    }
    EXPECT_EQ(said, step.Said) << "step " << i << ": " << step.Line;
    Frames(step.Frames, 10);
    EXPECT_EQ(form->Bots().FrameNumberText(), step.Overlay) << "step " << i << ": " << step.Line;
  }
}

TEST_F(ViewerTest, KeysAndAWeaponThatDoNotFitTheModelAreReportedOnce)
{
  const size_t before = Lines().size();
  quarn::bots::TMD2Content weapon = Pyramid();
  weapon.Frames.resize(5);
  const std::string weaponFile = folder.Path + "weapon.md2";
  ASSERT_TRUE(quarn::bots::SaveBytes(weaponFile, quarn::bots::WriteMD2(weapon)));
  View(weaponFile);
  const std::vector<std::string> said(Lines().begin() + long(before), Lines().end());
  std::string text;
  for (const std::string& line : said) text += line;  // wrapped lines joined again
  EXPECT_EQ(text.find("idle"), std::string::npos);
  EXPECT_NE(text.find(" of 5 animations"), std::string::npos) << text;
  EXPECT_NE(text.find("UP 40-45"), std::string::npos) << text;
  EXPECT_NE(text.find("KP0 165-169"), std::string::npos) << text;
  EXPECT_NE(text.find("Play('name')"), std::string::npos) << text;
  EXPECT_NE(text.find("has 5 frames, the body 13"), std::string::npos) << text;
  // Playing what the model has says nothing more.
  const size_t after = Lines().size();
  Run("Play('stand')");
  Frames(30, 10);
  EXPECT_EQ(Lines().size(), after);
}

}  // namespace
