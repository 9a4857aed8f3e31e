#include "convert/GltfExporter.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "bots/MD2.h"
#include "bots/MD2Mesh.h"
#include "formats/Md2.h"
#include "convert/GltfBuffer.h"
#include "convert/MorphMesh.h"
#include "platform/Files.h"
#include "model/Animations.h"

namespace quarn::convert {

namespace {

constexpr const char* Generator = "quarn 1.0";
constexpr const char* VariantsExtension = "KHR_materials_variants";
constexpr const char* UnlitExtension = "KHR_materials_unlit";
constexpr const char* QuantizationExtension = "KHR_mesh_quantization";
// The grey the program draws a model without a skin in.
constexpr double UntexturedGrey = 0.6;

// Bytes of a valid UTF-8 sequence starting with `lead`, 0 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead)
{
  return lead < 0x80                   ? 1
         : lead >= 0xc2 && lead < 0xe0 ? 2
         : lead >= 0xe0 && lead < 0xf0 ? 3
         : lead >= 0xf0 && lead < 0xf5 ? 4
                                       : 0;
}

bool IsUtf8(const std::string& text)
{
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return false;
    // No overlong forms, surrogates or code points past U+10FFFF.
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const unsigned char next = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0;
    if ((lead == 0xe0 && next < 0xa0) || (lead == 0xed && next >= 0xa0) ||
        (lead == 0xf0 && next < 0x90) || (lead == 0xf4 && next >= 0x90))
      return false;
    i += length;
  }
  return true;
}

// glTF's JSON holds UTF-8 only. Names recorded in models and file names are bytes: valid UTF-8
// is kept, anything else is read as Latin-1, as the console shows it.
std::string Utf8(const std::string& text)
{
  if (IsUtf8(text)) return text;
  std::string out;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xc0 | u >> 6);
      out += static_cast<char>(0x80 | (u & 0x3f));
    }
  }
  return out;
}

// The file name without its folder, as bytes.
std::string FileBase(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The same as a name in the model.
std::string BaseName(const std::string& path) { return Utf8(FileBase(path)); }

// A relative URI naming `name`: characters other than letters, digits and -._~ are escaped.
std::string UriOf(const std::string& name)
{
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      uri += c;
    } else {
      uri += '%';
      uri += Hex[u >> 4];
      uri += Hex[u & 15];
    }
  }
  return uri;
}

std::string_view AsText(const std::vector<uint8_t>& bytes)
{
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

tinygltf::Value Object(tinygltf::Value::Object members)
{
  return tinygltf::Value(std::move(members));
}

void Use(tinygltf::Model& model, const char* extension, bool required)
{
  auto add = [extension](std::vector<std::string>& list) {
    if (std::find(list.begin(), list.end(), extension) == list.end()) list.push_back(extension);
  };
  add(model.extensionsUsed);
  if (required) add(model.extensionsRequired);
}

// The model's numbers that the glTF's floats do not keep exactly, so an import can give back
// the same file: the skin size, the texture coordinate table, each triangle corner's entry in
// it (in file order), the model vertex of each draw vertex, each frame's scale and translate
// (x, y, z each), the skin names recorded and the GL command list.
tinygltf::Value StoredNumbers(const bots::TMD2& model)
{
  namespace md2 = formats::md2;
  const bots::TMD2Layout& layout = model.Layout();
  const formats::TByteReader& file = model.Data();
  const bots::TMD2Mesh& mesh = model.Mesh();
  tinygltf::Value::Array st, corners, vertices, frames, skins;
  for (const std::string& skin : model.SkinNames()) skins.emplace_back(Utf8(skin));
  for (int32_t i = 0; i < layout.NumTexCoords; ++i)
    for (size_t k = 0; k < 2; ++k)
      st.emplace_back(int(file.I16At(layout.OfsTexCoords + size_t(i) * md2::TexCoordSize + 2 * k)));
  for (int32_t t = 0; t < layout.NumTriangles; ++t)
    for (size_t k = 0; k < 3; ++k)
      corners.emplace_back(
          int(file.I16At(layout.OfsTriangles + size_t(t) * md2::TriangleSize + 6 + 2 * k)));
  for (int32_t v = 0; v < mesh.DrawVertexCount(); ++v)
    vertices.emplace_back(int(mesh.ModelVertex(uint32_t(v))));
  for (int32_t f = 0; f < layout.NumFrames; ++f) {
    const size_t at = layout.OfsFrames + size_t(f) * size_t(layout.FrameSize);
    for (size_t k = 0; k < 6; ++k) frames.emplace_back(double(file.F32At(at + 4 * k)));
  }
  // The GL command list as it is, when it lies inside the file (with its count: an empty
  // array is written as null).
  tinygltf::Value::Array commands;
  const int32_t words = file.I32At(md2::at::NumGlCommands);
  const int32_t at = file.I32At(md2::at::OfsGlCommands);
  if (words >= 0 && at >= 0 && uint64_t(at) + 4 * uint64_t(words) <= file.Size())
    for (int32_t i = 0; i < words; ++i) commands.emplace_back(int(file.I32At(uint64_t(at) + 4 * uint64_t(i))));
  const int commandCount = int(commands.size());
  return Object({{"skinWidth", tinygltf::Value(layout.SkinWidth)},
                 {"glCommands", tinygltf::Value(std::move(commands))},
                 {"glCommandCount", tinygltf::Value(commandCount)},
                 {"skinHeight", tinygltf::Value(layout.SkinHeight)},
                 {"vertexCount", tinygltf::Value(layout.NumVertices)},
                 {"texCoords", tinygltf::Value(std::move(st))},
                 {"cornerTexCoords", tinygltf::Value(std::move(corners))},
                 {"drawVertices", tinygltf::Value(std::move(vertices))},
                 {"frames", tinygltf::Value(std::move(frames))},
                 {"skins", tinygltf::Value(std::move(skins))}});
}

}  // namespace

