#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <set>
#include <random>

#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "convert/ExportOptions.h"
#include "convert/GlCommands.h"
#include "convert/GltfExporter.h"
#include "convert/GltfImporter.h"
#include "convert/GltfScene.h"
#include "convert/ImportOptions.h"
#include "render/Vector.h"
#include "support/ScratchFolder.h"

namespace quarn::convert {
namespace {

// A jagged model whose frames have scales and offsets no grid of round numbers holds: vertices
// shared across texture seams, a texture coordinate listed twice and one listed but unused,
// and frame names of several groups, one with a digit before its number.
bots::TMD2Content JaggedModel()
{
  std::mt19937 random(34);
  std::uniform_real_distribution<float> place(-37.3f, 52.9f);
  bots::TMD2Content c;
  c.SkinWidth = 64;
  c.SkinHeight = 48;
  c.SkinNames = {"models/jagged/skin.pcx", "models/jagged/other.pcx"};
  constexpr int Vertices = 40;
  for (int i = 0; i < Vertices + 3; ++i)
    c.TexCoords.push_back({int16_t(i * 3 % 64), int16_t(i * 7 % 48)});
  c.TexCoords.push_back(c.TexCoords[5]);
  for (int t = 0; t < 60; ++t) {
    const int16_t a = int16_t(t % Vertices), b = int16_t((t * 7 + 1) % Vertices),
                  d = int16_t((t * 13 + 2) % Vertices);
    // Vertex a is used with two texture coordinates: a seam.
    c.Triangles.push_back({{a, b, d}, {int16_t(t % 2 ? a : a + 1), b, int16_t(t == 9 ? 43 : d)}});
  }
  const char* names[] = {"stand01", "stand02", "stand03", "run1", "run2", "pain21_1", "pain21_2"};
  for (const char* name : names) {
    std::vector<render::TVector> positions;
    for (int v = 0; v < Vertices; ++v)
      positions.push_back(render::Vector(place(random), place(random), place(random) * 0.01f));
    c.Frames.push_back(bots::QuantizeFrame(positions, name));
  }
  return c;
}

// A grid of quads, two triangles each, wound clockwise as the format's front faces are.
bots::TMD2Content GridModel(int columns, int rows)
{
  bots::TMD2Content c;
  c.SkinWidth = columns;
  c.SkinHeight = rows;
  const auto at = [columns](int x, int y) { return int16_t(y * (columns + 1) + x); };
  for (int y = 0; y <= rows; ++y)
    for (int x = 0; x <= columns; ++x) c.TexCoords.push_back({int16_t(x), int16_t(y)});
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < columns; ++x) {
      c.Triangles.push_back({{at(x, y), at(x + 1, y), at(x, y + 1)}, {at(x, y), at(x + 1, y), at(x, y + 1)}});
      c.Triangles.push_back(
          {{at(x + 1, y), at(x + 1, y + 1), at(x, y + 1)}, {at(x + 1, y), at(x + 1, y + 1), at(x, y + 1)}});
    }
  return c;
}

// A disc: a centre and a ring of `sides` vertices, one texture coordinate each.
bots::TMD2Content DiscModel(int sides)
{
  bots::TMD2Content c;
  c.SkinWidth = c.SkinHeight = 64;
  for (int i = 0; i <= sides; ++i) c.TexCoords.push_back({int16_t(i), int16_t(i)});
  for (int i = 0; i < sides; ++i) {
    const int16_t a = int16_t(1 + i), b = int16_t(1 + (i + 1) % sides);
    c.Triangles.push_back({{0, b, a}, {0, b, a}});
  }
  return c;
}

// Triangles as sorted keys: each rotated to start at its smallest corner (vertex, s, t), so a
// triangle and its rotations are one key, its mirror another.
using TCornerKey = std::array<int32_t, 3>;
using TTriangleKey = std::array<TCornerKey, 3>;
TTriangleKey KeyOf(TCornerKey a, TCornerKey b, TCornerKey d)
{
  TTriangleKey key{a, b, d};
  const size_t low = size_t(std::min_element(key.begin(), key.end()) - key.begin());
  std::rotate(key.begin(), key.begin() + long(low), key.end());
  return key;
}

// The triangle list as the GL commands draw it, read as an engine reads them.
std::multiset<TTriangleKey> CommandTriangles(const std::vector<int32_t>& words, const bots::TMD2Content& c)
{
  std::multiset<TTriangleKey> triangles;
  size_t at = 0;
  while (at < words.size() && words[at] != 0) {
    const int32_t count = words[at++];
    const bool fan = count < 0;
    std::vector<TCornerKey> corners;
    for (int32_t k = 0; k < std::abs(count); ++k, at += 3)
      corners.push_back({words[at + 2], int32_t(std::lround(std::bit_cast<float>(words[at]) * float(c.SkinWidth))),
                         int32_t(std::lround(std::bit_cast<float>(words[at + 1]) * float(c.SkinHeight)))});
    for (size_t k = 0; k + 2 < corners.size(); ++k)
      triangles.insert(fan ? KeyOf(corners[0], corners[k + 1], corners[k + 2])
                       : k % 2 == 0 ? KeyOf(corners[k], corners[k + 1], corners[k + 2])
                                    : KeyOf(corners[k + 1], corners[k], corners[k + 2]));
  }
  EXPECT_EQ(at + 1, words.size()) << "the list ends in one zero";
  return triangles;
}

// Strips and fans draw every triangle of the list once, wound the same way, with its texture
// coordinates; a regular mesh takes far fewer commands than triangles.
TEST(GltfImport, GlCommandsDrawExactlyTheTriangleList)
{
  struct TCase {
    const char* What;
    bots::TMD2Content Model;
    size_t MostCommands;
  };
  const TCase cases[] = {
      {"jagged", JaggedModel(), 60},
      {"grid", GridModel(16, 8), 8 * 3},
      {"disc", DiscModel(12), 1},
  };
  for (const TCase& c : cases) {
    const std::vector<int32_t> words = BuildGlCommands(c.Model);
    std::multiset<TTriangleKey> expected;
    for (const bots::TMD2Triangle& t : c.Model.Triangles) {
      TCornerKey corners[3];
      for (size_t k = 0; k < 3; ++k)
        corners[k] = {t.Vertex[k], c.Model.TexCoords[size_t(t.TexCoord[k])][0],
                      c.Model.TexCoords[size_t(t.TexCoord[k])][1]};
      expected.insert(KeyOf(corners[0], corners[1], corners[2]));
    }
    EXPECT_EQ(CommandTriangles(words, c.Model), expected) << c.What;
    size_t commands = 0;
    for (size_t at = 0; at < words.size() && words[at] != 0; at += 1 + 3 * size_t(std::abs(words[at])))
      ++commands;
    EXPECT_LE(commands, c.MostCommands) << c.What;
  }
}

class TRoundTrip : public ::testing::TestWithParam<const char*> {};

// Export then import gives back the file as it was: every vertex byte, the texture coordinate
// table, the triangles, the frames' scales, offsets and names, the skin names.
TEST_P(TRoundTrip, GivesBackTheSameFile)
{
  quarn::test::TScratchFolder folder("quarn-import-");
  const std::vector<uint8_t> original = bots::WriteMD2(JaggedModel());
  ASSERT_TRUE(bots::SaveBytes(folder.Path + "jagged.md2", original));
  bots::TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(folder.Path + "jagged.md2"));

