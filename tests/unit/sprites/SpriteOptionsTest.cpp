#include <gtest/gtest.h>

#include "sprites/SpriteOptions.h"

namespace quarn::sprites {
namespace {

TEST(SpriteOptions, DefaultsWithTheModelAlone)
{
  TSpriteOptions options;
  std::string error;
  ASSERT_EQ(ParseSpriteOptions({"--render", "m.md2"}, true, options, error), TParseResult::Ok);
  EXPECT_EQ(options.Model, "m.md2");
  EXPECT_TRUE(options.Animations.empty());
  EXPECT_EQ(options.Fps, 0);
  EXPECT_EQ(options.Directions, 8);
  EXPECT_EQ(options.Elevation, 30);
  EXPECT_EQ(options.Width, 128);
  EXPECT_EQ(options.Height, 128);
  EXPECT_TRUE(options.Transparent);
  EXPECT_TRUE(options.Style.Culling);
  EXPECT_EQ(options.OutDir, "sprites");
  EXPECT_FALSE(options.Sheet || options.Gif || options.Perspective);
}

TEST(SpriteOptions, EveryOptionTakesItsValue)
{
  TSpriteOptions options;
  std::string error;
  ASSERT_EQ(
      ParseSpriteOptions(
          {"--render",      "m.md2",       "--skin",        "s.pcx",    "--weapon",    "w.md2",
           "--weapon-skin", "w.pcx",       "--anim",        "run",      "--anim",      "3-7",
           "--fps",         "24",          "--directions",  "4",        "--elevation", "-12.5",
           "--size",        "64x32",       "--background",  "#ff8000",  "--out",       "o",
           "--sheet",       "--gif",       "--perspective", "--smooth", "--wireframe", "--filter",
           "nearest",       "--no-culling"},
          true, options, error),
      TParseResult::Ok)
      << error;
  EXPECT_EQ(options.Skin, "s.pcx");
  EXPECT_EQ(options.Weapon, "w.md2");
  EXPECT_EQ(options.WeaponSkin, "w.pcx");
  EXPECT_EQ(options.Animations, (std::vector<std::string>{"run", "3-7"}));
  EXPECT_EQ(options.Fps, 24);
  EXPECT_EQ(options.Directions, 4);
  EXPECT_EQ(options.Elevation, -12.5);
  EXPECT_EQ(options.Width, 64);
  EXPECT_EQ(options.Height, 32);
  EXPECT_FALSE(options.Transparent);
  EXPECT_FLOAT_EQ(options.Style.Background[0], 1.0f);
  EXPECT_FLOAT_EQ(options.Style.Background[1], 128 / 255.0f);
  EXPECT_FLOAT_EQ(options.Style.Background[2], 0.0f);
  EXPECT_EQ(options.OutDir, "o");
  EXPECT_TRUE(options.Sheet && options.Gif && options.Perspective);
  EXPECT_TRUE(options.Style.Smooth && options.Style.Wireframe && options.Style.NearestFilter);
  EXPECT_FALSE(options.Style.Culling);
}

// Each line is refused with an error naming what was wrong.
TEST(SpriteOptions, RefusedLines)
{
  const struct {
    std::vector<std::string> Args;
    bool ModelRequired;
    const char* Error;
  } cases[] = {
      {{"--render"}, true, "--render needs a MODEL.md2"},
      {{"--render", "m.md2", "--fps"}, true, "--fps needs a frame rate from 1 to 240"},
      {{"--render", "m.md2", "--fps", "0"},
       true,
       "--fps needs a frame rate from 1 to 240, not '0'"},
      {{"--render", "m.md2", "--fps", "12x"},
       true,
       "--fps needs a frame rate from 1 to 240, not '12x'"},
      {{"--render", "m.md2", "--directions", "361"}, true, "not '361'"},
      {{"--render", "m.md2", "--elevation", "91"}, true, "not '91'"},
      {{"--render", "m.md2", "--elevation", "nan"}, true, "not 'nan'"},
      {{"--render", "m.md2", "--size", "0x10"}, true, "not '0x10'"},
      {{"--render", "m.md2", "--size", "4097x10"}, true, "not '4097x10'"},
      {{"--render", "m.md2", "--size", "64"}, true, "not '64'"},
      {{"--render", "m.md2", "--background", "#12345g"}, true, "not '#12345g'"},
      {{"--render", "m.md2", "--out", ""}, true, "--out needs a DIR"},
      {{"--render", "m.md2", "--filter", "smooth"}, true, "--filter needs 'nearest' or 'linear'"},
      {{"--render", "m.md2", "--weapon-skin", "w.pcx"}, true, "--weapon-skin needs --weapon"},
      {{"--render", "m.md2", "extra.md2"}, true, "unknown option 'extra.md2'"},
      {{"--render", "m.md2", "--spin"}, true, "unknown option '--spin'"},
      {{"--skin", "s.pcx"}, false, "the loaded bot is rendered"},
  };
  for (const auto& c : cases) {
    TSpriteOptions options;
    std::string error;
    EXPECT_EQ(ParseSpriteOptions(c.Args, c.ModelRequired, options, error), TParseResult::Error)
        << c.Error;
    EXPECT_NE(error.find(c.Error), std::string::npos) << error;
  }
}

TEST(SpriteOptions, HelpWhereverItStands)
{
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--render", "--help"}, {"--render", "m.md2", "--fps", "x", "-h"}}) {
    TSpriteOptions options;
    std::string error;
    EXPECT_EQ(ParseSpriteOptions(args, true, options, error), TParseResult::Help) << args[1];
  }
}

TEST(SpriteOptions, ConsoleTextSplitsAtBlanksOutsideQuotesAndRefusesAnOpenQuote)
{
  const struct {
    const char* Text;
    std::vector<std::string> Words;  // empty: refused
    const char* Error;
  } cases[] = {
      {"  --anim run --out \"my sprites\" --background '#000000' ",
       {"--anim", "run", "--out", "my sprites", "--background", "#000000"}, ""},
      {"--out ''", {"--out", ""}, ""},
      {"--out \"unterminated", {}, "the \" at character 7 is never closed"},
      {"--anim 'run --out d", {}, "the ' at character 8 is never closed"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> words{"left over"};
    std::string error;
    EXPECT_EQ(SplitOptionText(c.Text, words, error), !c.Words.empty()) << c.Text;
    EXPECT_EQ(words, c.Words) << c.Text;
    EXPECT_EQ(error, c.Error) << c.Text;
  }
}

}  // namespace
}  // namespace quarn::sprites
