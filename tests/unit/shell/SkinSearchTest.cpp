#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/Skins.h"
#include "shell/ModelViewer.h"

namespace {

namespace fs = std::filesystem;
using quarn::model::FindSkin;

// Runs in a fresh folder that is the current directory; the model is m/box.md2.
class SkinSearchTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string pattern = (fs::temp_directory_path() / "quarn-skins-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    FDir = pattern;
    FOld = fs::current_path();
    fs::current_path(FDir);
    fs::create_directories("m");
    fs::create_directories("pak/skins");
  }
  void TearDown() override
  {
    fs::current_path(FOld);
    fs::remove_all(FDir);
  }
  static void Touch(const std::string& name) { std::ofstream(name) << "x"; }

  fs::path FDir, FOld;
};

struct TCase {
  const char* Title;
  std::vector<std::string> Files;
  std::vector<std::string> Recorded;
  std::string Found;
  size_t Refused;
};

TEST_F(SkinSearchTest, FirstRecordedNameWhoseFileExistsWins)
{
  const TCase cases[] = {
      {"recorded path from the current directory",
       {"pak/skins/red.pcx", "m/red.pcx"},
       {"pak/skins/red.pcx"},
       "pak/skins/red.pcx",
       0},
      {"base name beside the model", {"m/red.pcx"}, {"players/x/red.pcx"}, "m/red.pcx", 0},
      {"recorded extension missing: other image kinds",
       {"m/red.tga", "m/red.wal"},
       {"players/x/red.pcx"},
       "m/red.tga",
       0},
      {"extension case does not repeat the recorded one",
       {"m/red.jpg"},
       {"red.PCX"},
       "m/red.jpg",
       0},
      {"no extension recorded; backslashes", {"m/red.bmp"}, {"players\\x\\red"}, "m/red.bmp", 0},
      {"second name when the first has no file",
       {"m/blue.pcx"},
       {"red.pcx", "blue.pcx"},
       "m/blue.pcx",
       0},
      {"model's own base name last", {"m/box.jpg"}, {"red.pcx"}, "m/box.jpg", 0},
      {"a PNG for a recorded PCX", {"m/red.png"}, {"players/x/red.pcx"}, "m/red.png", 0},
      {"'..' is not followed, its base name is",
       {"red.pcx", "m/red.pcx"},
       {"../red.pcx"},
       "m/red.pcx",
       1},
      {"'..' inside the path", {"pak/skins/red.pcx"}, {"m/../pak/skins/red.pcx"}, "", 1},
      {"absolute path is not followed", {"m/passwd.tga"}, {"/etc/passwd"}, "m/passwd.tga", 1},
      {"a folder is not an image", {"m/red.pcx/x"}, {"red.pcx"}, "", 0},
      {"empty names are skipped", {}, {"", ""}, "", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Title);
    fs::remove_all("m");
    fs::remove_all("pak");
    fs::remove("red.pcx");
    fs::create_directories("m");
    for (const std::string& file : c.Files) {
      fs::create_directories(fs::path(file).parent_path().empty() ? "."
                                                                  : fs::path(file).parent_path());
      Touch(file);
    }
    const quarn::model::TSkinSearch result = FindSkin("m/box.md2", c.Recorded);
    EXPECT_EQ(result.Found, c.Found);
    EXPECT_EQ(result.Refused.size(), c.Refused);
  }
}

TEST_F(SkinSearchTest, NothingFoundListsEveryNameTriedOnce)
{
  const quarn::model::TSkinSearch result = FindSkin("m/box.md2", {"red.pcx", "red.tga"});
  EXPECT_EQ(result.Found, "");
  const std::vector<std::string> expected = {
      "red.pcx",   "red.tga",   "red.bmp",   "red.jpg",   "red.wal",   "red.png",
      "m/red.pcx", "m/red.tga", "m/red.bmp", "m/red.jpg", "m/red.wal", "m/red.png",
      "m/box.pcx", "m/box.tga", "m/box.bmp", "m/box.jpg", "m/box.wal", "m/box.png"};
  EXPECT_EQ(result.Tried, expected);
}

TEST_F(SkinSearchTest, OnlyTheFirstRecordedNamesAreLookedFor)
{
  // Forty names s0 .. s39 without extension, with empty names among the first ones.
  const struct {
    const char* Title;
    const char* File;
    size_t Empty;  // empty names before s0
    std::string Found;
    size_t Skipped;
  } cases[] = {
      {"none found", "", 0, "", 8},
      {"the last name looked for", "m/s31.tga", 0, "m/s31.tga", 0},
      {"past the limit", "m/s32.tga", 0, "", 8},
      {"empty names do not count", "m/s31.tga", 20, "m/s31.tga", 0},
      {"the model's own name after them", "m/box.bmp", 0, "m/box.bmp", 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Title);
    fs::remove_all("m");
    fs::create_directories("m");
    if (*c.File) Touch(c.File);
    std::vector<std::string> recorded(c.Empty);
    for (int i = 0; i < 40; ++i) recorded.push_back("s" + std::to_string(i));
    const quarn::model::TSkinSearch result = FindSkin("m/box.md2", recorded);
    EXPECT_EQ(result.Found, c.Found);
    EXPECT_EQ(result.Skipped, c.Skipped);
    if (c.Found.empty()) {
      // Each name with six extensions, as recorded and beside the model; then the model's own.
      EXPECT_EQ(result.Tried.size(), quarn::model::MaxSkinNames * 12 + 6);
      EXPECT_EQ(std::count(result.Tried.begin(), result.Tried.end(), "m/s31.wal"), 1);
      EXPECT_EQ(std::count(result.Tried.begin(), result.Tried.end(), "m/s32.pcx"), 0);
    }
  }
}

TEST(ViewerBotText, NamesAreQuotedAndControlCharactersRefused)
{
  std::string literal;
  EXPECT_TRUE(quarn::shell::QuoteScriptString("it's/a.md2", literal));
  EXPECT_EQ(literal, "'it''s/a.md2'");
  EXPECT_FALSE(quarn::shell::QuoteScriptString("a\rb.md2", literal));
  EXPECT_FALSE(quarn::shell::QuoteScriptString("a\nb.md2", literal));
  const std::string text = quarn::shell::ViewerBotText("a.md2", "", "w.md2", "w.pcx");
  EXPECT_EQ(text.find("LoadMD2Skin"), std::string::npos);
  EXPECT_NE(text.find("LoadWeaponSkin('w.pcx');\r\n"), std::string::npos);
}

}  // namespace
