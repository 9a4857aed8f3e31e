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
      {{"--samples", "3"}, false, "--samples needs 1, 2, 4 or 8, not '3'"},
      {{"--samples", "16"}, false, "not '16'"},
      {{"--direction-list", "0,2,2"}, false, "each named once, not '0,2,2'"},
      {{"--direction-list", "1,"}, false, "not '1,'"},
      {{"--directions", "4", "--direction-list", "1,4"}, false, "direction 4 of 4 (0 to 3)"},
      {{"--light", "30"}, false, "--light needs AZIMUTH,ELEVATION"},
      {{"--light", "30,95"}, false, "not '30,95'"},
      {{"--format", "json"}, false, "--format needs texturepacker-array, texturepacker-hash"},
      {{"--fit", "frame"}, false, "--fit needs 'model' or 'animation'"},
      {{"--pixels-per-unit", "0"}, false, "not '0'"},
      {{"--pixels-per-unit", "2", "--perspective"}, false, "needs the orthographic camera"},
      {{"--max-width", "0"}, false, "not '0'"},
      {{"--padding", "65"}, false, "not '65'"},
      {{"--outline", "17"}, false, "not '17'"},
      {{"--outline-color", "red"}, false, "not 'red'"},
      {{"--brightness", "-1"}, false, "not '-1'"},
      {{"--yaw", " 10"}, false, "not ' 10'"},
  };
  for (const auto& c : cases) {
    TSpriteOptions options;
    std::string error;
    EXPECT_EQ(ParseSpriteOptions(c.Args, c.ModelRequired, options, error), TParseResult::Error)
        << c.Error;
    EXPECT_NE(error.find(c.Error), std::string::npos) << error;
  }
}

TEST(SpriteOptions, EngineOptionsTakeTheirValuesAndSheetOptionsAskForASheet)
{
  TSpriteOptions options;
  std::string error;
  ASSERT_EQ(ParseSpriteOptions({"--directions", "16", "--direction-list", "15,0", "--yaw", "180",
                                "--fit", "animation", "--pixels-per-unit", "2.5", "--trim",
                                "--padding", "2", "--extrude", "1", "--columns", "5", "--format",
                                "godot", "--samples", "2", "--light", "90,0", "--ambient", "0.5",
                                "--brightness", "1.5", "--outline", "3", "--outline-color",
                                "#ff0080", "--webp"},
                               false, options, error),
            TParseResult::Ok)
      << error;
  EXPECT_EQ(options.DirectionList, (std::vector<int32_t>{15, 0}));
  EXPECT_EQ(options.Yaw, 180);
  EXPECT_EQ(options.Fit, TSpriteOptions::TFit::Animation);
  EXPECT_EQ(options.PixelsPerUnit, 2.5);
  EXPECT_TRUE(options.Sheet && options.Trim && options.Webp);
  EXPECT_EQ(options.Padding + options.Extrude * 10 + options.Columns * 100, 512);
  EXPECT_EQ(options.Format, TSheetFormat::Godot);
  EXPECT_EQ(options.Samples, 2);
  // A light from the right, level with the eye; lighting on.
  EXPECT_NEAR(options.Style.LightDirection[0], 1, 1e-6);
  EXPECT_NEAR(options.Style.LightDirection[2], 0, 1e-6);
  EXPECT_TRUE(options.Style.Smooth);
  EXPECT_FLOAT_EQ(options.Style.Ambient, 0.5f);
  EXPECT_EQ(options.Brightness, 1.5);
  EXPECT_EQ(options.Outline, 3);
  EXPECT_EQ(options.OutlineColour[0] + options.OutlineColour[1] + options.OutlineColour[2],
            255 + 128);

  // Without an option that asks for it, sprites are at one model scale, filtered 4 x 4, unlit
  // unless untextured.
  TSpriteOptions defaults;
  ASSERT_EQ(ParseSpriteOptions({"--anim", "run"}, false, defaults, error), TParseResult::Ok);
  EXPECT_EQ(defaults.Fit, TSpriteOptions::TFit::Model);
  EXPECT_EQ(defaults.Samples, 4);
  EXPECT_FALSE(defaults.Sheet || defaults.Style.Smooth);
  EXPECT_TRUE(defaults.Style.LightUntextured);
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