std::vector<TFrameGroup> ModelFrameGroups(const bots::TMD2& body)
{
  std::vector<TFrameGroup> groups;
  for (const model::TAnimation& group : model::RecordedAnimations(body))
    groups.push_back({group.Name, group.First, group.Last});
  return groups;
}

TGltfExporter::TGltfExporter(const TExportOptions& options)
    : FOptions(options),
      FModel(std::make_unique<tinygltf::Model>()),
      FBuffer(std::make_unique<TGltfBuffer>(*FModel))
{
  FModel->asset.version = "2.0";
  FModel->asset.generator = Generator;
  FModel->scenes.emplace_back();
  FModel->defaultScene = 0;
}

TGltfExporter::~TGltfExporter() = default;

std::string TGltfExporter::SideFileName(const std::string& fileName,
                                        const std::string& suffix) const
{
  const size_t dot = fileName.find_last_of('.');
  return fileName.substr(0, dot) + suffix;
}

int TGltfExporter::AddMaterials(const std::string& name, const std::vector<TSkinPng>& skins)
{
  tinygltf::Material plain;
  plain.pbrMetallicRoughness.metallicFactor = 0;
  plain.pbrMetallicRoughness.roughnessFactor = 1;
  if (FOptions.Unlit) {
    plain.extensions[UnlitExtension] = Object({});
    Use(*FModel, UnlitExtension, false);
  }
  FVariantMaterials.emplace_back();
  if (skins.empty()) {
    plain.name = Utf8(name);
    plain.pbrMetallicRoughness.baseColorFactor = {UntexturedGrey, UntexturedGrey, UntexturedGrey,
                                                  1};
    FModel->materials.push_back(plain);
    return int(FModel->materials.size() - 1);
  }
  tinygltf::Sampler sampler;
  const int filter =
      FOptions.NearestFilter ? TINYGLTF_TEXTURE_FILTER_NEAREST : TINYGLTF_TEXTURE_FILTER_LINEAR;
  sampler.magFilter = filter;
  sampler.minFilter = filter;
  FModel->samplers.push_back(sampler);
  const int first = int(FModel->materials.size());
  for (size_t j = 0; j < skins.size(); ++j) {
    tinygltf::Image image;
    image.name = BaseName(skins[j].FileName);
    image.mimeType = "image/png";
    if (IsTextGltf(FOptions.Out)) {
      const std::string suffix = "_" + name + "_skin" + std::to_string(j + 1) + ".png";
      image.uri = UriOf(FileBase(SideFileName(FOptions.Out, suffix)));
      FSideImages.push_back(suffix);
      FSideImageBytes.push_back(skins[j].Png);
    } else {
      image.bufferView = FBuffer->RawView(skins[j].Png);
    }
    FSkinBytes += skins[j].Png.size();
    FModel->images.push_back(std::move(image));
    tinygltf::Texture texture;
    texture.sampler = int(FModel->samplers.size() - 1);
    texture.source = int(FModel->images.size() - 1);
    FModel->textures.push_back(texture);
    tinygltf::Material material = plain;
    material.name = BaseName(skins[j].FileName);
    material.pbrMetallicRoughness.baseColorTexture.index = int(FModel->textures.size() - 1);
    FModel->materials.push_back(std::move(material));
    FVariantMaterials.back().push_back(int(FModel->materials.size() - 1));
    if (j >= FVariantNames.size()) FVariantNames.push_back(BaseName(skins[j].FileName));
  }
  return first;
}

