#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "convert/GltfBuffer.h"
#include "convert/GltfExporter.h"
#include "convert/MorphMesh.h"
#include "images/PngWriter.h"
#include "support/ScratchFolder.h"

namespace quarn::convert {
namespace {

// Corners numbered by their x, y, z bits (x high); faces wound clockwise seen from outside,
// as the format's front faces are.
constexpr int Quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                             {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
// The box's extent along the model's x (its front), y and z (up), in frame 0.
constexpr int Depth = 10, Width = 6, Height = 20;

// A box standing on the ground; in frame f it stands `lift[f]` higher. Frame names as given.
bots::TMD2Content BoxModel(const std::vector<std::string>& names, const std::vector<int>& lift)
{
  bots::TMD2Content c;
  c.SkinWidth = c.SkinHeight = 32;
  c.TexCoords = {{0, 0}, {31, 0}, {31, 31}, {0, 31}};
  for (const auto& q : Quads) {
    c.Triangles.push_back({{int16_t(q[0]), int16_t(q[2]), int16_t(q[1])}, {0, 2, 1}});
    c.Triangles.push_back({{int16_t(q[0]), int16_t(q[3]), int16_t(q[2])}, {0, 3, 2}});
  }
  for (size_t f = 0; f < names.size(); ++f) {
    bots::TMD2RawFrame frame;
    frame.Name = names[f];
    for (int corner = 0; corner < 8; ++corner)
      frame.Vertices.push_back({uint8_t(corner >> 2 & 1 ? Depth : 0),
                                uint8_t(corner >> 1 & 1 ? Width : 0),
                                uint8_t((corner & 1 ? Height : 0) + lift[f])});
    c.Frames.push_back(frame);
  }
  return c;
}

class TModelFiles : public quarn::test::TScratchFolder {
public:
  TModelFiles() : TScratchFolder("quarn-convert-") {}
  void Load(bots::TMD2& model, const std::string& name, const bots::TMD2Content& content) const
  {
    const std::vector<uint8_t> bytes = bots::WriteMD2(content);
    ASSERT_TRUE(bots::SaveBytes(Path + name, bytes));
    ASSERT_TRUE(model.LoadFromFile(Path + name)) << bots::MD2LastError();
  }
};

TEST(GltfExport, ModelStandsUpFacingPlusZWithItsFrontFacesCounterClockwise)
{
  TModelFiles files;
  bots::TMD2 model;
  files.Load(model, "box.md2", BoxModel({"still"}, {0}));
  TMorphMesh mesh;
  std::string reason;
  ASSERT_TRUE(mesh.Build(model, 2.0, reason)) << reason;

  // One vertex for each distinct pair of corner and texture coordinate.
  std::set<std::pair<int, int>> pairs;
  for (const auto& q : Quads)
    for (const int k : {0, 1, 2, 3}) pairs.insert({q[k], k});
  ASSERT_EQ(mesh.VertexCount(), int32_t(pairs.size()));

  // Up is +Y, the front +Z, the width along X; every length doubled.
  float low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
  const float* p = mesh.Positions(0);
  for (int32_t v = 0; v < mesh.VertexCount(); ++v)
    for (int axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], p[v * 3 + axis]);
      high[axis] = std::max(high[axis], p[v * 3 + axis]);
    }
  EXPECT_EQ(high[0] - low[0], 2 * Width);
  EXPECT_EQ(high[1] - low[1], 2 * Height);
  EXPECT_EQ(high[2] - low[2], 2 * Depth);
  EXPECT_EQ(low[1], 0);  // standing on the ground, not hanging from it

  // Counter-clockwise seen from outside: each triangle's (b - a) x (c - a) points away from
  // the box's centre, and so does each vertex's normal.
  const float centre[3] = {Width, Height, Depth};
  const std::vector<uint32_t>& indices = mesh.Indices();
  for (size_t t = 0; t < indices.size(); t += 3) {
    const float* a = p + indices[t] * 3;
    const float* b = p + indices[t + 1] * 3;
    const float* c = p + indices[t + 2] * 3;
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                        u[0] * w[1] - u[1] * w[0]};
    float outward = 0, normal = 0;
    for (int axis = 0; axis < 3; ++axis) {
      const float away = (a[axis] + b[axis] + c[axis]) / 3 - centre[axis];
      outward += n[axis] * away;
      normal += mesh.Normals(0)[indices[t] * 3 + size_t(axis)] * (a[axis] - centre[axis]);
    }
    EXPECT_GT(outward, 0) << "triangle " << t / 3 << " faces inward";
    EXPECT_GT(normal, 0) << "the normal at triangle " << t / 3 << " points inward";
  }
}

tinygltf::Model EmptyModel() { return tinygltf::Model(); }

