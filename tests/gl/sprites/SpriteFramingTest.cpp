// Sprites of a generated model: a box that leans further in each of its run frames. The camera
// keeps one scale through an animation and round the model and leaves every pose inside the
// frame; a sample between keyframes is drawn between them.
#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "images/LoadStop.h"
#include "images/PngWriter.h"
#include "platform/OffscreenGL.h"
#include "sprites/SpriteFrames.h"
#include "sprites/SpriteRenderer.h"
#include "support/ScratchFolder.h"

namespace quarn::sprites {
namespace {

constexpr int RunFrames = 6;  // run frames, after one stand frame
constexpr float Lean = 8;     // x units the top moves each run frame
constexpr float Height = 40;

std::vector<uint8_t> LeaningBox()
{
  bots::TMD2Content content;
  content.SkinWidth = content.SkinHeight = 8;
  content.TexCoords = {{0, 0}};
  // Corners numbered by their x, y, z bits; faces clockwise from outside.
  const int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                           {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads) {
    content.Triangles.push_back({{int16_t(q[0]), int16_t(q[2]), int16_t(q[1])}, {0, 0, 0}});
    content.Triangles.push_back({{int16_t(q[0]), int16_t(q[3]), int16_t(q[2])}, {0, 0, 0}});
  }
  for (int frame = 0; frame <= RunFrames; ++frame) {
    std::vector<render::TVector> corners;
    for (int c = 0; c < 8; ++c) {
      const float z = (c & 1) ? Height : 0;
      const float lean = frame == 0 ? 0 : Lean * float(frame) * z / Height;
      corners.push_back(render::Vector((c & 4) ? 6 + lean : -6 + lean, (c & 2) ? 6 : -6, z));
    }
    content.Frames.push_back(
        bots::QuantizeFrame(corners, frame == 0 ? "stand1" : "run" + std::to_string(frame)));
  }
  return bots::WriteMD2(content);
}

// The box round the opaque pixels of a PNG, top-down rows; width -1 when none is opaque.
struct TOpaque {
  int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;
  bool Border = false;  // an opaque pixel on the frame's edge
  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
};

// A PNG's RGBA pixels, rows top down.
struct TImage {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Pixels;
  const uint8_t* At(int x, int y) const { return &Pixels[(size_t(y) * Width + x) * 4]; }
  uint8_t* At(int x, int y) { return &Pixels[(size_t(y) * Width + x) * 4]; }
};

TImage ReadPng(const std::string& fileName)
{
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  TImage read;
  if (!png_image_begin_read_from_file(&image, fileName.c_str())) {
    ADD_FAILURE() << fileName << ": " << image.message;
    return read;
  }
  image.format = PNG_FORMAT_RGBA;
  read.Pixels.resize(PNG_IMAGE_SIZE(image));
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, read.Pixels.data(), 0, nullptr));
  read.Width = int(image.width);
  read.Height = int(image.height);
  return read;
}

TOpaque ReadOpaque(const std::string& fileName)
{
  TOpaque opaque;
  const TImage image = ReadPng(fileName);
  const std::vector<uint8_t>& pixels = image.Pixels;
  const int w = image.Width, h = image.Height;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (pixels[(size_t(y) * w + x) * 4 + 3] > 0) {
        opaque.Left = std::min(opaque.Left, x);
        opaque.Right = std::max(opaque.Right, x);
        opaque.Top = std::min(opaque.Top, y);
        opaque.Bottom = std::max(opaque.Bottom, y);
        opaque.Border = opaque.Border || x == 0 || y == 0 || x == w - 1 || y == h - 1;
      }
  return opaque;
}

