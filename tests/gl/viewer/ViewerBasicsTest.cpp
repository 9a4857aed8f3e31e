// The viewer behaves as viewers do: ResetCamera returns to the framing the model was first
// shown with, pausing before the first frame still shows the first state's first frame, and
// keys typed into the open console stay there (Up and Down recall the history).
#include "ViewerFixture.h"
#include "platform/VirtualKeys.h"

namespace {

struct TView {
  quarn::render::TVector Eye, Center, Rotation;
  float Turn;
  const quarn::render::TVector* Target;
};

TView ViewOf(const quarn::render::TTargetCamera& camera)
{
  return {camera.Eye, camera.Center, camera.Rotation, camera.Turn, camera.Target};
}

void ExpectSameView(const TView& a, const TView& b)
{
  for (const auto& [x, y] : {std::pair{a.Eye, b.Eye}, std::pair{a.Center, b.Center},
                             std::pair{a.Rotation, b.Rotation}}) {
    EXPECT_FLOAT_EQ(x.x, y.x);
    EXPECT_FLOAT_EQ(x.y, y.y);
    EXPECT_FLOAT_EQ(x.z, y.z);
  }
  EXPECT_FLOAT_EQ(a.Turn, b.Turn);
  ASSERT_EQ(a.Target == nullptr, b.Target == nullptr);
  if (a.Target) {
    EXPECT_FLOAT_EQ(a.Target->x, b.Target->x);
    EXPECT_FLOAT_EQ(a.Target->z, b.Target->z);
  }
}

TEST_F(ViewerTest, ResetCameraReturnsToTheViewersStartViewAndTheDemoToItsOwn)
{
  View();
  Frames(2, 10);
  auto& camera = form->Bots().Camera();
  const TView start = ViewOf(camera);
  ASSERT_NE(start.Target, nullptr) << "the viewer frames the model";

  // Turned, zoomed and made to play another group, as a user would before resetting.
  camera.Eye = quarn::render::Vector(1, 2, 3);
  camera.Rotation = quarn::render::Vector(7, 8, 9);
  camera.Turn = 10;
  EXPECT_EQ(Said("Play('jump')"), "");
  Frames(2, 10);
  EXPECT_EQ(Said("ResetCamera"), "");
  ExpectSameView(ViewOf(camera), start);

  // A bot file's bot is seen from the demo's fixed place, also after FitCamera.
  Run("LoadBot('bots/robot/robot.bot')");
  Frames(1, 10);
  Run("FitCamera; ResetCamera");
  EXPECT_EQ(camera.Target, nullptr);
  EXPECT_FLOAT_EQ(camera.Eye.x, -200);
  EXPECT_FLOAT_EQ(camera.Center.y, 30);
  EXPECT_DOUBLE_EQ(camera.ViewVolume.FarPlane, 1000.0);
}

TEST_F(ViewerTest, PausedBeforeTheFirstFrameTheFirstStatesFirstFrameShows)
{
  View();
  Run("DrawPlayback(true)");
  Run("Pause(true)");
  Frames(3, 10);
  quarn::bots::TBot& bot = form->Bots().Bot();
  EXPECT_EQ(bot.Automata().Current(), 0) << "the bot entered its first state";
  EXPECT_EQ(bot.Model().CurrentFrame, 0);
  EXPECT_EQ(form->Bots().FrameNumberText(), "Frame: stand 0 (1/40) 1.00 paused");
}

TEST_F(ViewerTest, KeysTypedIntoTheOpenConsoleStayThereInTheViewerOnly)
{
  namespace vk = quarn::platform;
  auto press = [&](uint16_t key) {
    form->FormKeyDown(key);
    const uint16_t held = form->Bots().KeyState();
    form->FormKeyUp(key);
    return held;
  };
  ASSERT_TRUE(form->Console()->IsOpen());
  // The demo: every key steers the bot, the console's too.
  EXPECT_EQ(press(vk::VK_UP), 1);
  EXPECT_NE(press(vk::VK_NUMPAD0), 0);

  View();
  Enter("About");
  for (uint16_t key : {vk::VK_NUMPAD0, vk::VK_RETURN, vk::VK_UP})
    EXPECT_EQ(press(key), 0) << "key " << key;
  EXPECT_EQ(form->Console()->Lines().back(), ">About") << "Up recalled the last line";
  press(vk::VK_DOWN);
  EXPECT_EQ(form->Console()->Lines().back(), ">");

  // With the console hidden the keys steer the model again.
  form->FormKeyUp(vk::VK_TAB);
  ASSERT_FALSE(form->Console()->IsOpen());
  EXPECT_EQ(press(vk::VK_UP), 1);
}

}  // namespace
