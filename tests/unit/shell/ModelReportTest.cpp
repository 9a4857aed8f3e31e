#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "bots/Bot.h"
#include "bots/MD2Writer.h"
#include "model/Animations.h"
#include "shell/ModelReport.h"

namespace {

namespace fs = std::filesystem;

// A one-triangle model with the frame names given, written to a temporary file.
class ModelReportTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string pattern = (fs::temp_directory_path() / "quarn-report-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    FDir = pattern;
  }
  void TearDown() override { fs::remove_all(FDir); }

  std::string Write(const std::vector<std::string>& frameNames,
                    const std::vector<std::string>& skins)
  {
    quarn::bots::TMD2Content c;
    c.SkinWidth = 64;
    c.SkinHeight = 32;
    c.SkinNames = skins;
    c.TexCoords = {{0, 0}, {64, 0}, {32, 16}};
    c.Triangles = {{{0, 1, 2}, {0, 1, 2}}};
    for (const std::string& name : frameNames) {
      quarn::bots::TMD2RawFrame frame;
      frame.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
      frame.Name = name;
      c.Frames.push_back(frame);
    }
    const std::string path = (FDir / "model.md2").string();
    quarn::bots::SaveBytes(path, quarn::bots::WriteMD2(c));
    return path;
  }

  // The names of a model laid out like most published ones, for its first `count` frames.
  static std::vector<std::string> StandardNames(int count)
  {
    std::vector<std::string> names;
    for (int f = 0; f < count; ++f) {
      if (f < 40)
        names.push_back("stand" + std::string(f < 9 ? "0" : "") + std::to_string(f + 1));
      else if (f < 46)
        names.push_back("run" + std::to_string(f - 39));
      else if (f < 54)
        names.push_back("attack" + std::to_string(f - 45));
      else if (f < 58)
        names.push_back("pain10" + std::to_string(f - 53));
      else if (f < 62)
        names.push_back("pain20" + std::to_string(f - 57));
      else
        names.push_back("x");
    }
    return names;
  }

  fs::path FDir;
};

TEST_F(ModelReportTest, FramesGroupByNameWithoutNumberAndBreakWhereNumberingRestarts)
{
  quarn::bots::TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(Write(StandardNames(199), {})));
  std::vector<std::string> groups;
  for (const quarn::model::TAnimation& g : quarn::model::RecordedAnimations(model))
    groups.push_back(g.Name + " " + std::to_string(g.First) + "-" + std::to_string(g.Last));
  EXPECT_EQ(groups, (std::vector<std::string>{"stand 0-39", "run 40-45", "attack 46-53",
                                              "pain 54-57", "pain_2 58-61", "x 62-198"}));
}

TEST_F(ModelReportTest, BuiltInRangesShowWhereTheModelDiffers)
{
  quarn::bots::TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(Write(StandardNames(199), {})));
  const std::vector<std::string> lines = quarn::shell::AnimationLines(model);
  for (const char* expected : {"  0: 0-39 = stand", "  1: 40-45 = run", "  16: 46-53 = attack",
                               "  18: 45-40 = run", "  2: 54-60 ~ pain+pain_2", "  4: 67-71 ~ x"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;

  ASSERT_TRUE(model.LoadFromFile(Write(StandardNames(42), {})));
  const std::vector<std::string> shorter = quarn::shell::AnimationLines(model);
  EXPECT_NE(std::find(shorter.begin(), shorter.end(), "  1: 40-45 past the last frame 41"),
            shorter.end());
}

TEST_F(ModelReportTest, ModelInfoNamesFileCountsAndRecordedSkins)
{
  quarn::bots::TBot bot;
  EXPECT_EQ(quarn::shell::ModelInfoLines(bot),
            (std::vector<std::string>{"Body: none", "Weapon: none"}));
  const std::string path = Write({"a", "b"}, {"models/x/skin.pcx", "alt.pcx"});
  ASSERT_TRUE(bot.Model().LoadFromFile(path));
  EXPECT_EQ(
      quarn::shell::ModelInfoLines(bot),
      (std::vector<std::string>{"Body: " + path, "  2 frames, 3 vertices, 1 triangles",
                                "  skin size 64x32", "  recorded skins: models/x/skin.pcx, alt.pcx",
                                "  skin in use: none", "Weapon: none"}));
}

TEST_F(ModelReportTest, ModelInfoListsTheSkinNamesTheViewerLooksFor)
{
  const struct {
    size_t Recorded;
    const char* Tail;  // how the line of recorded skins ends
  } cases[] = {{32, "s30, s31"}, {33, "s30, s31 and 1 more"}, {5000, "s30, s31 and 4968 more"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Recorded);
    std::vector<std::string> skins;
    for (size_t i = 0; i < c.Recorded; ++i) skins.push_back("s" + std::to_string(i));
    quarn::bots::TBot bot;
    ASSERT_TRUE(bot.Model().LoadFromFile(Write({"a"}, skins)));
    const std::string line = quarn::shell::ModelInfoLines(bot)[3];
    EXPECT_TRUE(line.starts_with("  recorded skins: s0, s1, ")) << line;
    EXPECT_TRUE(line.ends_with(c.Tail)) << line;
  }
}

}  // namespace