  TExportOptions exportOptions;
  exportOptions.Out = folder.Path + "jagged" + GetParam();
  TGltfExporter exporter(exportOptions);
  std::string error;
  ASSERT_TRUE(exporter.AddModel(model, "jagged", {}, error)) << error;
  exporter.AddAnimations(ModelFrameGroups(model));
  TExportSizes sizes;
  ASSERT_TRUE(exporter.Write(exportOptions.Out, sizes, error)) << error;

  TImportOptions options;
  options.In = exportOptions.Out;
  TImportedModel imported;
  ASSERT_TRUE(ImportGltf(options, imported, error)) << error;
  const std::vector<uint8_t> back = bots::WriteMD2(imported.Content);
  EXPECT_EQ(back.size(), original.size());
  const auto differ = std::mismatch(back.begin(), back.end(), original.begin(), original.end());
  EXPECT_EQ(differ.first - back.begin(), std::min(back.size(), original.size()))
      << "the first byte that differs";
  EXPECT_LT(imported.LargestError, imported.Size / 255);
}

INSTANTIATE_TEST_SUITE_P(GltfImport, TRoundTrip, ::testing::Values(".glb", ".gltf"));

// The command line: what each option takes, and the one line a bad one gets.
TEST(GltfImport, OptionsTakeTheirValuesOrSayWhatTheyNeed)
{
  struct TCase {
    std::vector<std::string> Args;
    TImportParse Result;
    const char* Error;  // for Error
  };
  const TCase cases[] = {
      {{"--import", "a.glb", "-o", "a.md2"}, TImportParse::Ok, ""},
      {{"--import", "A.GLTF", "--out", "a.md2", "--fps", "1000", "--anim", "run", "--anim", "2-4",
        "--scale", "0.5", "--node", "body", "--skin-out", "a.png"},
       TImportParse::Ok, ""},
      {{"--import", "a.glb", "--help"}, TImportParse::Help, ""},
      {{"--import", "a.glb"}, TImportParse::Error, "--import needs -o OUT.md2"},
      {{"-o", "a.md2"}, TImportParse::Error, "--import needs an IN.glb or IN.gltf"},
      {{"--import", "a.obj", "-o", "a.md2"}, TImportParse::Error,
       "--import needs an IN.glb or IN.gltf, not 'a.obj'"},
      {{"--import", "a.glb", "-o", "a.md2", "--fps", "0"}, TImportParse::Error,
       "--fps needs a frame rate from 1 to 1000, not '0'"},
      {{"--import", "a.glb", "-o", "a.md2", "--fps", "12x"}, TImportParse::Error,
       "--fps needs a frame rate from 1 to 1000, not '12x'"},
      {{"--import", "a.glb", "-o", "a.md2", "--scale", "-1"}, TImportParse::Error,
       "--scale needs a scale above 0, at most 1000000, not '-1'"},
      {{"--import", "a.glb", "-o", "a.md2", "--skin-out", "a.pcx"}, TImportParse::Error,
       "--skin-out needs a FILE.png, not 'a.pcx'"},
      {{"--import", "a.glb", "-o", "a.md2", "--anim"}, TImportParse::Error,
       "--anim needs an animation NAME or FIRST-LAST"},
      {{"--import", "a.glb", "-o", "a.md2", "--weapon", "w.md2"}, TImportParse::Error,
       "unknown option '--weapon'"},
  };
  for (const TCase& c : cases) {
    TImportOptions options;
    std::string error;
    EXPECT_EQ(ParseImportOptions(c.Args, options, error), c.Result) << c.Args.back();
    if (c.Result == TImportParse::Error) {
      EXPECT_EQ(error, c.Error);
    }
  }
  // A range by number, a name otherwise (a name may hold a dash).
  TImportOptions options;
  std::string error;
  ASSERT_EQ(ParseImportOptions({"--import", "a.glb", "-o", "a.md2", "--anim", "2-4", "--anim",
                                "walk-fast", "--anim", "4-2"},
                               options, error),
            TImportParse::Ok);
  ASSERT_EQ(options.Animations.size(), 3u);
  EXPECT_EQ(options.Animations[0].Name, "");
  EXPECT_EQ(options.Animations[0].First, 2);
  EXPECT_EQ(options.Animations[0].Last, 4);
  EXPECT_EQ(options.Animations[1].Name, "walk-fast");
  EXPECT_EQ(options.Animations[2].Name, "4-2");
}