TEST(GltfExport, IndicesTakeTheSmallestTypeThatKeepsClearOfTheRestartValue)
{
  const std::pair<uint32_t, int> cases[] = {
      {3, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE},
      {255, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE},
      {256, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT},
      {65535, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT},
      {65536, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT},
  };
  for (const auto& [vertices, type] : cases) {
    tinygltf::Model model = EmptyModel();
    TGltfBuffer buffer(model);
    const std::vector<uint32_t> indices = {0, vertices - 1, vertices / 2};
    const int accessor = buffer.Indices(indices, vertices);
    EXPECT_EQ(model.accessors[size_t(accessor)].componentType, type) << vertices << " vertices";
  }
}

TEST(GltfExport, TargetsListOnlyTheVerticesThatMoveWhenThatIsSmaller)
{
  struct TCase {
    const char* Name;
    size_t Moved;  // of 100 vertices
    TComponents Kind;
    bool Sparse;
    int ListedCount;  // sparse.count when sparse
  };
  const TCase cases[] = {
      {"none move: one vertex listed, unchanged", 0, TComponents::Float, true, 1},
      {"two move", 2, TComponents::Float, true, 2},
      {"all move", 100, TComponents::Float, false, 0},
      {"two move, 16-bit", 2, TComponents::NormalizedI16, true, 2},
      {"all move, 8-bit", 100, TComponents::NormalizedI8, false, 0},
  };
  for (const TCase& c : cases) {
    tinygltf::Model model = EmptyModel();
    TGltfBuffer buffer(model);
    std::vector<float> deltas(300, 0.0f);
    for (size_t v = 0; v < c.Moved; ++v) deltas[v * 3 + 1] = 0.5f;
    const tinygltf::Accessor& a = model.accessors[size_t(buffer.Target(deltas, c.Kind))];
    EXPECT_EQ(a.sparse.isSparse, c.Sparse) << c.Name;
    EXPECT_EQ(a.count, 100u) << c.Name;
    if (c.Sparse) {
      EXPECT_EQ(a.sparse.count, c.ListedCount) << c.Name;
      EXPECT_EQ(a.bufferView, -1) << c.Name;
    }
    // Bounds as stored: normalised integers as the integers.
    const double top = c.Moved == 0                           ? 0
                       : c.Kind == TComponents::NormalizedI16 ? 16384
                       : c.Kind == TComponents::NormalizedI8  ? 64
                                                              : 0.5;
    EXPECT_EQ(a.maxValues, (std::vector<double>{0, top, 0})) << c.Name;
    EXPECT_EQ(buffer.DenseTargetBytes(), 1200u) << c.Name;
    EXPECT_LE(buffer.TargetBytes(), buffer.DenseTargetBytes()) << c.Name;
  }
}

// The scalars of an accessor as a reader sees them: zeros, its data, then its sparse values.
std::vector<float> ReadScalars(const tinygltf::Model& model, int index)
{
  const tinygltf::Accessor& a = model.accessors[size_t(index)];
  EXPECT_EQ(a.componentType, TINYGLTF_COMPONENT_TYPE_FLOAT);
  auto at = [&model](int view, size_t offset) {
    const tinygltf::BufferView& v = model.bufferViews[size_t(view)];
    return model.buffers[size_t(v.buffer)].data.data() + v.byteOffset + offset;
  };
  std::vector<float> values(a.count, 0.0f);
  if (a.bufferView >= 0) std::memcpy(values.data(), at(a.bufferView, a.byteOffset), a.count * 4);
  if (a.sparse.isSparse) {
    const uint8_t* indices = at(a.sparse.indices.bufferView, size_t(a.sparse.indices.byteOffset));
    const uint8_t* data = at(a.sparse.values.bufferView, size_t(a.sparse.values.byteOffset));
    const int bytes = tinygltf::GetComponentSizeInBytes(uint32_t(a.sparse.indices.componentType));
    for (int i = 0; i < a.sparse.count; ++i) {
      uint32_t n = 0;
      std::memcpy(&n, indices + i * bytes, size_t(bytes));
      std::memcpy(&values[n], data + i * 4, 4);
    }
  }
  return values;
}

// The target with weight 1 at each key of a sampler's output (every other weight 0).
std::vector<int> HotTargets(const std::vector<float>& weights, size_t targets)
{
  std::vector<int> hot;
  for (size_t k = 0; k < weights.size() / targets; ++k) {
    int one = -1;
    for (size_t t = 0; t < targets; ++t) {
      const float w = weights[k * targets + t];
      if (w == 1)
        one = one == -1 ? int(t) : -2;
      else if (w != 0)
        one = -2;
    }
    hot.push_back(one);
  }
  return hot;
}

std::vector<uint8_t> TinyPng()
{
  images::TFramePixels pixels;
  pixels.Width = pixels.Height = 2;
  pixels.Rgb.assign(12, 200);
  std::vector<uint8_t> png;
  std::string reason;
  EXPECT_TRUE(images::EncodePNG(pixels, png, reason)) << reason;
  return png;
}

