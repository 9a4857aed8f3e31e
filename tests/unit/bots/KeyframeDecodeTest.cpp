#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bots/MD2.h"
#include "TestModels.h"

namespace quarn::bots {
namespace {

// Vertex 0 is shared by corners with different texture coordinates, vertex 1 by corners with
// the same one: five draw vertices for six corners over four model vertices.
TMD2Content SharedCorners()
{
  TMD2Content c = test::TriangleModel(3);
  c.TexCoords.push_back({16, 8});
  for (TMD2RawFrame& frame : c.Frames)
    frame.Vertices.push_back({9, 9, uint8_t(frame.Vertices[0][0] * 2)});
  c.Frames[1].Scale = {0.5f, 3.0f, 0.1f};
  c.Frames[1].Translate = {-7.25f, 1e-3f, 100.0f};
  c.Triangles.push_back({{0, 3, 1}, {3, 2, 1}});
  return c;
}

// Every corner as drawn from the decoded form: the draw vertex's blended position and its
// texture coordinates, exactly the corner the model gives one at a time.
TEST(KeyframeDecode, DrawVerticesBlendToEveryCornerExactly)
{
  test::TTempDir dir;
  TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(dir.Write("m.md2", WriteMD2(SharedCorners()))));
  TMD2Mesh mesh = model.Mesh();
  EXPECT_EQ(mesh.DrawVertexCount(), 5);
  struct TBlend {
    int32_t Previous, Current;
    float Fraction;
  };
  for (const TBlend& b : {TBlend{-1, 0, 0}, TBlend{-1, 2, 0.7f}, TBlend{0, 1, 0.3f},
                          TBlend{1, 2, 1.0000001f}, TBlend{2, 1, 0.1f}}) {
    model.PreviousFrame = b.Previous;
    model.CurrentFrame = b.Current;
    model.Fraction = b.Fraction;
    mesh.Blend(b.Previous, b.Current, b.Fraction);
    for (int32_t i = 0; i < model.GetTriangleCount(); ++i)
      for (int k = 0; k < 3; ++k) {
        const TMD2::TCorner corner = model.GetCorner(i, k);
        const uint32_t v = mesh.CornerVertex(i, k);
        const float* p = &mesh.Positions()[size_t(v) * 3];
        EXPECT_EQ(p[0], corner.Position.x) << b.Previous << ">" << b.Current << " " << i << k;
        EXPECT_EQ(p[1], corner.Position.y) << b.Previous << ">" << b.Current << " " << i << k;
        EXPECT_EQ(p[2], corner.Position.z) << b.Previous << ">" << b.Current << " " << i << k;
        EXPECT_EQ(mesh.TexCoord(v)[0], corner.S);
        EXPECT_EQ(mesh.TexCoord(v)[1], corner.T);
      }
  }
  EXPECT_EQ(model.GetCorner(1, 0).S, 16.0f / 64);
}

// The decoded form holds at most three times the file's size; a model that would need more
// is refused with the reason, and the next load works.
TEST(KeyframeDecode, DecodedModelStaysWithinThreeTimesTheFileOrIsRefused)
{
  test::TTempDir dir;
  auto manyFrames = [] { return test::TriangleModel(250); };
  auto manyTriangles = [] {
    // One frame of three vertices; every corner its own texture coordinate.
    TMD2Content c = test::TriangleModel(1);
    c.TexCoords.clear();
    c.Triangles.clear();
    for (int16_t i = 0; i < 3000; ++i) {
      for (int16_t k = 0; k < 3; ++k) c.TexCoords.push_back({i, k});
      c.Triangles.push_back({{0, 1, 2}, {int16_t(3 * i), int16_t(3 * i + 1), int16_t(3 * i + 2)}});
    }
    return c;
  };
  auto sharedTriangles = [&] {
    TMD2Content c = manyTriangles();
    for (TMD2Triangle& t : c.Triangles) t.TexCoord = {0, 1, 2};
    return c;
  };
  struct TCase {
    const char* Name;
    TMD2Content Content;
    bool Loads;
  };
  const TCase cases[] = {
      {"250 frames", manyFrames(), true},
      {"3000 triangles over shared corners", sharedTriangles(), true},
      {"3000 triangles, every corner different", manyTriangles(), false},
  };
  for (const TCase& c : cases) {
    const std::string file = dir.Write("m.md2", WriteMD2(c.Content));
    TMD2 model;
    EXPECT_EQ(model.LoadFromFile(file), c.Loads) << c.Name;
    EXPECT_LE(model.Mesh().Bytes(), 3 * std::filesystem::file_size(file)) << c.Name;
    if (!c.Loads) {
      EXPECT_NE(model.FailReason().find("more than 3 times the file's size"), std::string::npos)
          << model.FailReason();
      EXPECT_FALSE(model.IsLoaded());
      EXPECT_TRUE(model.LoadFromFile(dir.Write("ok.md2", WriteMD2(test::TriangleModel(2)))));
    }
  }
}

}  // namespace
}  // namespace quarn::bots
