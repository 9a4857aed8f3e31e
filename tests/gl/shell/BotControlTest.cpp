// Steering the hosted bot: movement keys, animation-file playback, mouse look and the
// frame-number overlay, each frame run by hand on the fake bot clock.
#include <GL/gl.h>

#include "BotHostingFixture.h"
#include "platform/Application.h"
#include "platform/VirtualKeys.h"

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;
namespace vk = quarn::platform;

namespace {

TEST_F(BotHostingTest, HoldingUpRunsAtTheNextFrameAndReleasingItReturnsToIdle)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  ASSERT_EQ(State(), 0);

  KeyDown(vk::VK_UP);
  EXPECT_EQ(form->Bots().KeyState(), 1);
  EXPECT_EQ(State(), 0) << "keys only request; the change happens in a frame";
  Frame();
  EXPECT_EQ(State(), 1);
  EXPECT_EQ(form->Bots().Bot().Model().Animation, 1);  // RUN
  EXPECT_EQ(form->Bots().Bot().Model().CurrentFrame, 40);

  // Auto-repeat sends more key-downs: nothing changes.
  KeyDown(vk::VK_UP);
  Frame();
  EXPECT_EQ(State(), 1);
  EXPECT_EQ(form->Bots().KeyState(), 1);

  KeyUp(vk::VK_UP);
  EXPECT_EQ(form->Bots().KeyState(), 0);
  Frame();
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(form->Bots().Bot().Model().Animation, 0);  // IDLE1
}

TEST_F(BotHostingTest, ANonInterruptibleStateFinishesItsCycleBeforeReturning)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(false)));
  Frame();
  KeyDown(vk::VK_UP);
  Frame();
  ASSERT_EQ(State(), 1);
  KeyUp(vk::VK_UP);

  int32_t lastFrameInRun = -1;
  const int frames = FramesUntil([&] {
    if (State() != 1) return true;
    lastFrameInRun = form->Bots().Bot().Model().CurrentFrame;
    return false;
  });
  ASSERT_NE(frames, -1) << "never returned to idle";
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(lastFrameInRun, 45) << "left the running state before the end of its cycle (40..45)";
  EXPECT_GT(frames, 5 * 10) << "five keyframe steps of ten ticks each come first";
}

TEST_F(BotHostingTest, AStateForTwoKeysIsSelectedOnlyWhileBothAreHeld)
{
  LoadBot(WriteBot("jump.bot",
                   "LoadMD2('bots/robot/robot.md2');\r\n"
                   "AddState(0, 'Idle', KEY_NONE, IDLE1, true);\r\n"
                   "AddState(1, 'Run', KEY_FORWARD, RUN, true);\r\n"
                   "AddState(2, 'RunJump', KEY_FORWARD + KEY_JUMP, JUMP, true);\r\n"
                   "AddNextState(0, 1); AddNextState(0, 2);\r\n"
                   "AddNextState(1, 0); AddNextState(1, 2);\r\n"
                   "AddNextState(2, 0); AddNextState(2, 1);\r\n"));
  Frame();

  KeyDown(vk::VK_SPACE);
  EXPECT_EQ(form->Bots().KeyState(), 128);
  Frame();
  EXPECT_EQ(State(), 0) << "jump alone selects nothing";

  KeyDown(vk::VK_UP);
  EXPECT_EQ(form->Bots().KeyState(), 129);
  Frame();
  EXPECT_EQ(State(), 2);
  EXPECT_EQ(form->Bots().Bot().Model().Animation, 4);  // JUMP

  KeyUp(vk::VK_SPACE);
  EXPECT_EQ(form->Bots().KeyState(), 1);
  Frame();
  EXPECT_EQ(State(), 1);
}

