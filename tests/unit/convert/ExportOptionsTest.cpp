#include <gtest/gtest.h>

#include "convert/ExportOptions.h"

namespace quarn::convert {
namespace {

struct TOptionCase {
  const char* Name;
  std::vector<std::string> Args;
  TExportParse Result;
  const char* Error;  // the whole line when Result is Error
};

const TOptionCase OptionCases[] = {
    {"Plain", {"--export", "m.md2", "-o", "m.glb"}, TExportParse::Ok, ""},
    {"TextGltfAnyCase", {"--export", "m.md2", "--out", "m.GLTF"}, TExportParse::Ok, ""},
    {"Help", {"--export", "m.md2", "--help"}, TExportParse::Help, ""},
    {"NoOutput",
     {"--export", "m.md2"},
     TExportParse::Error,
     "--export needs -o OUT.glb or -o OUT.gltf"},
    {"NoModel",
     {"--export", "-o", "m.glb"},
     TExportParse::Error,
     "--export needs a MODEL.md2, not '-o'"},
    {"OtherExtension",
     {"--export", "m.md2", "-o", "m.obj"},
     TExportParse::Error,
     "-o needs an OUT.glb or OUT.gltf, not 'm.obj'"},
    {"BareExtension",
     {"--export", "m.md2", "-o", ".glb"},
     TExportParse::Error,
     "-o needs an OUT.glb or OUT.gltf, not '.glb'"},
    {"QuantizeOther",
     {"--export", "m.md2", "-o", "m.glb", "--quantize", "12"},
     TExportParse::Error,
     "--quantize needs 8 or 16, not '12'"},
    {"FpsZero",
     {"--export", "m.md2", "-o", "m.glb", "--fps", "0"},
     TExportParse::Error,
     "--fps needs a keyframe rate from 1 to 1000, not '0'"},
    {"FpsFraction",
     {"--export", "m.md2", "-o", "m.glb", "--fps", "2.5"},
     TExportParse::Error,
     "--fps needs a keyframe rate from 1 to 1000, not '2.5'"},
    {"ScaleNegative",
     {"--export", "m.md2", "-o", "m.glb", "--scale", "-1"},
     TExportParse::Error,
     "--scale needs a scale above 0, at most 1000000, not '-1'"},
    {"ScaleNotANumber",
     {"--export", "m.md2", "-o", "m.glb", "--scale", "nan"},
     TExportParse::Error,
     "--scale needs a scale above 0, at most 1000000, not 'nan'"},
    {"FilterOther",
     {"--export", "m.md2", "-o", "m.glb", "--filter", "cubic"},
     TExportParse::Error,
     "--filter needs 'nearest' or 'linear', not 'cubic'"},
    {"ValueMissing",
     {"--export", "m.md2", "-o", "m.glb", "--skin"},
     TExportParse::Error,
     "--skin needs an IMAGE"},
    {"WeaponSkinAlone",
     {"--export", "m.md2", "-o", "m.glb", "--weapon-skin", "w.pcx"},
     TExportParse::Error,
     "--weapon-skin needs --weapon"},
    {"Unknown",
     {"--export", "m.md2", "-o", "m.glb", "--frobnicate"},
     TExportParse::Error,
     "unknown option '--frobnicate'"},
    {"StrayWord",
     {"--export", "m.md2", "other.md2", "-o", "m.glb"},
     TExportParse::Error,
     "unknown option 'other.md2'"},
};

class ExportOptionsCase : public testing::TestWithParam<TOptionCase> {};

TEST_P(ExportOptionsCase, ParsesOrSaysWhy)
{
  const TOptionCase& c = GetParam();
  TExportOptions options;
  std::string error;
  EXPECT_EQ(ParseExportOptions(c.Args, options, error), c.Result);
  EXPECT_EQ(error, c.Error);
}

INSTANTIATE_TEST_SUITE_P(Table, ExportOptionsCase, testing::ValuesIn(OptionCases),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST(ExportOptions, EveryOptionReachesItsField)
{
  TExportOptions options;
  std::string error;
  ASSERT_EQ(
      ParseExportOptions({"--export", "b.md2", "--skin", "b.pcx", "--weapon", "w.md2",
                          "--weapon-skin", "w.tga", "--scale", "0.0254", "--fps", "25", "--filter",
                          "nearest", "--unlit", "--quantize", "8", "-o", "dir/out.gltf"},
                         options, error),
      TExportParse::Ok)
      << error;
  EXPECT_EQ(options.Model, "b.md2");
  EXPECT_EQ(options.Skin, "b.pcx");
  EXPECT_EQ(options.Weapon, "w.md2");
  EXPECT_EQ(options.WeaponSkin, "w.tga");
  EXPECT_DOUBLE_EQ(options.Scale, 0.0254);
  EXPECT_EQ(options.Fps, 25);
  EXPECT_TRUE(options.NearestFilter);
  EXPECT_TRUE(options.Unlit);
  EXPECT_EQ(options.Quantize, TQuantize::Bits8);
  EXPECT_EQ(options.Out, "dir/out.gltf");
  EXPECT_TRUE(IsTextGltf(options.Out));

  TExportOptions defaults;
  ASSERT_EQ(ParseExportOptions({"--export", "b.md2", "-o", "b.glb"}, defaults, error),
            TExportParse::Ok);
  EXPECT_EQ(defaults.Scale, 1);
  EXPECT_EQ(defaults.Fps, 10);
  EXPECT_FALSE(defaults.NearestFilter);
  EXPECT_FALSE(defaults.Unlit);
  EXPECT_EQ(defaults.Quantize, TQuantize::None);
}

}  // namespace
}  // namespace quarn::convert