// Sampled animations make one frame per sample, named so the frame-name rule groups them.
TEST(GltfImport, SampledFramesAreNamedAfterTheirAnimation)
{
  struct TCase {
    std::vector<std::string> Animations;
    std::vector<int32_t> Counts;
    std::vector<std::string> FirstNames;  // each animation's first frame
    std::vector<std::string> LastNames;
    size_t Notes;
  };
  const TCase cases[] = {
      {{"run", "walk"}, {3, 12}, {"run1", "walk1"}, {"run3", "walk12"}, 0},
      // A name ending in a digit is kept apart from the number.
      {{"attack2"}, {2}, {"attack2_1"}, {"attack2_2"}, 0},
      // No name: "frame".
      {{""}, {1}, {"frame1"}, {"frame1"}, 0},
      // Too long: shortened to fit 15 characters with the largest number, and said.
      {{"a_very_long_animation"}, {120}, {"a_very_long_1"}, {"a_very_long_120"}, 1},
      // Two names that shorten alike part at their ends.
      {{"swimming_forward", "swimming_forwards"},
       {10, 10},
       {"swimming_forw1", "swimming_fo_a1"},
       {"swimming_forw10", "swimming_fo_a10"},
       2},
      // Shortening that ends in a digit gets the separator.
      {{"step1234567890123"}, {5}, {"step123456789_1"}, {"step123456789_5"}, 1},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> notes;
    const auto names = SampledFrameNames(c.Animations, c.Counts, notes);
    ASSERT_EQ(names.size(), c.Animations.size());
    for (size_t a = 0; a < names.size(); ++a) {
      ASSERT_EQ(names[a].size(), size_t(c.Counts[a]));
      EXPECT_EQ(names[a].front(), c.FirstNames[a]) << c.Animations[a];
      EXPECT_EQ(names[a].back(), c.LastNames[a]) << c.Animations[a];
      for (const std::string& name : names[a]) EXPECT_LE(name.size(), FrameNameChars) << name;
    }
    EXPECT_EQ(notes.size(), c.Notes) << c.Animations[0];
  }
}