class SpriteFraming : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string reason;
    if (!Context.Create(reason)) GTEST_SKIP() << "no OpenGL context: " << reason;
    const std::vector<uint8_t> bytes = LeaningBox();
    Folder.Write("box.md2",
                 std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(Model.LoadFromFile(Folder.Path + "box.md2")) << Model.FailReason();
  }

  // Renders with the options given after the defaults; the files' folder.
  std::string Render(std::vector<std::string> args)
  {
    const std::string out = Folder.Path + "out" + std::to_string(++Runs);
    if (std::find(args.begin(), args.end(), "--samples") == args.end())
      args.insert(args.end(), {"--samples", "1"});
    args.insert(args.begin(), {"--render", "box.md2", "--out", out});
    TSpriteOptions options;
    std::string error;
    EXPECT_EQ(ParseSpriteOptions(args, true, options, error), TParseResult::Ok) << error;
    TSpriteRenderer renderer(options, Model, nullptr);
    EXPECT_EQ(renderer.Run(error), TRenderStatus::Done) << error;
    return out + "/";
  }

  test::TScratchFolder Folder{"quarn_sprites_"};
  platform::TOffscreenGL Context;
  bots::TMD2 Model;
  int Runs = 0;
};

TEST_F(SpriteFraming, OneScaleThroughTheAnimationAndRoundTheModel)
{
  const std::string out = Render({"--anim", "run", "--size", "64x64", "--elevation", "0"});
  int widest = 0, tallest = 0, firstHeight = -1;
  for (int direction = 0; direction < 8; ++direction)
    for (int frame = 0; frame < RunFrames; ++frame) {
      const std::string name = out + FrameFileStem("run", direction, frame, RunFrames) + ".png";
      const TOpaque opaque = ReadOpaque(name);
      ASSERT_GT(opaque.Width(), 0) << name;
      EXPECT_FALSE(opaque.Border) << name << " touches the frame's edge";
      widest = std::max(widest, opaque.Width());
      tallest = std::max(tallest, opaque.Height());
      // Seen level from the front the lean runs towards the eye: only the scale could change
      // the height.
      if (direction == 0 && firstHeight < 0) firstHeight = opaque.Height();
      if (direction == 0) {
        EXPECT_NEAR(opaque.Height(), firstHeight, 1) << name;
      }
    }
  // Framed, not lost in the middle: the largest pose fills most of the frame one way.
  EXPECT_GE(std::max(widest, tallest), 40);
}

TEST_F(SpriteFraming, SamplesBetweenKeyframesAreDrawnBetweenThem)
{
  // Direction 1 of 4 sees the lean across the frame. At 20 frames a second every other sample
  // is half way from one keyframe to the next.
  const std::string keys = Render({"--anim", "run", "--directions", "4"});
  const std::string half = Render({"--anim", "run", "--directions", "4", "--fps", "20"});
  for (int key = 0; key + 1 < RunFrames; ++key) {
    const TOpaque from = ReadOpaque(keys + FrameFileStem("run", 1, key, RunFrames) + ".png");
    const TOpaque to = ReadOpaque(keys + FrameFileStem("run", 1, key + 1, RunFrames) + ".png");
    const TOpaque between =
        ReadOpaque(half + FrameFileStem("run", 1, 2 * key + 1, 2 * RunFrames) + ".png");
    ASSERT_NE(from.Left + from.Right, to.Left + to.Right) << "the lean does not show";
    EXPECT_NEAR(between.Left + between.Right, (from.Left + from.Right + to.Left + to.Right) / 2.0,
                2)
        << "sample " << 2 * key + 1;
    const TOpaque same =
        ReadOpaque(half + FrameFileStem("run", 1, 2 * key, 2 * RunFrames) + ".png");
    EXPECT_EQ(same.Left + same.Right, from.Left + from.Right) << "sample " << 2 * key;
  }
}

// The program asks to end part-way (Escape, SIGTERM in the window): the run stops at the next
// frame, and every file it leaves is a whole image.
int pollsBeforeStop = 0;
bool StopAfterSomePolls() { return --pollsBeforeStop < 0; }

TEST_F(SpriteFraming, AStopRequestEndsTheRunLeavingOnlyWholeFiles)
{
  pollsBeforeStop = 3;
  images::SetStopPoll(StopAfterSomePolls);
  const std::string out = Folder.Path + "stopped";
  TSpriteOptions options;
  std::string error;
  ASSERT_EQ(ParseSpriteOptions({"--render", "box.md2", "--anim", "run", "--out", out, "--size", "128x128", "--fps",
                                "60", "--sheet", "--gif"},
                               true, options, error),
            TParseResult::Ok);
  TSpriteRenderer renderer(options, Model, nullptr);
  const TRenderStatus status = renderer.Run(error);
  images::SetStopPoll(nullptr);
  EXPECT_EQ(status, TRenderStatus::Stopped);
  EXPECT_NE(error.find("stopped after "), std::string::npos) << error;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(out)) {
    ++files;
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(entry.path().extension(), ".png") << name << ": no sheet or GIF of a part";
    EXPECT_GE(ReadOpaque(entry.path().string()).Width(), 1) << name << " is not a whole image";
  }
  EXPECT_LT(files, renderer.FrameCount());
}

