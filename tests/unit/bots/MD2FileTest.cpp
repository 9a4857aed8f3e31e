#include <gtest/gtest.h>

#include <functional>

#include "bots/MD2.h"
#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/Md2.h"
#include "TestModels.h"

namespace quarn::bots {
namespace {

namespace md2 = formats::md2;
using test::TriangleModel;

void PutInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value)
{
  formats::TByteWriter(bytes).U32At(at, static_cast<uint32_t>(value));
}

int32_t GetInt32(const std::vector<uint8_t>& bytes, size_t at)
{
  return formats::TByteReader(bytes).I32At(at);
}

TEST(MD2File, MissingFileIsRefusedWithItsName)
{
  TMD2 model;
  EXPECT_FALSE(model.LoadFromFile("/nonexistent/robot.md2"));
  EXPECT_EQ(MD2LastError(), "Unable to open file /nonexistent/robot.md2");
  EXPECT_FALSE(model.IsLoaded());
  EXPECT_EQ(model.GetFrameCount(), 0);
}

TEST(MD2File, DirectoryIsRefusedAsUnopenable)
{
  test::TTempDir dir;
  TMD2 model;
  EXPECT_FALSE(model.LoadFromFile(dir.File("")));
  EXPECT_EQ(MD2LastError(), "Unable to open file " + dir.File(""));
}

struct TBadHeader {
  const char* Case;
  std::function<void(std::vector<uint8_t>&)> Damage;
  const char* Reason;
};

// Every check the loader makes, each broken on its own in an otherwise valid file.
const TBadHeader BadHeaders[] = {
    {"empty", [](auto& b) { b.clear(); }, "file is shorter than the 68-byte header"},
    {"short", [](auto& b) { b.resize(67); }, "file is shorter than the 68-byte header"},
    {"ident", [](auto& b) { b[3] = '3'; }, "ident is not IDP2"},
    {"version", [](auto& b) { PutInt32(b, md2::at::Version, 7); }, "version is not 8"},
    {"skin width 0", [](auto& b) { PutInt32(b, md2::at::SkinWidth, 0); },
     "skin size is not positive"},
    {"skin height < 0", [](auto& b) { PutInt32(b, md2::at::SkinHeight, -64); },
     "skin size is not positive"},
    {"vertices < 0", [](auto& b) { PutInt32(b, md2::at::NumVertices, -1); }, "negative count"},
    {"frames < 0", [](auto& b) { PutInt32(b, md2::at::NumFrames, -2); }, "negative count"},
    {"skins < 0", [](auto& b) { PutInt32(b, md2::at::NumSkins, -1); }, "negative count"},
    {"gl commands < 0", [](auto& b) { PutInt32(b, md2::at::NumGlCommands, INT32_MIN); },
     "negative count"},
    {"tex coords past end", [](auto& b) { PutInt32(b, md2::at::NumTexCoords, 100000); },
     "texture coordinates lie outside the file"},
    {"tex coords offset < 0", [](auto& b) { PutInt32(b, md2::at::OfsTexCoords, -4); },
     "texture coordinates lie outside the file"},
    {"triangles offset past end",
     [](auto& b) { PutInt32(b, md2::at::OfsTriangles, int32_t(b.size()) - 11); },
     "triangles lie outside the file"},
    {"triangles huge count", [](auto& b) { PutInt32(b, md2::at::NumTriangles, INT32_MAX); },
     "triangles lie outside the file"},
    {"frame size small", [](auto& b) { PutInt32(b, md2::at::FrameSize, 40 + 4 * 3 - 1); },
     "frame size is too small for the vertex count"},
    {"vertex count vs frame size", [](auto& b) { PutInt32(b, md2::at::NumVertices, 4); },
     "frame size is too small for the vertex count"},
    {"one frame too many",
     [](auto& b) { PutInt32(b, md2::at::NumFrames, GetInt32(b, md2::at::NumFrames) + 1); },
     "frames lie outside the file"},
    {"frames overflow",
     [](auto& b) {
       PutInt32(b, md2::at::FrameSize, INT32_MAX), PutInt32(b, md2::at::NumFrames, INT32_MAX);
     },
     "frames lie outside the file"},
    {"vertex index = count", [](auto& b) { b[GetInt32(b, md2::at::OfsTriangles) + 2] = 3; },
     "triangle 0 has a vertex index out of range"},
    {"vertex index < 0", [](auto& b) { b[GetInt32(b, md2::at::OfsTriangles) + 5] = 0x80; },
     "triangle 0 has a vertex index out of range"},
    {"tex coord index = count", [](auto& b) { b[GetInt32(b, md2::at::OfsTriangles) + 10] = 3; },
     "triangle 0 has a texture coordinate index out of range"},
};

TEST(MD2File, EachMalformedHeaderIsRefusedNamingTheReason)
{
  test::TTempDir dir;
  const std::vector<uint8_t> good = WriteMD2(TriangleModel(4));
  for (const TBadHeader& bad : BadHeaders) {
    SCOPED_TRACE(bad.Case);
    std::vector<uint8_t> bytes = good;
    bad.Damage(bytes);
    const std::string file = dir.Write("bad.md2", bytes);
    TMD2 model;
    EXPECT_FALSE(model.LoadFromFile(file));
    EXPECT_EQ(MD2LastError(), "Invalid model file " + file + ": " + bad.Reason);
    EXPECT_FALSE(model.IsLoaded());
    EXPECT_EQ(model.GetFrameCount(), 0);
    EXPECT_EQ(model.GetTriangleCount(), 0);
  }
}

TEST(MD2File, ValidFileLoadsWithItsCountsAndAnimationOne)
{
  test::TTempDir dir;
  const std::vector<uint8_t> bytes = WriteMD2(TriangleModel(7));
  const std::string file = dir.Write("ok.md2", bytes);
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(file)) << MD2LastError();
  EXPECT_EQ(model.FileName(), file);
  EXPECT_EQ(model.GetFrameCount(), GetInt32(bytes, md2::at::NumFrames));
  EXPECT_EQ(model.GetFrameCount(), 7);
  EXPECT_EQ(model.GetTriangleCount(), 1);
  EXPECT_EQ(model.Animation, 1);
  EXPECT_EQ(model.StartFrame, 40);
  EXPECT_EQ(model.EndFrame, 45);
  EXPECT_EQ(model.CurrentFrame, 40);
  EXPECT_EQ(model.PreviousFrame, -1);
  EXPECT_EQ(model.FrameStep, 1);
  EXPECT_EQ(model.FrameInterval, 10u);
  EXPECT_FALSE(model.ChangeArmed);
  EXPECT_FALSE(model.Active);
}