void TGltfExporter::AddPrimitive(const TMorphMesh& mesh, int material)
{
  const bool quantize = FOptions.Quantize != TQuantize::None;
  const TComponents targetKind = FOptions.Quantize == TQuantize::Bits8 ? TComponents::NormalizedI8
                                 : quantize                            ? TComponents::NormalizedI16
                                                                       : TComponents::Float;
  const size_t floats = size_t(mesh.VertexCount()) * 3;
  const float* base = mesh.Positions(0);

  // Quantised positions are stored as (p - centre) / unit, in -1..1; the node's translation
  // and scale turn them back. The unit covers the base frame and every frame's deltas.
  float centre[3] = {0, 0, 0};
  float unit = 1;
  if (quantize) {
    float low[3] = {base[0], base[1], base[2]}, high[3] = {base[0], base[1], base[2]};
    for (size_t i = 0; i < floats; ++i) {
      low[i % 3] = std::min(low[i % 3], base[i]);
      high[i % 3] = std::max(high[i % 3], base[i]);
    }
    float reach = 0;
    for (int axis = 0; axis < 3; ++axis) {
      centre[axis] = (low[axis] + high[axis]) / 2;
      reach = std::max(reach, (high[axis] - low[axis]) / 2);
    }
    for (int32_t frame = 1; frame < mesh.FrameCount(); ++frame)
      for (size_t i = 0; i < floats; ++i)
        reach = std::max(reach, std::fabs(mesh.Positions(frame)[i] - base[i]));
    // A little room, so rounding never pushes a value past the end of the range.
    if (reach > 0 && std::isfinite(reach)) unit = reach * 1.0001f;
    tinygltf::Node& node = FModel->nodes.back();
    node.translation = {centre[0], centre[1], centre[2]};
    node.scale = {unit, unit, unit};
  }

  tinygltf::Primitive primitive;
  primitive.mode = TINYGLTF_MODE_TRIANGLES;
  primitive.material = material;
  primitive.indices = FBuffer->Indices(mesh.Indices(), uint32_t(mesh.VertexCount()));
  std::vector<float> values(floats);
  for (size_t i = 0; i < floats; ++i) values[i] = (base[i] - centre[i % 3]) / unit;
  primitive.attributes["POSITION"] = FBuffer->Attribute(
      values, 3, quantize ? TComponents::NormalizedI16 : TComponents::Float, true);
  primitive.attributes["NORMAL"] =
      FBuffer->Attribute({mesh.Normals(0), floats}, 3,
                         quantize ? TComponents::NormalizedI16 : TComponents::Float, false);
  const std::vector<float>& st = mesh.TexCoords();
  const bool unitSquare =
      std::all_of(st.begin(), st.end(), [](float v) { return v >= 0 && v <= 1; });
  primitive.attributes["TEXCOORD_0"] = FBuffer->Attribute(
      st, 2, quantize && unitSquare ? TComponents::NormalizedU16 : TComponents::Float, false);

  for (int32_t frame = 0; frame < mesh.FrameCount(); ++frame) {
    const float* position = mesh.Positions(frame);
    const float* normal = mesh.Normals(frame);
    for (size_t i = 0; i < floats; ++i) values[i] = (position[i] - base[i]) / unit;
    const int positions = FBuffer->Target(values, targetKind);
    // Normal deltas reach 2 where a normal turns round; those frames keep floats.
    bool fits = true;
    for (size_t i = 0; i < floats; ++i) {
      values[i] = normal[i] - mesh.Normals(0)[i];
      fits = fits && std::fabs(values[i]) <= 1;
    }
    const int normals = FBuffer->Target(values, fits ? targetKind : TComponents::Float);
    primitive.targets.push_back({{"POSITION", positions}, {"NORMAL", normals}});
  }
  FModel->meshes.back().primitives.push_back(std::move(primitive));
}

bool TGltfExporter::AddModel(const bots::TMD2& model, const std::string& name,
                             const std::vector<TSkinPng>& skins, std::string& error)
{
  TMorphMesh mesh;
  std::string reason;
  if (!mesh.Build(model, FOptions.Scale, reason)) {
    error = "cannot export model " + model.FileName() + ": " + reason;
    return false;
  }
  tinygltf::Mesh gltfMesh;
  gltfMesh.name = Utf8(name);
  tinygltf::Value::Array targetNames;
  for (const std::string& frame : mesh.FrameNames()) targetNames.emplace_back(Utf8(frame));
  gltfMesh.extras = Object({{"targetNames", tinygltf::Value(std::move(targetNames))},
                            {"md2", StoredNumbers(model)}});
  FModel->meshes.push_back(std::move(gltfMesh));
  tinygltf::Node node;
  node.name = Utf8(name);
  node.mesh = int(FModel->meshes.size() - 1);
  FModel->nodes.push_back(std::move(node));
  FModel->scenes[0].nodes.push_back(int(FModel->nodes.size() - 1));

  const int material = AddMaterials(name, skins);
  AddPrimitive(mesh, material);
  FParts.push_back({int(FModel->nodes.size() - 1), mesh.FrameCount()});
  return true;
}