TEST_F(BotHostingTest, ReleasingOneOfTwoKeysKeepsTheOther)
{
  LoadBot("bots/robot/robot.bot");
  Frame();

  KeyDown(vk::VK_NUMPAD0);
  Frame();
  EXPECT_EQ(State(), 4);  // Crouch
  KeyDown(vk::VK_UP);
  EXPECT_EQ(form->Bots().KeyState(), 257);
  Frame();
  EXPECT_EQ(State(), 5);  // CrouchWalk

  KeyUp(vk::VK_NUMPAD0);
  EXPECT_EQ(form->Bots().KeyState(), 1) << "only the crouch bit is cleared";
  Frame();
  EXPECT_EQ(State(), 5) << "forward alone is no next state of crouch walk: the bot keeps going";

  KeyDown(vk::VK_NUMPAD0);
  KeyUp(vk::VK_UP);
  EXPECT_EQ(form->Bots().KeyState(), 256);
  Frame();
  EXPECT_EQ(State(), 4);
  KeyUp(vk::VK_NUMPAD0);
  Frame();
  EXPECT_EQ(State(), 0);
}

// Keys without an action leave the mask alone but hand it to the bot again. The user holds
// Down, then playback requests Run; another key passes the held mask again, so the bot runs
// backwards instead.
struct TUnmappedKey {
  const char* Name;
  uint16_t Key;
  bool Down;  // pressed, or else released
};

class UnmappedKeyTest : public BotHostingTest,
                        public ::testing::WithParamInterface<TUnmappedKey> {};

TEST_P(UnmappedKeyTest, PassesTheHeldMaskToTheBotAgain)
{
  const uint16_t key = GetParam().Key;
  const bool down = GetParam().Down;
  LoadBot("bots/robot/robot.bot");
  Frame();
  KeyDown(vk::VK_DOWN);
  Run("LoadAnimationFile('" + WriteFile("run.anim", "1\n0\n0\n") + "')");
  ASSERT_EQ(Requested(), 1);

  if (down)
    KeyDown(key);
  else
    KeyUp(key);
  EXPECT_EQ(form->Bots().KeyState(), 2);
  EXPECT_EQ(Requested(), 2);
  Frame();
  EXPECT_EQ(State(), 2);  // RunBack
}

INSTANTIATE_TEST_SUITE_P(Keys, UnmappedKeyTest,
                         ::testing::Values(TUnmappedKey{"letter_a_down", 'A', true},
                                           TUnmappedKey{"letter_a_up", 'A', false},
                                           TUnmappedKey{"left_arrow_down", vk::VK_LEFT, true},
                                           TUnmappedKey{"tab_down", vk::VK_TAB, true},
                                           TUnmappedKey{"tab_up", vk::VK_TAB, false},
                                           TUnmappedKey{"escape_up", vk::VK_ESCAPE, false},
                                           TUnmappedKey{"code_300_down", 300, true}),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST_F(BotHostingTest, EnterSetsThePrimaryAttackBitWhileTheConsoleTakesTheLine)
{
  LoadBot("bots/robot/robot.bot");
  Frame();
  KeyDown(vk::VK_RETURN);
  EXPECT_EQ(form->Bots().KeyState(), 512);
  Frame();
  EXPECT_EQ(State(), 6);  // Shoot
  KeyUp(vk::VK_RETURN);
  EXPECT_EQ(form->Bots().KeyState(), 0);
}

// Lines 1, 0, then a last line that is never applied.
struct TAnimationFile {
  const char* Name;
  const char* Text;
};

class AnimationFileTest : public BotHostingTest,
                          public ::testing::WithParamInterface<TAnimationFile> {};

TEST_P(AnimationFileTest, FeedsOneAtOnceThenZeroAtTheNextStateChangeAndNeverTheLastLine)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  ASSERT_EQ(State(), 0);

  const std::string path = WriteFile("walk.anim", GetParam().Text);
  EXPECT_TRUE(Run("LoadAnimationFile('" + path + "')").empty());
  EXPECT_TRUE(form->Bots().AnimPlaying());
  EXPECT_EQ(form->Bots().AnimIndex(), 1);
  EXPECT_EQ(Requested(), 1) << "the first line is applied at once";
  EXPECT_EQ(State(), 0);

  Frame();
  EXPECT_EQ(State(), 1);
  EXPECT_EQ(Requested(), 0) << "entering Run applied the second line";
  EXPECT_EQ(form->Bots().AnimIndex(), 2);
  EXPECT_TRUE(form->Bots().AnimPlaying());

  Frame();
  EXPECT_EQ(State(), 0);
  EXPECT_FALSE(form->Bots().AnimPlaying())
      << "the state change after the second line ends playback";
  EXPECT_EQ(form->Bots().AnimIndex(), 2);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(State(), 0) << "the last line is never applied";
}