nlohmann::json ReadJson(const std::string& fileName)
{
  std::ifstream file(fileName);
  return nlohmann::json::parse(file);
}

// Every frame cut out of the atlas by its index and put back where spriteSourceSize says is
// its single-frame PNG, pixel for pixel; frames lie apart by the padding, their edge pixels
// repeated round them by the extrusion, in rows no wider than asked.
TEST_F(SpriteFraming, AtlasFramesAreTheSingleFrames)
{
  struct TCase {
    std::vector<std::string> Options;
    const char* Index;
    int MaxWidth, Padding, Extrude;
  };
  const TCase cases[] = {
      {{"--sheet"}, "run.json", 4096, 0, 0},
      {{"--fit", "animation", "--max-width", "200"}, "run.json", 200, 0, 0},
      {{"--pixels-per-unit", "1.5", "--trim"}, "run.json", 4096, 0, 0},
      {{"--trim", "--padding", "3", "--extrude", "2", "--max-width", "300"}, "run.json", 300, 3,
       2},
      {{"--atlas", "--trim", "--columns", "4", "--samples", "4", "--padding", "1"}, "atlas.json",
       4096, 1, 0},
  };
  for (const TCase& test : cases) {
    std::vector<std::string> args = {"--directions", "3", "--size", "64x48"};
    args.insert(args.end(), test.Options.begin(), test.Options.end());
    if (std::string(test.Index) == "run.json") args.insert(args.end(), {"--anim", "run"});
    const std::string out = Render(args);
    SCOPED_TRACE(out);
    const nlohmann::json index = ReadJson(out + test.Index);
    const TImage atlas = ReadPng(out + index["meta"]["image"].get<std::string>());
    EXPECT_LE(atlas.Width, test.MaxWidth);
    ASSERT_EQ(index["frames"].size(), std::string(test.Index) == "run.json" ? 18u : 21u);
    std::vector<std::array<int, 4>> rects;
    for (const nlohmann::json& frame : index["frames"]) {
      const std::string name = frame["filename"];
      const TImage single = ReadPng(out + name);
      const auto& r = frame["frame"];
      const auto& source = frame["spriteSourceSize"];
      const int x = r["x"], y = r["y"], w = r["w"], h = r["h"];
      ASSERT_EQ(frame["sourceSize"]["w"].get<int>(), single.Width) << name;
      ASSERT_TRUE(x >= 0 && y >= 0 && x + w <= atlas.Width && y + h <= atlas.Height) << name;
      TImage placed{single.Width, single.Height, std::vector<uint8_t>(single.Pixels.size(), 0)};
      for (int row = 0; row < h; ++row)
        std::memcpy(placed.At(source["x"].get<int>(), source["y"].get<int>() + row),
                    atlas.At(x, y + row), size_t(w) * 4);
      EXPECT_TRUE(placed.Pixels == single.Pixels) << name << " differs from its atlas cell";
      if (test.Extrude > 0) {
        EXPECT_EQ(std::memcmp(atlas.At(x - test.Extrude, y), atlas.At(x, y), 4), 0) << name;
        EXPECT_EQ(std::memcmp(atlas.At(x + w - 1 + test.Extrude, y + h - 1),
                              atlas.At(x + w - 1, y + h - 1), 4),
                  0)
            << name;
      }
      const int apart = test.Padding + 2 * test.Extrude;
      for (const auto& other : rects) {
        const bool clear = x >= other[0] + other[2] + apart || other[0] >= x + w + apart ||
                           y >= other[1] + other[3] + apart || other[1] >= y + h + apart;
        EXPECT_TRUE(clear) << name << " is closer than " << apart << " pixels to a neighbour";
      }
      rects.push_back({x, y, w, h});
    }
  }
}

