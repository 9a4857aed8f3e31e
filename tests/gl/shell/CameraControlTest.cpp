// The camera under the user's control: wheel zoom within bounds, pitch short of the poles,
// ResetCamera.
#include <cmath>

#include "BotHostingFixture.h"
#include "platform/Application.h"

namespace {

void Push(const SDL_Event& event)
{
  SDL_Event copy = event;
  ASSERT_EQ(SDL_PushEvent(&copy), 1) << SDL_GetError();
}

void PushWheel(int notches)
{
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = notches;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  Push(event);
}

void PushMotion(int dx, int dy)
{
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  Push(event);
}

float Distance(const quarn::render::TCamera& camera)
{
  const float x = camera.Eye.x - camera.Center.x, y = camera.Eye.y - camera.Center.y,
              z = camera.Eye.z - camera.Center.z;
  return std::sqrt(x * x + y * y + z * z);
}

TEST_F(BotHostingTest, TheWheelZoomsAlongTheLineOfSightWithinBounds)
{
  quarn::platform::Application().ProcessMessages();
  Frame();
  auto& camera = form->Bots().Camera();
  const float start = Distance(camera);
  const struct {
    int Notches;
    float Distance;
  } Steps[] = {{1, start * 0.9f}, {-2, start / 0.9f}, {1, start}, {100, 20}, {-300, 800}};
  for (const auto& step : Steps) {
    PushWheel(step.Notches);
    quarn::platform::Application().ProcessMessages();
    Frame();
    EXPECT_NEAR(Distance(camera), step.Distance, 0.01f) << step.Notches;
    // Still on the start's line of sight: (-200, 70, 0) from the centre.
    EXPECT_NEAR((camera.Eye.y - camera.Center.y) / (camera.Eye.x - camera.Center.x), -0.35f, 1e-4f);
    EXPECT_FLOAT_EQ(camera.Eye.z, 0);
  }
}

TEST_F(BotHostingTest, PitchStopsShortOfLookingStraightDownOrUp)
{
  quarn::platform::Application().ProcessMessages();
  Frame();
  auto& camera = form->Bots().Camera();
  // Level is where the model's up axis, turned by Rotation.y, is square to the line of sight:
  // atan(70 / 200) from the start's eye and centre.
  const float level = std::atan2(70.0f, 200.0f) * 180 / 3.14159265f;
  for (const auto& [dy, limit] : {std::pair{-20000, level + 85}, std::pair{20000, level - 85}}) {
    PushMotion(0, dy);
    quarn::platform::Application().ProcessMessages();
    Frame();
    EXPECT_NEAR(camera.Rotation.y, limit, 0.01f) << dy;
  }
}

TEST_F(BotHostingTest, ResetCameraRestoresTheStartView)
{
  auto& camera = form->Bots().Camera();
  camera.Eye = quarn::render::Vector(1, 2, 3);
  camera.Center = quarn::render::Vector(4, 5, 6);
  camera.Rotation = quarn::render::Vector(7, 8, 9);
  camera.Turn = 10;
  EXPECT_TRUE(Run("ResetCamera").empty());
  EXPECT_FLOAT_EQ(camera.Eye.x, -200);
  EXPECT_FLOAT_EQ(camera.Eye.y, 100);
  EXPECT_FLOAT_EQ(camera.Eye.z, 0);
  EXPECT_FLOAT_EQ(camera.Center.x, 0);
  EXPECT_FLOAT_EQ(camera.Center.y, 30);
  EXPECT_FLOAT_EQ(camera.Center.z, 0);
  EXPECT_FLOAT_EQ(camera.Rotation.x, -90);
  EXPECT_FLOAT_EQ(camera.Rotation.y, 23);
  EXPECT_FLOAT_EQ(camera.Rotation.z, 0);
  EXPECT_FLOAT_EQ(camera.Turn, 0);
}

}  // namespace