INSTANTIATE_TEST_SUITE_P(LastLines, AnimationFileTest,
                         ::testing::Values(TAnimationFile{"line_feeds", "1\n0\n0\n"},
                                           TAnimationFile{"no_end_after_the_last_line",
                                                          "1\r\n0\r\n0"},
                                           TAnimationFile{"carriage_returns", "1\r0\r1\r"},
                                           TAnimationFile{"space_and_hexadecimal", " 1\n$0\n1"}),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST_F(BotHostingTest, AnAnimationFileOfOneLinePlaysNothing)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  EXPECT_TRUE(Run("LoadAnimationFile('" + WriteFile("one.anim", "1\n") + "')").empty());
  EXPECT_FALSE(form->Bots().AnimPlaying());
  EXPECT_EQ(Requested(), 0);
  Frame();
  EXPECT_EQ(State(), 0);
}

TEST_F(BotHostingTest, AMissingAnimationFileIsARuntimeErrorAndChangesNothing)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  Run("LoadAnimationFile('" + WriteFile("run.anim", "1\n0\n1\n0\n") + "')");
  ASSERT_EQ(form->Bots().AnimIndex(), 1);

  const std::string missing = scratch + "none.anim";
  const auto printed = Run("LoadAnimationFile('" + missing + "')");
  ASSERT_FALSE(printed.empty());
  EXPECT_THAT(printed[0], StartsWith("Runtimeerror: "));
  EXPECT_THAT(Joined(printed), HasSubstr("Animation file" + missing + " not found"));
  EXPECT_TRUE(form->Bots().AnimPlaying());
  EXPECT_EQ(form->Bots().AnimIndex(), 1);
  Frame();
  EXPECT_EQ(form->Bots().AnimIndex(), 2) << "the earlier file plays on";
}

TEST_F(BotHostingTest, ABadFirstLineIsAConsoleErrorAndPlaybackStaysOnAtTheStart)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  const auto printed = Run("LoadAnimationFile('" + WriteFile("bad.anim", "x\n1\n0\n") + "')");
  ASSERT_FALSE(printed.empty());
  EXPECT_THAT(printed[0], StartsWith("Runtimeerror: "));
  EXPECT_THAT(Joined(printed), HasSubstr("'x' is not a valid integer value"));
  EXPECT_TRUE(form->Bots().AnimPlaying());
  EXPECT_EQ(form->Bots().AnimIndex(), 0);
  EXPECT_EQ(Requested(), 0);
  Frame();
  EXPECT_EQ(State(), 0);

  // The next state change tries the bad line again, inside the frame.
  KeyDown(vk::VK_UP);
  EXPECT_THROW(Frame(), std::exception);
  EXPECT_EQ(form->Bots().AnimIndex(), 0);
}

TEST_F(BotHostingTest, ABadLaterLineFailsTheFrameAtEachStateChangeWithoutAdvancing)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  Run("LoadAnimationFile('" + WriteFile("bad.anim", "1\nx\n0\n") + "')");
  ASSERT_EQ(Requested(), 1);

  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      Frame();
      ADD_FAILURE() << "the frame entering a state did not fail";
    } catch (const std::exception& error) {
      EXPECT_THAT(error.what(), HasSubstr("'x' is not a valid integer value"));
    }
    EXPECT_EQ(form->Bots().AnimIndex(), 1);
    EXPECT_TRUE(form->Bots().AnimPlaying());
    // Entering Run failed; releasing no key requests Idle: the next state change tries again.
    KeyUp(vk::VK_UP);
  }
  EXPECT_EQ(State(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(Frame()) << "frames without a state change go on";
}

TEST_F(BotHostingTest, ANewBotTakesOverPlaybackWhereItWas)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  Run("LoadAnimationFile('" + WriteFile("walk.anim", "1\n0\n1\n0\n") + "')");
  Frame();
  ASSERT_EQ(form->Bots().AnimIndex(), 2);

  LoadBot(WriteBot("run2.bot", IdleRunBot(true)));
  EXPECT_TRUE(form->Bots().AnimPlaying());
  EXPECT_EQ(form->Bots().AnimIndex(), 2);
  Frame();  // the new bot enters state 0 and applies line 2
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(form->Bots().AnimIndex(), 3);
  EXPECT_EQ(Requested(), 1);
  Frame();
  EXPECT_EQ(State(), 1);
  EXPECT_FALSE(form->Bots().AnimPlaying());
}