// Samplers as glTF defines them: clamped at both ends, STEP holds, LINEAR blends, CUBICSPLINE
// follows the Hermite curve, rotations take the short way round at unit length.
TEST(GltfImport, SamplersFollowTheirInterpolation)
{
  using I = TKeys::TInterpolation;
  struct TCase {
    const char* What;
    TKeys Keys;
    bool Rotation;
    double Time;
    std::vector<double> Expected;
  };
  const double half = std::sqrt(0.5);
  const TCase cases[] = {
      {"before the first key", {I::Linear, {1, 2}, {5, 7}, 1}, false, 0, {5}},
      {"after the last key", {I::Linear, {1, 2}, {5, 7}, 1}, false, 9, {7}},
      {"linear", {I::Linear, {1, 2}, {5, 7}, 1}, false, 1.25, {5.5}},
      {"step", {I::Step, {1, 2, 3}, {5, 7, 9}, 1}, false, 2.9, {7}},
      {"on a key", {I::Step, {1, 2, 3}, {5, 7, 9}, 1}, false, 2, {7}},
      // in, value, out per key: a flat start, a slope of 4 into the end over 2 seconds.
      {"cubic spline midway", {I::CubicSpline, {0, 2}, {0, 0, 0, 4, 1, 0}, 1}, false, 1,
       {0.5 + (0.125 - 0.25) * 2 * 4}},
      {"rotation halfway about z",
       {I::Linear, {0, 1}, {0, 0, 0, 1, 0, 0, 1, 0}, 4}, true, 0.5,
       {0, 0, half, half}},
      {"rotation the short way",
       {I::Linear, {0, 1}, {0, 0, 0, 1, 0, 0, 0, -1}, 4}, true, 0.5, {0, 0, 0, 1}},
  };
  for (const TCase& c : cases) {
    const std::vector<double> value = SampleKeys(c.Keys, c.Time, c.Rotation);
    ASSERT_EQ(value.size(), c.Expected.size()) << c.What;
    for (size_t k = 0; k < value.size(); ++k) EXPECT_NEAR(value[k], c.Expected[k], 1e-6) << c.What;
  }
}

}  // namespace
}  // namespace quarn::convert
