#include "convert/GltfImporter.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <numeric>

#include "convert/GlCommands.h"
#include "convert/GltfScene.h"
#include "convert/MorphMesh.h"
#include "images/ImageFile.h"

namespace quarn::convert {

namespace {

// The triangles of one mesh with its draw vertices: every primitive's, one after another.
struct TDrawMesh {
  size_t Vertices = 0;
  std::vector<float> Base;                  // x, y, z per vertex
  std::vector<std::vector<float>> Targets;  // position deltas per morph target
  std::vector<float> TexCoords;             // s, t per vertex (0 where the mesh has none)
  std::vector<uint32_t> Indices;            // three per triangle, counter-clockwise
  std::vector<float> Joints;   // four skin joint numbers per vertex (none: not skinned)
  std::vector<float> Weights;  // their four weights
};

// A skin's joints: each joint's node and inverse bind matrix.
struct TSkinJoints {
  std::vector<int> Nodes;
  std::vector<TMatrix> InverseBind;
};

// The numbers an export keeps in the mesh's extras (see GltfExporter.cpp), checked against
// the mesh they came with.
struct TStoredNumbers {
  int32_t SkinWidth = 0, SkinHeight = 0, VertexCount = 0;
  std::vector<int32_t> TexCoords, CornerTexCoords, DrawVertices;
  std::vector<float> Frames;  // scale and translate, six per frame
  std::vector<std::string> FrameNames;
  std::vector<std::string> Skins;
  std::vector<int32_t> GlCommands;
  bool HasGlCommands = false;
};

// One frame to make: keyframe Target alone, or every node as `Animation` poses it at Time.
struct TFrameSample {
  int32_t Target = -1;
  int32_t Animation = -1;
  double Time = 0;
  std::string Name;
};

// glTF's corners run counter-clockwise, the format's clockwise: the format's corner k is
// glTF's corner 0, 2, 1.
size_t GltfCorner(size_t k) { return k == 0 ? 0 : 3 - k; }

std::string Count(size_t count, const TMD2Limit& limit)
{
  return std::to_string(count) + " " + limit.Name + ", at most " + std::to_string(limit.Most);
}

bool Ints(const tinygltf::Value& value, std::vector<int32_t>& out)
{
  if (!value.IsArray()) return false;
  for (size_t i = 0; i < value.ArrayLen(); ++i) {
    const tinygltf::Value& item = value.Get(int(i));
    if (!item.IsNumber()) return false;
    const double number = item.GetNumberAsDouble();
    if (number < INT32_MIN || number > INT32_MAX || number != std::floor(number)) return false;
    out.push_back(int32_t(number));
  }
  return true;
}

// The stored numbers when they are there and fit the mesh; otherwise none are used.
bool ReadStored(const tinygltf::Mesh& mesh, const TDrawMesh& draw, TStoredNumbers& stored)
{
  const tinygltf::Value& md2 = mesh.extras.Get("md2");
  const tinygltf::Value& names = mesh.extras.Get("targetNames");
  if (!md2.IsObject() || !names.IsArray()) return false;
  std::vector<int32_t> sizes, frames;
  for (const char* key : {"skinWidth", "skinHeight", "vertexCount"}) {
    const tinygltf::Value& number = md2.Get(key);
    if (!number.IsNumber()) return false;
    sizes.push_back(int32_t(number.GetNumberAsDouble()));
  }
  stored.SkinWidth = sizes[0];
  stored.SkinHeight = sizes[1];
  stored.VertexCount = sizes[2];
  const tinygltf::Value& frameNumbers = md2.Get("frames");
  if (!Ints(md2.Get("texCoords"), stored.TexCoords) ||
      !Ints(md2.Get("cornerTexCoords"), stored.CornerTexCoords) ||
      !Ints(md2.Get("drawVertices"), stored.DrawVertices) || !frameNumbers.IsArray())
    return false;
  for (size_t i = 0; i < frameNumbers.ArrayLen(); ++i) {
    if (!frameNumbers.Get(int(i)).IsNumber()) return false;
    stored.Frames.push_back(float(frameNumbers.Get(int(i)).GetNumberAsDouble()));
  }
  const tinygltf::Value& commands = md2.Get("glCommands");
  const tinygltf::Value& commandCount = md2.Get("glCommandCount");
  stored.HasGlCommands = commandCount.IsNumber() &&
                         (commandCount.GetNumberAsDouble() == 0 || Ints(commands, stored.GlCommands)) &&
                         double(stored.GlCommands.size()) == commandCount.GetNumberAsDouble();
  const tinygltf::Value& skins = md2.Get("skins");
  for (size_t i = 0; skins.IsArray() && i < skins.ArrayLen(); ++i)
    if (skins.Get(int(i)).IsString()) stored.Skins.push_back(skins.Get(int(i)).Get<std::string>());
  for (size_t i = 0; i < names.ArrayLen(); ++i) {
    if (!names.Get(int(i)).IsString()) return false;
    stored.FrameNames.push_back(names.Get(int(i)).Get<std::string>());
  }
  const size_t texCoords = stored.TexCoords.size() / 2;
  const bool fits =
      stored.SkinWidth > 0 && stored.SkinHeight > 0 && stored.VertexCount > 0 &&
      stored.DrawVertices.size() == draw.Vertices &&
      stored.CornerTexCoords.size() == draw.Indices.size() &&
      stored.Frames.size() == draw.Targets.size() * 6 &&
      stored.FrameNames.size() == draw.Targets.size() &&
      std::all_of(stored.DrawVertices.begin(), stored.DrawVertices.end(),
                  [&](int32_t v) { return v >= 0 && v < stored.VertexCount; }) &&
      std::all_of(stored.CornerTexCoords.begin(), stored.CornerTexCoords.end(),
                  [&](int32_t t) { return t >= 0 && size_t(t) < texCoords; });
  return fits;
}

bool ReadMesh(const TGltfScene& scene, const tinygltf::Mesh& mesh, TDrawMesh& out,
              std::string& error)
{
  for (const tinygltf::Primitive& primitive : mesh.primitives) {
    if (primitive.mode != -1 && primitive.mode != TINYGLTF_MODE_TRIANGLES) continue;
    const auto position = primitive.attributes.find("POSITION");
    if (position == primitive.attributes.end()) continue;
    std::vector<float> base, st;
    size_t width = 0;
    if (!scene.Floats(position->second, base, width, error)) return false;
    if (width != 3) {
      error = "the positions are not three numbers each";
      return false;
    }
    const size_t vertices = base.size() / 3;
    if (vertices > 3 * MaxTriangles.Most) {
      error = "the mesh has " + Count(vertices, MaxVertices);
      return false;
    }
    const auto texCoord = primitive.attributes.find("TEXCOORD_0");
    if (texCoord != primitive.attributes.end()) {
      if (!scene.Floats(texCoord->second, st, width, error)) return false;
      if (width != 2 || st.size() != vertices * 2) {
        error = "the texture coordinates do not match the positions";
        return false;
      }
    } else {
      st.assign(vertices * 2, 0.0f);
    }
    std::vector<uint32_t> indices;
    if (primitive.indices >= 0) {
      if (!scene.Indices(primitive.indices, indices, error)) return false;
    } else {
      indices.resize(vertices);
      std::iota(indices.begin(), indices.end(), 0u);
    }
    indices.resize(indices.size() / 3 * 3);
    for (uint32_t& index : indices) {
      if (index >= vertices) {
        error = "a triangle uses vertex " + std::to_string(index) + " of " + std::to_string(vertices);
        return false;
      }
      index += uint32_t(out.Vertices);
    }
    if (out.Vertices > 0 && primitive.targets.size() != out.Targets.size()) {
      error = "the mesh's primitives have different numbers of morph targets";
      return false;
    }
    out.Targets.resize(primitive.targets.size());
    for (size_t t = 0; t < primitive.targets.size(); ++t) {
      std::vector<float> delta(vertices * 3, 0.0f);
      const auto target = primitive.targets[t].find("POSITION");
      if (target != primitive.targets[t].end()) {
        if (!scene.Floats(target->second, delta, width, error)) return false;
        if (width != 3 || delta.size() != vertices * 3) {
          error = "morph target " + std::to_string(t) + " does not match the positions";
          return false;
        }
      }
      out.Targets[t].insert(out.Targets[t].end(), delta.begin(), delta.end());
    }
    out.Base.insert(out.Base.end(), base.begin(), base.end());
    const auto joints = primitive.attributes.find("JOINTS_0");
    const auto weights = primitive.attributes.find("WEIGHTS_0");
    if (joints != primitive.attributes.end() && weights != primitive.attributes.end()) {
      std::vector<float> j, w;
      size_t jointWidth = 0, weightWidth = 0;
      if (!scene.Floats(joints->second, j, jointWidth, error) ||
          !scene.Floats(weights->second, w, weightWidth, error))
        return false;
      if (jointWidth != 4 || weightWidth != 4 || j.size() != vertices * 4 || w.size() != vertices * 4) {
        error = "the joints and weights do not match the positions";
        return false;
      }
      out.Joints.resize(out.Vertices * 4, 0.0f);
      out.Weights.resize(out.Vertices * 4, 0.0f);
      out.Joints.insert(out.Joints.end(), j.begin(), j.end());
      out.Weights.insert(out.Weights.end(), w.begin(), w.end());
    } else if (!out.Joints.empty()) {
      out.Joints.resize((out.Vertices + vertices) * 4, 0.0f);
      out.Weights.resize((out.Vertices + vertices) * 4, 0.0f);
    }
    out.TexCoords.insert(out.TexCoords.end(), st.begin(), st.end());
    out.Indices.insert(out.Indices.end(), indices.begin(), indices.end());
    out.Vertices += vertices;
    if (out.Vertices > 3 * MaxTriangles.Most) {
      error = "the mesh has " + Count(out.Vertices, MaxVertices);
      return false;
    }
  }
  if (out.Indices.empty()) {
    error = "the mesh has no triangles";
    return false;
  }
  return true;
}

// The base colour texture of the mesh's first primitive, decoded (PNG or JPEG). True with
// Width 0 when there is none; false with `error` when it is there but not an image.
bool BaseColour(const TGltfScene& scene, const tinygltf::Mesh& mesh, images::TImage& skin,
                std::string& error)
{
  skin = {};
  const tinygltf::Model& model = scene.Model();
  const int material = mesh.primitives.empty() ? -1 : mesh.primitives[0].material;
  if (material < 0 || size_t(material) >= model.materials.size()) return true;
  const int texture = model.materials[size_t(material)].pbrMetallicRoughness.baseColorTexture.index;
  if (texture < 0 || size_t(texture) >= model.textures.size()) return true;
  const int image = model.textures[size_t(texture)].source;
  if (image < 0 || size_t(image) >= model.images.size()) return true;
  const tinygltf::Image& source = model.images[size_t(image)];
  std::vector<unsigned char> bytes = source.image;
  if (source.bufferView >= 0 && size_t(source.bufferView) < model.bufferViews.size()) {
    const tinygltf::BufferView& view = model.bufferViews[size_t(source.bufferView)];
    if (view.buffer >= 0 && size_t(view.buffer) < model.buffers.size()) {
      const std::vector<unsigned char>& data = model.buffers[size_t(view.buffer)].data;
      if (view.byteOffset <= data.size() && view.byteLength <= data.size() - view.byteOffset)
        bytes.assign(data.begin() + long(view.byteOffset),
                     data.begin() + long(view.byteOffset + view.byteLength));
    }
  }
  static constexpr unsigned char Png[4] = {0x89, 'P', 'N', 'G'};
  static constexpr unsigned char Jpeg[2] = {0xff, 0xd8};
  const char* kind = bytes.size() >= 4 && std::equal(Png, Png + 4, bytes.begin())     ? "skin.png"
                     : bytes.size() >= 2 && std::equal(Jpeg, Jpeg + 2, bytes.begin()) ? "skin.jpg"
                                                                                      : nullptr;
  const std::string what = "the base colour texture (image " + std::to_string(image) + ")";
  if (!kind) {
    error = what + " is not a PNG or JPEG image";
    return false;
  }
  std::string reason;
  try {
    const images::TImageFormat* format = images::FindImageFormat(kind);
    if (format->Decode(kind, images::TBytes(bytes.data(), bytes.size()), skin, &reason) ==
        images::TDecodeResult::Ok)
      return true;
  } catch (const images::EImageError& failure) {
    reason = failure.what();
  }
  skin = {};
  error = what + " cannot be read: " + (reason.empty() ? "it is cut short" : reason);
  return false;
}

// The skin size texture coordinates are counted in: the one an export recorded, else the size
// of the base colour texture, else 256 x 256.
void SkinSize(const tinygltf::Mesh& mesh, const images::TImage& skin, int32_t& width,
              int32_t& height)
{
  constexpr int32_t DefaultSize = 256;
  width = height = DefaultSize;
  const tinygltf::Value& md2 = mesh.extras.Get("md2");
  if (md2.IsObject() && md2.Get("skinWidth").IsNumber() && md2.Get("skinHeight").IsNumber()) {
    const double w = md2.Get("skinWidth").GetNumberAsDouble();
    const double h = md2.Get("skinHeight").GetNumberAsDouble();
    if (w >= 1 && w <= INT16_MAX && h >= 1 && h <= INT16_MAX) {
      width = int32_t(w);
      height = int32_t(h);
      return;
    }
  }
  if (skin.Width > 0 && skin.Width <= INT16_MAX && skin.Height > 0 && skin.Height <= INT16_MAX) {
    width = skin.Width;
    height = skin.Height;
  }
}

// The first node with a mesh, depth first through the scene (or every root), or the one named.
int FindNode(const tinygltf::Model& model, const std::string& name, std::string& error)
{
  if (!name.empty()) {
    for (size_t n = 0; n < model.nodes.size(); ++n)
      if (model.nodes[n].name == name) {
        if (model.nodes[n].mesh >= 0 && size_t(model.nodes[n].mesh) < model.meshes.size())
          return int(n);
        error = "node " + name + " has no mesh";
        return -1;
      }
    error = "there is no node named " + name;
    return -1;
  }
  std::vector<int> stack;
  if (!model.scenes.empty()) {
    const size_t scene = model.defaultScene >= 0 && size_t(model.defaultScene) < model.scenes.size()
                             ? size_t(model.defaultScene)
                             : 0;
    stack.assign(model.scenes[scene].nodes.rbegin(), model.scenes[scene].nodes.rend());
  } else {
    for (size_t n = model.nodes.size(); n-- > 0;) stack.push_back(int(n));
  }
  std::vector<bool> seen(model.nodes.size(), false);
  while (!stack.empty()) {
    const int n = stack.back();
    stack.pop_back();
    if (n < 0 || size_t(n) >= model.nodes.size() || seen[size_t(n)]) continue;
    seen[size_t(n)] = true;
    const tinygltf::Node& node = model.nodes[size_t(n)];
    if (node.mesh >= 0 && size_t(node.mesh) < model.meshes.size()) return n;
    stack.insert(stack.end(), node.children.rbegin(), node.children.rend());
  }
  error = "it has no mesh";
  return -1;
}

// The animations the options choose, in their order; false with `error` for one not there.
bool ChooseAnimations(const TImportOptions& options, const tinygltf::Model& model,
                      std::vector<int32_t>& chosen, std::string& error)
{
  const int32_t count = int32_t(model.animations.size());
  if (options.Animations.empty())
    for (int32_t a = 0; a < count; ++a) chosen.push_back(a);
  for (const TAnimationChoice& choice : options.Animations) {
    if (choice.Name.empty()) {
      if (choice.Last >= count) {
        error = "there is no animation " + std::to_string(choice.Last) + " (the file has " +
                std::to_string(count) + ")";
        return false;
      }
      for (int32_t a = choice.First; a <= choice.Last; ++a) chosen.push_back(a);
      continue;
    }
    const size_t before = chosen.size();
    for (int32_t a = 0; a < count; ++a)
      if (model.animations[size_t(a)].name == choice.Name) chosen.push_back(a);
    if (chosen.size() == before) {
      error = "there is no animation named " + choice.Name;
      return false;
    }
  }
  return true;
}

// Positions in the model's space (+x forward, Z up) for one frame, three per draw vertex.
// The node's skin when it has one and the mesh has joints and weights; false with `error` when
// the skin does not fit the mesh.
bool ReadSkin(const TGltfScene& scene, int node, const TDrawMesh& mesh, TSkinJoints& skin,
              std::string& error)
{
  const tinygltf::Model& model = scene.Model();
  const int index = model.nodes[size_t(node)].skin;
  if (index < 0 || mesh.Joints.empty()) return true;
  if (size_t(index) >= model.skins.size()) {
    error = "skin " + std::to_string(index) + " does not exist";
    return false;
  }
  const tinygltf::Skin& gltfSkin = model.skins[size_t(index)];
  for (const int joint : gltfSkin.joints)
    if (joint < 0 || size_t(joint) >= model.nodes.size()) {
      error = "skin " + std::to_string(index) + " has a joint that is not a node";
      return false;
    }
  skin.Nodes = gltfSkin.joints;
  TMatrix identity{};
  for (size_t k = 0; k < 4; ++k) identity[k * 5] = 1;
  skin.InverseBind.assign(skin.Nodes.size(), identity);
  if (gltfSkin.inverseBindMatrices >= 0) {
    std::vector<float> matrices;
    size_t width = 0;
    if (!scene.Floats(gltfSkin.inverseBindMatrices, matrices, width, error)) return false;
    if (width != 16 || matrices.size() != skin.Nodes.size() * 16) {
      error = "skin " + std::to_string(index) + " has inverse bind matrices that do not match its joints";
      return false;
    }
    for (size_t j = 0; j < skin.Nodes.size(); ++j)
      std::copy_n(&matrices[j * 16], 16, skin.InverseBind[j].begin());
  }
  for (const float joint : mesh.Joints)
    if (!(joint >= 0 && joint < float(skin.Nodes.size()))) {
      error = "a vertex names joint " + std::to_string(int64_t(joint)) + " of a skin of " +
              std::to_string(skin.Nodes.size());
      return false;
    }
  return true;
}

TMatrix Product(const TMatrix& a, const TMatrix& b)
{
  TMatrix m{};
  for (size_t c = 0; c < 4; ++c)
    for (size_t r = 0; r < 4; ++r)
      for (size_t k = 0; k < 4; ++k) m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
  return m;
}

void FramePositions(const TGltfScene& scene, int node, const TDrawMesh& mesh,
                    const TSkinJoints& skin, const TFrameSample& sample, double scale,
                    std::vector<float>& out)
{
  const std::vector<TNodePose> poses = scene.Poses(sample.Animation, sample.Time);
  // A skinned mesh is placed by its joints alone, not by its node's transform.
  std::vector<TMatrix> jointMatrices;
  for (size_t j = 0; j < skin.Nodes.size(); ++j)
    jointMatrices.push_back(Product(scene.World(poses, skin.Nodes[j]), skin.InverseBind[j]));
  std::vector<double> weights(mesh.Targets.size(), 0.0);
  if (sample.Target >= 0) {
    weights[size_t(sample.Target)] = 1;
  } else {
    const std::vector<double>& given = poses[size_t(node)].Weights;
    std::copy_n(given.begin(), std::min(given.size(), weights.size()), weights.begin());
  }
  const TMatrix nodeWorld = scene.World(poses, node);
  out.resize(mesh.Vertices * 3);
  for (size_t v = 0; v < mesh.Vertices; ++v) {
    double p[3];
    for (size_t k = 0; k < 3; ++k) {
      // One target at weight 1 adds in float, as the exporter subtracted.
      float local = mesh.Base[v * 3 + k];
      double sum = 0;
      for (size_t t = 0; t < weights.size(); ++t)
        if (weights[t] == 1 && sample.Target >= 0)
          local += mesh.Targets[t][v * 3 + k];
        else if (weights[t] != 0)
          sum += weights[t] * mesh.Targets[t][v * 3 + k];
      p[k] = double(local) + sum;
    }
    TMatrix world = nodeWorld;
    if (!jointMatrices.empty()) {
      world = {};
      for (size_t k = 0; k < 4; ++k) {
        const double weight = mesh.Weights[v * 4 + k];
        if (weight == 0) continue;
        const TMatrix& joint = jointMatrices[size_t(mesh.Joints[v * 4 + k])];
        for (size_t e = 0; e < 16; ++e) world[e] += weight * joint[e];
      }
    }
    double gltf[3];
    for (size_t r = 0; r < 3; ++r)
      gltf[r] = world[r] * p[0] + world[4 + r] * p[1] + world[8 + r] * p[2] + world[12 + r];
    for (size_t axis = 0; axis < 3; ++axis)
      out[v * 3 + size_t(AxisSource[axis])] = float(gltf[axis] * AxisSign[axis] * scale);
  }
}

// The frame in bytes on the grid it was exported with (scale and translate, three each), when
// every position lies on a point of that grid; false when one does not (the glTF was exported
// at another scale, or edited since), so the frame gets a grid of its own.
bool OnStoredGrid(const std::vector<render::TVector>& positions, const std::vector<bool>& placed,
                  const float* grid, bots::TMD2RawFrame& frame)
{
  // How far from a grid point the float rounding of an export leaves a position, in steps.
  constexpr double Slack = 0.01;
  std::copy_n(grid, 3, frame.Scale.begin());
  std::copy_n(grid + 3, 3, frame.Translate.begin());
  frame.Vertices.clear();
  for (size_t m = 0; m < positions.size(); ++m) {
    const float xyz[3] = {positions[m].x, positions[m].y, positions[m].z};
    std::array<uint8_t, 3> bytes{};
    for (size_t a = 0; a < 3 && placed[m]; ++a) {
      if (!(frame.Scale[a] > 0) || !std::isfinite(frame.Translate[a])) return false;
      const double steps = (double(xyz[a]) - frame.Translate[a]) / frame.Scale[a];
      const double nearest = std::round(steps);
      if (!(nearest >= 0 && nearest <= 255 && std::fabs(steps - nearest) <= Slack))
        return false;
      bytes[a] = uint8_t(nearest);
    }
    frame.Vertices.push_back(bytes);
  }
  return true;
}

// The model vertex of each draw vertex: draw vertices at the same place in every frame are one
// model vertex, numbered in the order they first appear.
std::vector<int32_t> MergeVertices(const std::vector<std::vector<float>>& frames, size_t vertices)
{
  // -1, 0, 1 as draw vertex a's positions come before, with or after b's, frame by frame.
  const auto compare = [&](uint32_t a, uint32_t b) {
    for (const std::vector<float>& frame : frames)
      for (size_t k = 0; k < 3; ++k)
        if (frame[a * 3 + k] != frame[b * 3 + k]) return frame[a * 3 + k] < frame[b * 3 + k] ? -1 : 1;
    return 0;
  };
  std::vector<uint32_t> order(vertices);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    const int c = compare(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  // Each draw vertex's first twin (the lowest index at its place).
  std::vector<uint32_t> first(vertices);
  for (size_t i = 0; i < order.size(); ++i)
    first[order[i]] = i > 0 && compare(order[i - 1], order[i]) == 0 ? first[order[i - 1]] : order[i];
  std::vector<int32_t> model(vertices, -1);
  int32_t next = 0;
  for (size_t v = 0; v < vertices; ++v) model[v] = first[v] == v ? next++ : model[first[v]];
  return model;
}

}  // namespace

namespace {
bool Import(const TImportOptions& options, TImportedModel& result, std::string& error);
}  // namespace

std::vector<std::vector<std::string>> SampledFrameNames(const std::vector<std::string>& animations,
                                                        const std::vector<int32_t>& frameCounts,
                                                        std::vector<std::string>& notes)
{
  std::vector<std::vector<std::string>> names;
  std::vector<std::string> stems;
  for (size_t a = 0; a < animations.size(); ++a) {
    const std::string given = animations[a].empty() ? "frame" : animations[a];
    const size_t digits = std::to_string(std::max(frameCounts[a], 1)).size();
    const auto endsInDigit = [](const std::string& s) {
      return !s.empty() && s.back() >= '0' && s.back() <= '9';
    };
    const auto fit = [&](std::string stem) {
      while (stem.size() + (endsInDigit(stem) ? 1 : 0) + digits > FrameNameChars) stem.pop_back();
      return endsInDigit(stem) ? stem + "_" : stem;
    };
    std::string stem = fit(given);
    // A stem another animation has: its end becomes "_" and a letter, the first one free
    // (letters, digits, "_" and "-" are what sprite file names keep).
    for (char tag = 'a'; std::find(stems.begin(), stems.end(), stem) != stems.end() && tag <= 'z';
         ++tag) {
      stem = fit(given);
      stem = stem.substr(0, std::min(stem.size(), FrameNameChars - digits - 2)) + "_" + tag;
    }
    if (stem != given && stem != given + "_")
      notes.push_back("animation " + given + " has frames named " + stem + "1.." + stem +
                      std::to_string(frameCounts[a]) + " (a frame name holds " +
                      std::to_string(FrameNameChars) + " characters)");
    stems.push_back(stem);
    std::vector<std::string> frames;
    for (int32_t k = 0; k < frameCounts[a]; ++k) frames.push_back(stem + std::to_string(k + 1));
    names.push_back(std::move(frames));
  }
  return names;
}

bool ImportGltf(const TImportOptions& options, TImportedModel& result, std::string& error)
{
  try {
    return Import(options, result, error);
  } catch (const std::bad_alloc&) {
    error = "cannot import " + options.In + ": not enough memory";
  } catch (const std::exception& failure) {
    error = "cannot import " + options.In + ": " + failure.what();
  }
  return false;
}

namespace {

bool Import(const TImportOptions& options, TImportedModel& result, std::string& error)
{
  TGltfScene scene;
  if (!scene.Load(options.In, error)) return false;
  const std::string where = "cannot import " + options.In + ": ";
  const tinygltf::Model& model = scene.Model();
  const int node = FindNode(model, options.Node, error);
  if (node < 0) {
    error = where + error;
    return false;
  }
  const tinygltf::Mesh& gltfMesh = model.meshes[size_t(model.nodes[size_t(node)].mesh)];
  TDrawMesh mesh;
  if (!ReadMesh(scene, gltfMesh, mesh, error)) {
    error = where + error;
    return false;
  }
  if (mesh.Indices.size() / 3 > MaxTriangles.Most) {
    error = where + Count(mesh.Indices.size() / 3, MaxTriangles);
    return false;
  }
  TSkinJoints skin;
  if (!ReadSkin(scene, node, mesh, skin, error) || !BaseColour(scene, gltfMesh, result.Skin, error)) {
    error = where + error;
    return false;
  }
  TStoredNumbers stored;
  const bool keyed = !options.FpsGiven && options.Animations.empty() &&
                     ReadStored(gltfMesh, mesh, stored);

  std::vector<TFrameSample> samples;
  if (keyed) {
    for (size_t t = 0; t < mesh.Targets.size(); ++t)
      samples.push_back({int32_t(t), -1, 0, stored.FrameNames[t]});
  } else {
    std::vector<int32_t> chosen;
    if (!ChooseAnimations(options, model, chosen, error)) {
      error = where + error;
      return false;
    }
    std::vector<std::string> animationNames;
    std::vector<int32_t> counts;
    size_t total = 0;
    for (const int32_t a : chosen) {
      animationNames.push_back(model.animations[size_t(a)].name);
      const double frames = std::floor(scene.Duration(a) * options.Fps + 1e-6) + 1;
      counts.push_back(int32_t(std::min(frames, double(MaxFrames.Most + 1))));
      total += size_t(counts.back());
    }
    if (chosen.empty()) {
      animationNames.push_back("frame");
      counts.push_back(1);
      total = 1;
    }
    if (total > MaxFrames.Most) {
      error = where + Count(total, MaxFrames);
      return false;
    }
    const std::vector<std::vector<std::string>> names =
        SampledFrameNames(animationNames, counts, result.Notes);
    for (size_t i = 0; i < counts.size(); ++i)
      for (int32_t k = 0; k < counts[i]; ++k)
        samples.push_back({-1, chosen.empty() ? -1 : chosen[i], double(k) / options.Fps,
                           names[i][size_t(k)]});
  }
  if (samples.size() > MaxFrames.Most) {
    error = where + Count(samples.size(), MaxFrames);
    return false;
  }

  std::vector<std::vector<float>> frames(samples.size());
  try {
    for (size_t f = 0; f < samples.size(); ++f)
      FramePositions(scene, node, mesh, skin, samples[f], options.Scale, frames[f]);
  } catch (const std::bad_alloc&) {
    error = where + "not enough memory";
    return false;
  }
  for (const std::vector<float>& frame : frames)
    for (const float value : frame)
      if (!std::isfinite(value)) {
        error = where + "a position is not a number";
        return false;
      }

  const std::vector<int32_t> modelVertex =
      keyed ? stored.DrawVertices : MergeVertices(frames, mesh.Vertices);
  const size_t vertexCount =
      keyed ? size_t(stored.VertexCount)
            : size_t(*std::max_element(modelVertex.begin(), modelVertex.end()) + 1);
  if (vertexCount > MaxVertices.Most) {
    error = where + Count(vertexCount, MaxVertices);
    return false;
  }

  bots::TMD2Content& content = result.Content;
  std::vector<int32_t> cornerTexCoord(mesh.Indices.size());
  if (keyed) {
    content.SkinWidth = stored.SkinWidth;
    content.SkinHeight = stored.SkinHeight;
    for (size_t i = 0; i + 1 < stored.TexCoords.size(); i += 2)
      content.TexCoords.push_back({int16_t(stored.TexCoords[i]), int16_t(stored.TexCoords[i + 1])});
    // Stored in the format's corner order; held here in glTF's, as the indices are.
    for (size_t c = 0; c < cornerTexCoord.size(); ++c)
      cornerTexCoord[c - c % 3 + GltfCorner(c % 3)] = stored.CornerTexCoords[c];
    content.SkinNames = stored.Skins;
    if (stored.HasGlCommands) content.GlCommands = stored.GlCommands;
  } else {
    SkinSize(gltfMesh, result.Skin, content.SkinWidth, content.SkinHeight);
    // Texture coordinates in skin pixels; the same pair is one entry of the table.
    std::map<std::array<int16_t, 2>, int32_t> table;
    for (size_t c = 0; c < mesh.Indices.size(); ++c) {
      const uint32_t v = mesh.Indices[c];
      const auto pixel = [](float value, int32_t size) {
        return int16_t(std::clamp(std::lround(double(value) * size), long(INT16_MIN), long(INT16_MAX)));
      };
      const std::array<int16_t, 2> st{pixel(mesh.TexCoords[v * 2], content.SkinWidth),
                                      pixel(mesh.TexCoords[v * 2 + 1], content.SkinHeight)};
      const auto [at, added] = table.emplace(st, int32_t(table.size()));
      if (added) content.TexCoords.push_back(st);
      cornerTexCoord[c] = at->second;
    }
  }
  if (!options.SkinOut.empty()) {
    // The skin is looked for beside the model: its name without the folder.
    const std::string name = options.SkinOut.substr(options.SkinOut.find_last_of('/') + 1);
    if (name.size() >= SkinNameBytes) {
      error = where + "the skin's name " + name + " is longer than " +
              std::to_string(SkinNameBytes - 1) + " bytes";
      return false;
    }
    content.SkinNames.insert(content.SkinNames.begin(), name);
  }
  if (content.SkinNames.size() > MaxSkins.Most) {
    error = where + Count(content.SkinNames.size(), MaxSkins);
    return false;
  }
  if (content.TexCoords.size() > MaxTexCoords.Most) {
    error = where + Count(content.TexCoords.size(), MaxTexCoords);
    return false;
  }
  for (size_t t = 0; t < mesh.Indices.size() / 3; ++t) {
    bots::TMD2Triangle triangle{};
    for (size_t k = 0; k < 3; ++k) {
      const size_t corner = t * 3 + GltfCorner(k);
      triangle.Vertex[k] = int16_t(modelVertex[mesh.Indices[corner]]);
      triangle.TexCoord[k] = int16_t(cornerTexCoord[corner]);
    }
    content.Triangles.push_back(triangle);
  }

  // Each frame over its own box (or the box it was exported from); the error is measured
  // against the positions as the reader decodes the bytes.
  double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (size_t f = 0; f < frames.size(); ++f) {
    std::vector<render::TVector> positions(vertexCount);
    std::vector<bool> placed(vertexCount, false);
    for (size_t v = 0; v < mesh.Vertices; ++v) {
      const size_t m = size_t(modelVertex[v]);
      if (placed[m]) continue;
      placed[m] = true;
      positions[m] = render::Vector(frames[f][v * 3], frames[f][v * 3 + 1], frames[f][v * 3 + 2]);
      // A file may hold infinities or NaN, or poses that overflow: no byte grid holds those.
      if (!std::isfinite(positions[m].x) || !std::isfinite(positions[m].y) ||
          !std::isfinite(positions[m].z)) {
        error = where + "frame " + std::to_string(f) + " places vertex " + std::to_string(v) +
                " at a position that is not a finite number";
        return false;
      }
    }
    bots::TMD2RawFrame frame;
    if (!keyed || !OnStoredGrid(positions, placed, &stored.Frames[f * 6], frame))
      frame = bots::QuantizeFrame(positions, samples[f].Name);
    frame.Name = samples[f].Name;
    for (size_t m = 0; m < vertexCount; ++m) {
      if (!placed[m]) continue;
      const float xyz[3] = {positions[m].x, positions[m].y, positions[m].z};
      for (size_t a = 0; a < 3; ++a) {
        const float decoded =
            static_cast<float>(double(frame.Vertices[m][a]) * frame.Scale[a] + frame.Translate[a]);
        result.LargestError = std::max(result.LargestError, std::fabs(double(decoded) - xyz[a]));
        low[a] = std::min(low[a], double(xyz[a]));
        high[a] = std::max(high[a], double(xyz[a]));
      }
    }
    content.Frames.push_back(std::move(frame));
  }
  if (!keyed || !stored.HasGlCommands) content.GlCommands = BuildGlCommands(content);
  result.Size = std::sqrt((high[0] - low[0]) * (high[0] - low[0]) +
                          (high[1] - low[1]) * (high[1] - low[1]) +
                          (high[2] - low[2]) * (high[2] - low[2]));
  return true;
}

}  // namespace

}  // namespace quarn::convert