TEST_F(BotHostingTest, AFrameSoundMissingFromTheSoundSetFailsEachFrameThatReachesIt)
{
  const auto printed =
      LoadBot(WriteBot("step.bot", IdleRunBot(true) + "PrecacheSet('bots/robot/robot.snd');\r\n"
                                                      "SetSound(42, 'step', false);\r\n"
                                                      "SetSound(44, 'footstep', false);\r\n"));
  ASSERT_EQ(printed.back(), "Bot file step.bot compiled");
  Frame();
  KeyDown(vk::VK_UP);
  Frame();
  ASSERT_EQ(State(), 1);

  int failures = 0;
  for (int i = 0; i < 200; ++i) {
    try {
      Frame();
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "Wave 'step' not found");
      EXPECT_EQ(form->Bots().Bot().Model().CurrentFrame, 42);
      ++failures;
    }
  }
  EXPECT_GE(failures, 2) << "every pass through frame 42 fails again";
  EXPECT_EQ(State(), 1) << "the bot runs on";
}

TEST_F(BotHostingTest, TheCameraStartsBehindTheBotLookingAtItsMiddle)
{
  auto& camera = form->Bots().Camera();
  EXPECT_FLOAT_EQ(camera.Eye.x, -200);
  EXPECT_FLOAT_EQ(camera.Eye.y, 100);
  EXPECT_FLOAT_EQ(camera.Eye.z, 0);
  EXPECT_FLOAT_EQ(camera.Center.y, 30);
  EXPECT_FLOAT_EQ(camera.Rotation.x, -90);
  EXPECT_FLOAT_EQ(camera.Rotation.y, 23);
  EXPECT_FLOAT_EQ(camera.Turn, 0);
  EXPECT_TRUE(camera.LookAtFirst);
  EXPECT_EQ(camera.ViewVolume.ViewportWidth, 640);
  EXPECT_EQ(camera.ViewVolume.ViewportHeight, 480);
}

void PushMouseMotion(int dx, int dy)
{
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

TEST_F(BotHostingTest, MouseMotionTurnsTheCameraByAFifthOfADegreePerFourPixels)
{
  quarn::platform::Application().ProcessMessages();
  Frame();  // takes whatever motion the window system produced so far
  auto& camera = form->Bots().Camera();
  const float turn = camera.Turn, aboutY = camera.Rotation.y, aboutX = camera.Rotation.x;

  PushMouseMotion(-60, 0);  // 100 px to the left, in two moves within one frame
  PushMouseMotion(-40, 0);
  quarn::platform::Application().ProcessMessages();
  Frame();
  EXPECT_FLOAT_EQ(camera.Turn, turn + 5);
  EXPECT_FLOAT_EQ(camera.Rotation.y, aboutY);

  camera.Rotation.z = 7;
  PushMouseMotion(0, -20);  // 20 px up
  quarn::platform::Application().ProcessMessages();
  Frame();
  EXPECT_FLOAT_EQ(camera.Rotation.y, aboutY + 1);
  EXPECT_FLOAT_EQ(camera.Rotation.x, aboutX);
  EXPECT_FLOAT_EQ(camera.Rotation.z, 0) << "the rotation about z is always reset";
  EXPECT_FLOAT_EQ(camera.Turn, turn + 5);

  PushMouseMotion(100, 20);
  quarn::platform::Application().ProcessMessages();
  Frame();
  EXPECT_FLOAT_EQ(camera.Turn, turn);
  EXPECT_FLOAT_EQ(camera.Rotation.y, aboutY);
  Frame();
  EXPECT_FLOAT_EQ(camera.Turn, turn) << "motion counts once";
}

// Non-black pixels of the last frame in a rectangle given in window coordinates (y down).
int LitPixels(int x0, int y0, int width, int height)
{
  std::vector<unsigned char> pixels(static_cast<size_t>(width * height * 4));
  // The software renderer of the test display keeps the frame in the back buffer after the swap.
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x0, 480 - y0 - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  int lit = 0;
  for (size_t i = 0; i < pixels.size(); i += 4)
    lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
  return lit;
}

TEST_F(BotHostingTest, DrawFrameNumberShowsTheOverlayAtRowSeventeenAlsoWithoutABot)
{
  EXPECT_FALSE(form->Bots().ShowFrameNumber());
  Frame();
  EXPECT_EQ(LitPixels(0, 408, 150, 32), 0);

  EXPECT_TRUE(Run("DrawFrameNumber(true)").empty());
  EXPECT_TRUE(form->Bots().ShowFrameNumber());
  Frame();
  EXPECT_GT(LitPixels(0, 408, 150, 32), 20);
  EXPECT_EQ(LitPixels(0, 440, 150, 40), 0) << "nothing below row 17";

  Run("DrawFrameNumber(false)");
  EXPECT_FALSE(form->Bots().ShowFrameNumber());
  Frame();
  EXPECT_EQ(LitPixels(0, 408, 150, 32), 0);
}

TEST_F(BotHostingTest, TheFrameNumberFollowsTheBodyModel)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Run("DrawFrameNumber(true)");
  Frame();
  const int shownAtStart = LitPixels(0, 408, 150, 32);
  EXPECT_GT(shownAtStart, 20);
  // Idle runs through frames 0..39: one-digit and two-digit numbers differ in width.
  ASSERT_NE(FramesUntil([&] { return form->Bots().Bot().Model().CurrentFrame >= 10; }), -1);
  EXPECT_GT(LitPixels(0, 408, 150, 32), shownAtStart);
}