void TGltfExporter::AddAnimations(const std::vector<TFrameGroup>& groups)
{
  for (const TFrameGroup& group : groups) {
    // Key k holds frame First + k at k / fps seconds; the last key closes the loop on First.
    const int32_t frames = group.Last - group.First + 1;
    std::vector<float> times;
    for (int32_t k = 0; k <= frames; ++k) times.push_back(float(double(k) / FOptions.Fps));
    tinygltf::Animation animation;
    animation.name = Utf8(group.Name);
    const int input = FBuffer->Scalars(times);
    for (const TPart& part : FParts) {
      std::vector<uint32_t> hot;
      for (int32_t k = 0; k <= frames; ++k)
        hot.push_back(uint32_t(std::min(group.First + k % frames, part.Frames - 1)));
      tinygltf::AnimationSampler sampler;
      sampler.input = input;
      sampler.output = FBuffer->OneHotWeights(hot, uint32_t(part.Frames));
      sampler.interpolation = "LINEAR";
      animation.samplers.push_back(sampler);
      tinygltf::AnimationChannel channel;
      channel.sampler = int(animation.samplers.size() - 1);
      channel.target_node = part.Node;
      channel.target_path = "weights";
      animation.channels.push_back(channel);
    }
    FModel->animations.push_back(std::move(animation));
  }
}

bool TGltfExporter::Write(const std::string& fileName, TExportSizes& sizes, std::string& error)
{
  tinygltf::Model& model = *FModel;
  if (FOptions.Quantize != TQuantize::None) Use(model, QuantizationExtension, true);
  // Every skin a variant: variant j puts each model's skin j on it (a model with fewer
  // skins keeps its first).
  if (FVariantNames.size() > 1) {
    tinygltf::Value::Array variants;
    for (const std::string& name : FVariantNames)
      variants.push_back(Object({{"name", tinygltf::Value(name)}}));
    model.extensions[VariantsExtension] = Object({{"variants", tinygltf::Value(variants)}});
    Use(model, VariantsExtension, false);
    for (size_t part = 0; part < FParts.size(); ++part) {
      tinygltf::Value::Array mappings;
      const std::vector<int>& materials = FVariantMaterials[part];
      for (size_t j = 0; j < materials.size(); ++j)
        mappings.push_back(Object(
            {{"material", tinygltf::Value(materials[j])},
             {"variants", tinygltf::Value(tinygltf::Value::Array{tinygltf::Value(int(j))})}}));
      if (!mappings.empty())
        model.meshes[size_t(part)].primitives[0].extensions[VariantsExtension] =
            Object({{"mappings", tinygltf::Value(mappings)}});
    }
  }

  const bool text = IsTextGltf(fileName);
  model.buffers.assign(1, tinygltf::Buffer());
  if (!text) model.buffers[0].data = FBuffer->Bytes();
  tinygltf::TinyGLTF writer;
  // Images are never encoded by the library: they are PNG already, in the buffer or beside.
  writer.SetImageWriter([](const std::string*, const std::string*, const tinygltf::Image*, bool,
                           std::string*, void*) { return false; },
                        nullptr);
  std::ostringstream out;
  std::string contents;
  const std::string binName = SideFileName(fileName, ".bin");
  try {
    if (!writer.WriteGltfSceneToStream(&model, out, text, !text)) {
      error = "cannot write file " + fileName + ": the glTF writer failed";
      return false;
    }
    contents = out.str();
    if (text) {
      // The buffer lives beside the JSON, as its .bin.
      nlohmann::json document = nlohmann::json::parse(contents);
      document["buffers"][0] = {{"byteLength", FBuffer->Bytes().size()},
                                {"uri", UriOf(FileBase(binName))}};
      contents = document.dump(2) + "\n";
    }
  } catch (const std::exception& failure) {
    error = "cannot write file " + fileName + ": " + failure.what();
    return false;
  }
  sizes = {};
  if (text) {
    if (!platform::ReplaceFile(binName, AsText(FBuffer->Bytes()), error)) return false;
    sizes.Written += FBuffer->Bytes().size();
    for (size_t i = 0; i < FSideImages.size(); ++i) {
      const std::vector<uint8_t>& png = FSideImageBytes[i];
      if (!platform::ReplaceFile(SideFileName(fileName, FSideImages[i]), AsText(png), error))
        return false;
      sizes.Written += png.size();
    }
  }
  if (!platform::ReplaceFile(fileName, contents, error)) return false;
  sizes.Written += contents.size();
  sizes.Targets = FBuffer->TargetBytes();
  sizes.DenseTargets = FBuffer->DenseTargetBytes();
  sizes.Skins = FSkinBytes;
  return true;
}

}  // namespace quarn::convert