TEST(GltfExport, EachGroupKeysOneFrameAtATimeForEveryModelAndLoopsBack)
{
  TModelFiles files;
  bots::TMD2 body, weapon;
  files.Load(body, "body.md2", BoxModel({"a1", "a2", "a3", "b1", "b2"}, {0, 1, 2, 3, 4}));
  files.Load(weapon, "weapon.md2", BoxModel({"w1", "w2", "w3"}, {0, 2, 4}));
  TExportOptions options;
  options.Fps = 20;
  options.Out = files.Path + "out.glb";
  TGltfExporter exporter(options);
  std::string error;
  ASSERT_TRUE(
      exporter.AddModel(body, "body", {{"red.pcx", TinyPng()}, {"blue.tga", TinyPng()}}, error));
  ASSERT_TRUE(exporter.AddModel(weapon, "weapon", {}, error));
  exporter.AddAnimations(ModelFrameGroups(body));
  TExportSizes sizes;
  ASSERT_TRUE(exporter.Write(options.Out, sizes, error)) << error;

  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string warning;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, options.Out)) << error;
  EXPECT_EQ(sizes.Written, uint64_t(std::filesystem::file_size(options.Out)));

  const tinygltf::Value& names = model.meshes[0].extras.Get("targetNames");
  ASSERT_EQ(names.ArrayLen(), 5u);
  EXPECT_EQ(names.Get(3).Get<std::string>(), "b1");
  EXPECT_EQ(model.meshes[0].primitives[0].targets.size(), 5u);
  EXPECT_EQ(model.meshes[1].primitives[0].targets.size(), 3u);

  // The weapon holds its last frame where the body's group runs past it.
  struct TExpected {
    std::string Name;
    std::vector<float> Times;
    std::vector<int> Body, Weapon;
  };
  const TExpected expected[] = {
      {"a", {0, 0.05f, 0.1f, 0.15f}, {0, 1, 2, 0}, {0, 1, 2, 0}},
      {"b", {0, 0.05f, 0.1f}, {3, 4, 3}, {2, 2, 2}},
  };
  ASSERT_EQ(model.animations.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const tinygltf::Animation& animation = model.animations[i];
    EXPECT_EQ(animation.name, expected[i].Name);
    ASSERT_EQ(animation.channels.size(), 2u);
    for (size_t c = 0; c < 2; ++c) {
      const tinygltf::AnimationChannel& channel = animation.channels[c];
      const tinygltf::AnimationSampler& sampler = animation.samplers[size_t(channel.sampler)];
      EXPECT_EQ(channel.target_path, "weights");
      EXPECT_EQ(channel.target_node, int(c));
      EXPECT_EQ(sampler.interpolation, "LINEAR");
      EXPECT_EQ(ReadScalars(model, sampler.input), expected[i].Times) << animation.name;
      EXPECT_EQ(HotTargets(ReadScalars(model, sampler.output), c == 0 ? 5 : 3),
                c == 0 ? expected[i].Body : expected[i].Weapon)
          << animation.name << (c == 0 ? " body" : " weapon");
    }
  }

  // The first skin on the material, both as variants; the weapon without a skin is grey.
  const tinygltf::Material& first = model.materials[size_t(model.meshes[0].primitives[0].material)];
  EXPECT_EQ(first.name, "red.pcx");
  EXPECT_GE(first.pbrMetallicRoughness.baseColorTexture.index, 0);
  const tinygltf::Value& variants = model.extensions.at("KHR_materials_variants").Get("variants");
  ASSERT_EQ(variants.ArrayLen(), 2u);
  EXPECT_EQ(variants.Get(1).Get("name").Get<std::string>(), "blue.tga");
  const tinygltf::Material& grey = model.materials[size_t(model.meshes[1].primitives[0].material)];
  EXPECT_EQ(grey.pbrMetallicRoughness.baseColorTexture.index, -1);
  EXPECT_NEAR(grey.pbrMetallicRoughness.baseColorFactor[0], 0.6, 1e-9);
}

TEST(GltfExport, NamesThatAreNotUtf8AreReadAsLatin1)
{
  // glTF's JSON is UTF-8 only; names in models are bytes. This crashed the writer once.
  TModelFiles files;
  bots::TMD2 model;
  files.Load(model, "caf\xe9.md2", BoxModel({"caf\xe9", "na\xc3\xafve"}, {0, 1}));
  TExportOptions options;
  options.Out = files.Path + "names.glb";
  TGltfExporter exporter(options);
  std::string error;
  ASSERT_TRUE(exporter.AddModel(model, "caf\xe9", {}, error)) << error;
  exporter.AddAnimations(ModelFrameGroups(model));
  TExportSizes sizes;
  ASSERT_TRUE(exporter.Write(options.Out, sizes, error)) << error;
  const tinygltf::Value& names = exporter.Model().meshes[0].extras.Get("targetNames");
  EXPECT_EQ(names.Get(0).Get<std::string>(), "caf\xc3\xa9");
  EXPECT_EQ(names.Get(1).Get<std::string>(), "na\xc3\xafve");  // already UTF-8: kept
  EXPECT_EQ(exporter.Model().nodes[0].name, "caf\xc3\xa9");
}

}  // namespace
}  // namespace quarn::convert
