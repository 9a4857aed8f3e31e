#include "MainFormFixture.h"
#include "platform/Paths.h"

namespace {

// Culling follows the way the model came: on in the viewer, off for a bot file, and the
// command changes it for the models shown until the next one comes.
TEST_F(MainFormTest, CullingIsOnInTheViewerOffForBotFilesAndTheCommandSetsIt)
{
  const std::string robot = quarn::platform::ExeDir() + "bots/robot/robot.md2";
  struct TStep {
    const char* Line;  // a console line, or "view" for the viewer's model
    bool Culling;
  };
  constexpr TStep Steps[] = {
      {"LoadBot('bots/robot/robot.bot')", false},
      {"Culling(true)", true},
      {"LoadBot('bots/robot/robot.bot')", false},
      {"view", true},
      {"Culling(false)", false},
      {"view", true},
  };
  for (const TStep& step : Steps) {
    if (std::string(step.Line) == "view")
      form->Bots().ViewModel({robot, "", "", ""}, *form->Console(), nullptr);
    else
      Run(step.Line);
    const std::vector<std::string> info = Run("ModelInfo");
    ASSERT_FALSE(info.empty()) << step.Line;
    EXPECT_EQ(info.back(), step.Culling ? "Culling: on" : "Culling: off") << step.Line;
    EXPECT_EQ(form->Bots().Bot().Model().Culling, step.Culling) << step.Line;
    EXPECT_EQ(form->Bots().Bot().Weapon().Culling, step.Culling) << step.Line;
  }
}

}  // namespace