// A key pressed and released between two frames: the bot plays the key's state once and
// returns to idle, whether the state finishes its cycle first or not.
struct TKeyTap {
  const char* Name;
  uint16_t Key;
  int32_t State;
};

class KeyTapTest : public BotHostingTest, public ::testing::WithParamInterface<TKeyTap> {};

TEST_P(KeyTapTest, PlaysTheStateOnceThenReturnsToIdle)
{
  LoadBot("bots/robot/robot.bot");
  Frame();
  KeyDown(GetParam().Key);
  KeyUp(GetParam().Key);
  EXPECT_EQ(form->Bots().KeyState(), 0);

  std::vector<int32_t> visited;
  for (int n = 0; n < 600; ++n) {
    Frame();
    if (visited.empty() || visited.back() != State()) visited.push_back(State());
  }
  EXPECT_EQ(visited, (std::vector<int32_t>{GetParam().State, 0}));
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyTapTest,
                         ::testing::Values(TKeyTap{"space_jumps", vk::VK_SPACE, 3},
                                           TKeyTap{"enter_shoots", vk::VK_RETURN, 6},
                                           TKeyTap{"keypad_0_crouches", vk::VK_NUMPAD0, 4}),
                         [](const auto& param) { return std::string(param.param.Name); });

// Masks handed over before the bot's first frame: each counts from the bot's first state, so
// the bot (Idle, Run) runs at its second frame. An animation file goes on with its second line.
enum TEarlyStep { LoadBotLine, LoadBotWithAnimationLine, AnimationLine, PressUp };

struct TEarlyMasks {
  const char* Name;
  std::vector<TEarlyStep> Steps;
};

class EarlyMaskTest : public BotHostingTest, public ::testing::WithParamInterface<TEarlyMasks> {};

