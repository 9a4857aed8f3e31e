#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "MainFormFixture.h"
#include "bots/MD2Writer.h"
#include "platform/Paths.h"

namespace {

namespace fs = std::filesystem;

// Screenshots are saved from the next frame drawn; the tests run in a fresh current folder.
class ScreenshotTest : public MainFormTest {
protected:
  void SetUp() override
  {
    std::string pattern = (fs::temp_directory_path() / "quarn-shots-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    FDir = pattern;
    FOld = fs::current_path();
    fs::current_path(FDir);
    MainFormTest::SetUp();
  }
  void TearDown() override
  {
    MainFormTest::TearDown();
    fs::current_path(FOld);
    fs::remove_all(FDir);
  }
  // Draws a frame; the console lines it printed, joined where they were wrapped.
  std::string Frame()
  {
    const size_t before = Lines().size();
    form->GLTimerTimer(form->GLTimer(), 0);
    std::string text;
    for (size_t i = before; i < Lines().size(); ++i) text += Lines()[i];
    return text;
  }

  fs::path FDir, FOld;
};

TEST_F(ScreenshotTest, CommandSavesTheNextFrameOrSaysWhyNot)
{
  EXPECT_TRUE(Run("Screenshot('shot.png')").empty());
  EXPECT_EQ(Frame(), "Screenshot saved to shot.png");
  EXPECT_GT(fs::file_size("shot.png"), 100u);

  Run("Screenshot('no/such/x.png')");
  EXPECT_EQ(Frame(), "Screenshot not saved: no/such/x.png: No such file or directory");
  EXPECT_EQ(Run("Screenshot('')"), std::vector<std::string>{"Screenshot: a file name is needed"});
}

TEST_F(ScreenshotTest, F12NumbersFilesAndNeverReplacesOne)
{
  std::ofstream("quarn-0001.png") << "mine";
  form->FormKeyDown(123);
  form->FormKeyUp(123);
  EXPECT_EQ(Frame(), "Screenshot saved to " + (FDir / "quarn-0002.png").string());
  form->FormKeyUp(123);
  Frame();
  EXPECT_EQ(fs::file_size("quarn-0001.png"), 4u);
  EXPECT_TRUE(fs::exists("quarn-0003.png"));
}

TEST_F(ScreenshotTest, ModelCommandsWithoutAModelSayItAndFramingFails)
{
  EXPECT_EQ(Run("ModelInfo"), (std::vector<std::string>{"Body: none", "Weapon: none"}));
  EXPECT_EQ(Run("Animations"), std::vector<std::string>{"No model loaded"});
  EXPECT_EQ(Run("FitCamera"), std::vector<std::string>{"FitCamera: no model is loaded"});
  Run("LoadBot('bots/robot/robot.bot')");
  EXPECT_TRUE(Run("FitCamera").empty());
  EXPECT_EQ(form->Bots().Camera().Turn, 180.0f);
}

// A weapon that cannot be loaded is left out and a skin that cannot be read leaves the model
// untextured: the viewed body is still shown, and the console says what happened.
TEST_F(ScreenshotTest, ViewerShowsTheBodyWhatEverElseFails)
{
  std::ofstream("junk.tga") << "not an image";
  const std::string robot = quarn::platform::ExeDir() + "bots/robot/robot.md2";
  const size_t before = Lines().size();
  form->Bots().ViewModel({robot, "junk.tga", "missing.md2", ""}, *form->Console(), nullptr);
  std::string text;
  for (size_t i = before; i < Lines().size(); ++i) text += Lines()[i];
  EXPECT_NE(text.find("Weapon model missing.md2 not found; the model is shown without it"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("The skins could not be loaded; the models are drawn untextured"),
            std::string::npos)
      << text;
  EXPECT_TRUE(form->Bots().Bot().Active());
  EXPECT_FALSE(form->Bots().Bot().HasWeapon());
  Frame();
  EXPECT_EQ(form->Bots().Camera().Turn, 180.0f);  // framed after the first frame
}

// A model recording more skin names than are looked for: the console says how many were left
// out, lists what was tried, and the model is shown untextured.
TEST_F(ScreenshotTest, ViewerLooksForTheFirstRecordedSkinNamesOnly)
{
  quarn::bots::TMD2Content content;
  content.TexCoords = {{0, 0}, {64, 0}, {32, 16}};
  content.Triangles = {{{0, 1, 2}, {0, 1, 2}}};
  quarn::bots::TMD2RawFrame frame;
  frame.Vertices = {{0, 0, 0}, {9, 0, 0}, {0, 9, 0}};
  content.Frames.assign(199, frame);
  for (int i = 0; i < 5000; ++i) content.SkinNames.push_back("s" + std::to_string(i));
  ASSERT_TRUE(quarn::bots::SaveBytes("many.md2", quarn::bots::WriteMD2(content)));
  const size_t before = Lines().size();
  form->Bots().ViewModel({"many.md2", "", "", ""}, *form->Console(), nullptr);
  std::string text;
  for (size_t i = before; i < Lines().size(); ++i) text += Lines()[i];
  EXPECT_NE(text.find("Skin names: 4968 more recorded in many.md2 were not looked for (only the "
                      "first 32 are)"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  s31.wal"), std::string::npos);
  EXPECT_EQ(text.find("s32.pcx"), std::string::npos);
  EXPECT_TRUE(form->Bots().Bot().Active());
}

}  // namespace