// The scale and the pivot belong to the model, not to the run: a run of other animations draws
// the same frames with the same pivots, and --pixels-per-unit gives exactly that scale.
TEST_F(SpriteFraming, OneScaleAndPivotForTheWholeModel)
{
  const std::string alone = Render({"--anim", "run", "--directions", "4", "--sheet"});
  const std::string both =
      Render({"--anim", "stand", "--anim", "run", "--directions", "4", "--sheet"});
  const nlohmann::json first = ReadJson(alone + "run.json"), second = ReadJson(both + "run.json");
  for (size_t i = 0; i < first["frames"].size(); ++i)
    EXPECT_EQ(first["frames"][i]["pivot"], second["frames"][i]["pivot"]) << i;
  for (int direction = 0; direction < 4; ++direction) {
    const std::string name = FrameFileStem("run", direction, 3, RunFrames) + ".png";
    EXPECT_TRUE(ReadPng(alone + name).Pixels == ReadPng(both + name).Pixels) << name;
  }

  // Seen level, the stand box (40 units tall, its foot the origin) is 80 pixels at 2 a unit,
  // and the pivot is its bottom edge.
  const std::string fixed = Render(
      {"--anim", "stand", "--directions", "1", "--elevation", "0", "--pixels-per-unit", "2",
       "--size", "128x128", "--sheet"});
  const TOpaque stand = ReadOpaque(fixed + FrameFileStem("stand", 0, 0, 1) + ".png");
  EXPECT_NEAR(stand.Height(), 80, 1);
  const double pivotY = ReadJson(fixed + "stand.json")["frames"][0]["pivot"]["y"].get<double>();
  EXPECT_NEAR(pivotY * 128, stand.Bottom + 1, 1);
}

// Drawn at 4 x 4 samples and filtered down, edges are partly transparent and keep the skin's
// colour: no pixel is darker than the skin where the background showed through.
TEST_F(SpriteFraming, FilteredEdgesArePartlyTransparentWithoutADarkFringe)
{
  images::TFramePixels skin;
  skin.Width = skin.Height = 8;
  skin.Rgb.assign(8 * 8 * 3, 0);
  for (size_t i = 0; i < skin.Rgb.size(); i += 3) skin.Rgb[i] = 200, skin.Rgb[i + 1] = 100,
                                                 skin.Rgb[i + 2] = 50;
  ASSERT_EQ(images::WritePNG(Folder.Path + "skin.png", skin, images::TWriteMode::Replace).Status,
            images::TWriteResult::TStatus::Written);
  ASSERT_TRUE(Model.LoadSkin(Folder.Path + "skin.png")) << Model.SkinFailReason();
  const std::string out = Render({"--anim", "run", "--directions", "2", "--samples", "4"});
  int partial = 0;
  for (int direction = 0; direction < 2; ++direction) {
    const TImage frame = ReadPng(out + FrameFileStem("run", direction, 2, RunFrames) + ".png");
    for (int y = 0; y < frame.Height; ++y)
      for (int x = 0; x < frame.Width; ++x) {
        const uint8_t* p = frame.At(x, y);
        if (p[3] == 0) continue;
        partial += p[3] < 255;
        EXPECT_NEAR(p[0], 200, 1) << x << "," << y << " alpha " << int(p[3]);
        EXPECT_NEAR(p[1], 100, 1) << x << "," << y;
        EXPECT_NEAR(p[2], 50, 1) << x << "," << y;
      }
  }
  EXPECT_GT(partial, 20) << "the edges are not smoothed";

  // --brightness scales the colour and stops at white.
  const std::string bright = Render({"--anim", "run", "--directions", "1", "--brightness", "1.5"});
  const TImage frame = ReadPng(bright + FrameFileStem("run", 0, 2, RunFrames) + ".png");
  int opaque = 0;
  for (int y = 0; y < frame.Height; ++y)
    for (int x = 0; x < frame.Width; ++x)
      if (frame.At(x, y)[3] == 255) {
        ++opaque;
        EXPECT_EQ(frame.At(x, y)[0], 255);
        EXPECT_EQ(frame.At(x, y)[1], 150);
        EXPECT_EQ(frame.At(x, y)[2], 75);
      }
  EXPECT_GT(opaque, 100);
}

}  // namespace
}  // namespace quarn::sprites