TEST_P(EarlyMaskTest, CountFromTheBotsFirstState)
{
  const std::string bot = WriteBot("run.bot", IdleRunBot(true));
  const std::string animation = "LoadAnimationFile('" + WriteFile("run.anim", "1\n0\n0\n") + "')";
  for (TEarlyStep step : GetParam().Steps) {
    switch (step) {
      case LoadBotLine: LoadBot(bot); break;
      case LoadBotWithAnimationLine: Run("LoadBot('" + bot + "'); " + animation); break;
      case AnimationLine: Run(animation); break;
      case PressUp: KeyDown(vk::VK_UP); break;
    }
  }
  ASSERT_TRUE(form->Bots().Bot().Active());
  Frame();
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(Requested(), 1);
  Frame();
  EXPECT_EQ(State(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, EarlyMaskTest,
    ::testing::Values(TEarlyMasks{"animation_file_in_the_load_bot_line",
                                  {LoadBotWithAnimationLine}},
                      TEarlyMasks{"animation_file_before_the_bot", {AnimationLine, LoadBotLine}},
                      TEarlyMasks{"key_pressed_after_the_load", {LoadBotLine, PressUp}},
                      TEarlyMasks{"key_held_during_the_load", {PressUp, LoadBotLine}}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(BotHostingTest, AnAnimationFileInTheLoadBotLinePlaysEveryLineButTheLast)
{
  const std::string anim = WriteFile("walk.anim", "1\n0\n1\n0\n");
  Run("LoadBot('" + WriteBot("run.bot", IdleRunBot(true)) + "'); LoadAnimationFile('" + anim +
      "')");
  std::vector<int32_t> visited;
  for (int n = 0; n < 10; ++n) {
    Frame();
    if (visited.empty() || visited.back() != State()) visited.push_back(State());
  }
  EXPECT_EQ(visited, (std::vector<int32_t>{0, 1, 0, 1, 0}));
  EXPECT_FALSE(form->Bots().AnimPlaying());
}

// Files that are no animation files are refused in one line naming them, and whatever was
// playing goes on.
TEST_F(BotHostingTest, AFileThatIsNotTextIsRefusedInOneLine)
{
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  Run("LoadAnimationFile('" + WriteFile("walk.anim", "1\n0\n1\n0\n") + "')");
  ASSERT_EQ(form->Bots().AnimIndex(), 1);

  const std::string binaries[] = {std::string("1\n\0\0\0\x7f"
                                              "ELF\n0\n",
                                              12) +
                                      std::string(3000, '\x01'),
                                  "1\n0\n\x1b[31m\n0\n"};
  for (const std::string& bytes : binaries) {
    const std::string path = WriteFile("binary.anim", bytes);
    // One message, wrapped to the console's width: the bytes themselves are not shown.
    const std::string printed = Joined(Run("LoadAnimationFile('" + path + "')"));
    EXPECT_THAT(printed,
                MatchesRegex("Runtimeerror: Animation file " + path +
                             " is not a text file; it was not played \\[Position [0-9]+\\]"));
    EXPECT_EQ(form->Bots().AnimIndex(), 1);
    EXPECT_EQ(Requested(), 1);
  }
}

// A line that is no mask: the error is the conversion's own, quoting at most forty of its
// characters; the line below it names the file and the line.
struct TBadAnimationLine {
  const char* Name;
  std::string Text;
  int FramesBefore;  // frames run before the message (0: at LoadAnimationFile)
  std::string Message;
  std::string Line;
};

class BadAnimationLineTest : public BotHostingTest,
                             public ::testing::WithParamInterface<TBadAnimationLine> {};

TEST_P(BadAnimationLineTest, NamesTheFileAndTheLine)
{
  const TBadAnimationLine& c = GetParam();
  LoadBot(WriteBot("run.bot", IdleRunBot(true)));
  Frame();
  const std::string path = WriteFile("bad.anim", c.Text);
  std::vector<std::string> printed = Run("LoadAnimationFile('" + path + "')");
  for (int n = 0; n < c.FramesBefore && printed.empty(); ++n) {
    try {
      Frame();
    } catch (const std::exception& error) {
      // A frame's error is reported by the window, which asks for the reason line.
      printed = {error.what(), "  " + form->Bots().TakeFailureReason(error.what())};
    }
  }
  const std::string error = c.FramesBefore == 0 ? "Runtimeerror: " + c.Message + " [Position 1]"
                                                : c.Message;
  EXPECT_EQ(Joined(printed), error + "  Animation file " + path + " " + c.Line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadAnimationLineTest,
    ::testing::Values(
        TBadAnimationLine{"first", "x\n1\n0\n", 0, "'x' is not a valid integer value", "line 1"},
        TBadAnimationLine{"third", "1\n0\ny\n0\n", 5, "'y' is not a valid integer value",
                          "line 3"},
        TBadAnimationLine{"third_after_carriage_returns", "1\r0\ry\r0\r", 5,
                          "'y' is not a valid integer value", "line 3"},
        TBadAnimationLine{"long", std::string(2000, 'z') + "\n0\n", 0,
                          "'" + std::string(40, 'z') + "...' is not a valid integer value",
                          "line 1"}),
    [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
