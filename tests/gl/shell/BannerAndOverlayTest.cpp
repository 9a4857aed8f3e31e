// Texts the main window shows: the About banner and the frame-number overlay.
#include "MainFormFixture.h"

namespace {

using BannerAndOverlay = MainFormTest;

TEST_F(BannerAndOverlay, AboutsLinesAreWholeAndFitTheConsole)
{
  const auto printed = Run("About");
  ASSERT_EQ(printed.size(), 3u);
  EXPECT_EQ(printed[1], "Arrows Space Ins Enter; Tab: console");
  for (const std::string& line : printed) EXPECT_LE(line.size(), 38u) << line;
}

TEST_F(BannerAndOverlay, TheFrameNumberShowsNoFrameWithoutABot)
{
  EXPECT_EQ(form->Bots().FrameNumberText(), "Frame:-");
  Run("LoadBot('bots/robot/robot.bot')");
  ASSERT_TRUE(form->Bots().Bot().Active());
  EXPECT_EQ(form->Bots().FrameNumberText(),
            "Frame:" + std::to_string(form->Bots().Bot().Model().CurrentFrame));
}

}  // namespace