TEST(MD2File, FailedReloadLeavesNoData)
{
  test::TTempDir dir;
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(dir.Write("ok.md2", WriteMD2(TriangleModel(2)))));
  EXPECT_FALSE(model.LoadFromFile(dir.File("missing.md2")));
  EXPECT_FALSE(model.IsLoaded());
  EXPECT_EQ(model.GetVertex(0, 0).x, 0.0f);
}

TEST(MD2File, VertexIsBytesTimesScalePlusTranslateWithoutAxisSwap)
{
  TMD2Content c = TriangleModel(2);
  c.Frames[1].Scale = {0.5f, 2.0f, -1.0f};
  c.Frames[1].Translate = {-10.0f, 3.0f, 0.25f};
  c.Frames[1].Vertices[2] = {255, 7, 100};
  test::TTempDir dir;
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(dir.Write("v.md2", WriteMD2(c))));
  const TVector v = model.GetVertex(1, 2);
  EXPECT_EQ(v.x, 117.5f);  // 255 * 0.5 - 10
  EXPECT_EQ(v.y, 17.0f);
  EXPECT_EQ(v.z, -99.75f);
  EXPECT_EQ(v.w, 1.0f);
}

TEST(MD2File, FramesOutsideTheFileAreClampedAndBadIndicesGiveTheOrigin)
{
  test::TTempDir dir;
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(dir.Write("three.md2", WriteMD2(TriangleModel(3)))));
  EXPECT_EQ(model.GetVertex(2, 0).x, 2.0f);
  EXPECT_EQ(model.GetVertex(198, 0).x, 2.0f);  // past the end: the last frame
  EXPECT_EQ(model.GetVertex(INT32_MAX, 1).y, 1.0f);
  EXPECT_EQ(model.GetVertex(-5, 0).x, 0.0f);   // negative: frame 0
  const TVector none = model.GetVertex(1, 3);  // vertex count is 3
  EXPECT_EQ(none.x, 0.0f);
  EXPECT_EQ(none.y, 0.0f);
  EXPECT_EQ(none.z, 0.0f);
  EXPECT_EQ(model.GetVertex(1, -1).x, 0.0f);
}

TEST(MD2File, CornerTexCoordsAreDividedBySkinSize)
{
  test::TTempDir dir;
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(dir.Write("uv.md2", WriteMD2(TriangleModel(1)))));
  const TMD2::TCorner c1 = model.GetCorner(0, 1), c2 = model.GetCorner(0, 2);
  EXPECT_EQ(c1.S, 1.0f);
  EXPECT_EQ(c1.T, 0.0f);
  EXPECT_EQ(c2.S, 0.5f);
  EXPECT_EQ(c2.T, 0.5f);
}

TEST(MD2File, CornerBlendsFromPreviousFrameByFraction)
{
  test::TTempDir dir;
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(dir.Write("b.md2", WriteMD2(TriangleModel(50)))));
  EXPECT_EQ(model.GetCorner(0, 0).Position.x, 40.0f);  // nothing blended after loading
  model.PreviousFrame = 10;
  model.Fraction = 0.5f;
  EXPECT_EQ(model.GetCorner(0, 0).Position.x, 25.0f);
  model.Fraction = 1.0000001f;
  EXPECT_NEAR(model.GetCorner(0, 0).Position.x, 40.0f, 1e-4);
}

TEST(MD2File, UnloadedModelDecodesNothing)
{
  TMD2 model;
  EXPECT_EQ(model.GetFrameCount(), 0);
  EXPECT_EQ(model.GetTriangleCount(), 0);
  EXPECT_EQ(model.GetVertex(0, 0).x, 0.0f);
  EXPECT_EQ(model.GetCorner(0, 0).S, 0.0f);
  EXPECT_EQ(model.GetTexture(0), nullptr);
}

}  // namespace
}  // namespace quarn::bots
