#include "convert/GltfScene.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>

namespace quarn::convert {

namespace {

constexpr char BinaryMagic[4] = {'g', 'l', 'T', 'F'};
// The most numbers one accessor may give (an accessor without a buffer view, all zeros but its
// sparse values, claims its count without data to back it).
constexpr size_t MaxAccessorNumbers = size_t(1) << 24;

// The first line of a reader's message, without its trailing blanks.
std::string FirstLine(const std::string& text)
{
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line.empty() ? "not a glTF file" : line;
}

bool StartsBinary(const std::string& fileName)
{
  std::ifstream in(fileName, std::ios::binary);
  char head[4] = {};
  in.read(head, 4);
  return in.gcount() == 4 && std::equal(head, head + 4, BinaryMagic);
}

// Images stay undecoded. The bytes of one read from a file or a data URI are kept; one in a
// buffer view stays there, to be read with its bounds checked.
bool KeepImage(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
               const unsigned char* bytes, int size, void*)
{
  if (image->bufferView < 0 && bytes && size > 0) image->image.assign(bytes, bytes + size);
  return true;
}

double Normalised(int componentType, double value)
{
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE: return std::max(value / 127.0, -1.0);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return value / 255.0;
    case TINYGLTF_COMPONENT_TYPE_SHORT: return std::max(value / 32767.0, -1.0);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return value / 65535.0;
    default: return value;
  }
}

// Component `k` at `at`, bounds already checked.
double Component(const unsigned char* at, int componentType)
{
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE: return double(*reinterpret_cast<const int8_t*>(at));
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return double(*at);
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
      int16_t v;
      std::memcpy(&v, at, 2);
      return v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
      uint16_t v;
      std::memcpy(&v, at, 2);
      return v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
      uint32_t v;
      std::memcpy(&v, at, 4);
      return v;
    }
    default: {
      float v;
      std::memcpy(&v, at, 4);
      return double(v);
    }
  }
}

// Where `count` elements of `elementBytes` each lie in a buffer view, `stride` apart from
// `offset`; null when they do not lie inside it.
const unsigned char* ViewData(const tinygltf::Model& model, int view, size_t offset, size_t count,
                              size_t elementBytes, size_t& stride)
{
  if (view < 0 || size_t(view) >= model.bufferViews.size()) return nullptr;
  const tinygltf::BufferView& v = model.bufferViews[size_t(view)];
  if (v.buffer < 0 || size_t(v.buffer) >= model.buffers.size()) return nullptr;
  const std::vector<unsigned char>& data = model.buffers[size_t(v.buffer)].data;
  if (v.byteOffset > data.size() || v.byteLength > data.size() - v.byteOffset) return nullptr;
  stride = v.byteStride ? v.byteStride : elementBytes;
  if (stride < elementBytes) return nullptr;
  if (count == 0) return data.data();
  const size_t span = offset + (count - 1) * stride + elementBytes;
  if (offset > v.byteLength || (count - 1) > (v.byteLength - offset) / stride ||
      span > v.byteLength)
    return nullptr;
  return data.data() + v.byteOffset + offset;
}

TMatrix Multiply(const TMatrix& a, const TMatrix& b)
{
  TMatrix m{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      for (int k = 0; k < 4; ++k) m[size_t(c * 4 + r)] += a[size_t(k * 4 + r)] * b[size_t(c * 4 + k)];
  return m;
}

TMatrix Local(const TNodePose& pose)
{
  if (pose.HasMatrix) return pose.Matrix;
  const auto& [x, y, z, w] = pose.Rotation;
  const double rotation[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                                 {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                                 {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
  TMatrix m{};
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) m[size_t(c * 4 + r)] = rotation[r][c] * pose.Scale[size_t(c)];
  for (int r = 0; r < 3; ++r) m[size_t(12 + r)] = pose.Translation[size_t(r)];
  m[15] = 1;
  return m;
}

}  // namespace

TGltfScene::TGltfScene() : FModel(std::make_unique<tinygltf::Model>()) {}
TGltfScene::~TGltfScene() = default;

bool TGltfScene::Load(const std::string& fileName, std::string& error)
{
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(KeepImage, nullptr);
  std::string err, warn;
  bool loaded = false;
  try {
    loaded = StartsBinary(fileName) ? loader.LoadBinaryFromFile(FModel.get(), &err, &warn, fileName)
                                    : loader.LoadASCIIFromFile(FModel.get(), &err, &warn, fileName);
  } catch (const std::exception& failure) {
    err = failure.what();
  }
  if (!loaded) {
    error = "cannot read " + fileName + ": " + FirstLine(err);
    return false;
  }
  FParents.assign(FModel->nodes.size(), -1);
  for (size_t n = 0; n < FModel->nodes.size(); ++n)
    for (const int child : FModel->nodes[n].children) {
      if (child < 0 || size_t(child) >= FParents.size() || FParents[size_t(child)] != -1 ||
          size_t(child) == n) {
        error = "cannot read " + fileName + ": node " + std::to_string(n) +
                " has a child that is not a node of its own";
        return false;
      }
      FParents[size_t(child)] = int(n);
    }
  // A cycle would make World loop: every chain of parents must end within the node count.
  for (size_t n = 0; n < FParents.size(); ++n) {
    size_t steps = 0;
    for (int at = int(n); at != -1; at = FParents[size_t(at)])
      if (++steps > FParents.size()) {
        error = "cannot read " + fileName + ": the nodes' children form a cycle";
        return false;
      }
  }
  if (!ReadAnimations(error)) {
    error = "cannot read " + fileName + ": " + error;
    return false;
  }
  return true;
}

bool TGltfScene::Floats(int accessor, std::vector<float>& out, size_t& width,
                        std::string& error) const
{
  const tinygltf::Model& model = *FModel;
  if (accessor < 0 || size_t(accessor) >= model.accessors.size()) {
    error = "accessor " + std::to_string(accessor) + " does not exist";
    return false;
  }
  const tinygltf::Accessor& a = model.accessors[size_t(accessor)];
  const int components = tinygltf::GetNumComponentsInType(uint32_t(a.type));
  const int bytes = tinygltf::GetComponentSizeInBytes(uint32_t(a.componentType));
  if (components <= 0 || bytes <= 0 || a.count > MaxAccessorNumbers / size_t(std::max(components, 1))) {
    error = "accessor " + std::to_string(accessor) + " has a type this reader does not know";
    return false;
  }
  width = size_t(components);
  const size_t elementBytes = width * size_t(bytes);
  // The data must be there before anything is made for it.
  size_t stride = 0;
  const unsigned char* data =
      a.bufferView >= 0 ? ViewData(model, a.bufferView, a.byteOffset, a.count, elementBytes, stride)
                        : nullptr;
  if (a.bufferView >= 0 && !data) {
    error = "accessor " + std::to_string(accessor) + " lies outside its buffer";
    return false;
  }
  out.assign(a.count * width, 0.0f);
  const auto read = [&](const unsigned char* at, size_t element) {
    for (size_t k = 0; k < width; ++k) {
      const double value = Component(at + k * size_t(bytes), a.componentType);
      out[element * width + k] =
          float(a.normalized ? Normalised(a.componentType, value) : value);
    }
  };
  const std::string outside = "accessor " + std::to_string(accessor) + " lies outside its buffer";
  if (data)
    for (size_t i = 0; i < a.count; ++i) read(data + i * stride, i);
  if (a.sparse.isSparse) {
    const size_t count = size_t(std::max(a.sparse.count, 0));
    const int indexBytes = tinygltf::GetComponentSizeInBytes(uint32_t(a.sparse.indices.componentType));
    size_t indexStride = 0, valueStride = 0;
    const unsigned char* indices =
        indexBytes > 0 ? ViewData(model, a.sparse.indices.bufferView,
                                  size_t(std::max(a.sparse.indices.byteOffset, 0)), count,
                                  size_t(indexBytes), indexStride)
                       : nullptr;
    const unsigned char* values = ViewData(model, a.sparse.values.bufferView,
                                           size_t(std::max(a.sparse.values.byteOffset, 0)), count,
                                           elementBytes, valueStride);
    if (!indices || !values) {
      error = outside;
      return false;
    }
    for (size_t i = 0; i < count; ++i) {
      const double index = Component(indices + i * size_t(indexBytes), a.sparse.indices.componentType);
      if (index < 0 || index >= double(a.count)) {
        error = "accessor " + std::to_string(accessor) + " has a sparse index past its end";
        return false;
      }
      read(values + i * elementBytes, size_t(index));
    }
  }
  return true;
}

bool TGltfScene::Indices(int accessor, std::vector<uint32_t>& out, std::string& error) const
{
  std::vector<float> values;
  size_t width = 0;
  if (!Floats(accessor, values, width, error)) return false;
  const int type = FModel->accessors[size_t(accessor)].componentType;
  if (width != 1 || (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
                     type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
                     type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)) {
    error = "accessor " + std::to_string(accessor) + " does not hold indices";
    return false;
  }
  // Unsigned ints past 2^24 lose digits as floats: read those again exactly.
  out.resize(values.size());
  for (size_t i = 0; i < values.size(); ++i) out[i] = uint32_t(values[i]);
  if (type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
    const tinygltf::Accessor& a = FModel->accessors[size_t(accessor)];
    size_t stride = 0;
    const unsigned char* data =
        a.bufferView >= 0 ? ViewData(*FModel, a.bufferView, a.byteOffset, a.count, 4, stride) : nullptr;
    if (data && !a.sparse.isSparse)
      for (size_t i = 0; i < a.count; ++i) std::memcpy(&out[i], data + i * stride, 4);
  }
  return true;
}

bool TGltfScene::ReadAnimations(std::string& error)
{
  for (size_t n = 0; n < FModel->animations.size(); ++n) {
    const tinygltf::Animation& animation = FModel->animations[n];
    const std::string where = "animation " + std::to_string(n);
    TAnimationKeys keys;
    for (const tinygltf::AnimationSampler& sampler : animation.samplers) {
      TKeys k;
      k.Interpolation = sampler.interpolation == "STEP"          ? TKeys::TInterpolation::Step
                        : sampler.interpolation == "CUBICSPLINE" ? TKeys::TInterpolation::CubicSpline
                                                                 : TKeys::TInterpolation::Linear;
      size_t width = 0;
      if (!Floats(sampler.input, k.Times, width, error) ||
          !Floats(sampler.output, k.Values, k.Width, error)) {
        error = where + ": " + error;
        return false;
      }
      const size_t perKey = k.Interpolation == TKeys::TInterpolation::CubicSpline ? 3 : 1;
      if (width != 1 || k.Times.empty() || k.Width == 0 || k.Values.size() % k.Width != 0) {
        error = where + " has a sampler without keys";
        return false;
      }
      const size_t outputs = k.Values.size() / k.Width;
      if (outputs % (k.Times.size() * perKey) != 0) {
        error = where + " has a sampler whose outputs do not match its keys";
        return false;
      }
      // Morph weights come as one element per target: a key's value is all of them.
      k.Width *= outputs / (k.Times.size() * perKey);
      for (size_t i = 0; i < k.Times.size(); ++i)
        if (!std::isfinite(k.Times[i]) || (i > 0 && !(k.Times[i] > k.Times[i - 1]))) {
          error = where + " has key times that do not increase";
          return false;
        }
      keys.Samplers.push_back(std::move(k));
    }
    for (const tinygltf::AnimationChannel& channel : animation.channels) {
      TChannel c;
      c.Node = channel.target_node;
      const std::string& path = channel.target_path;
      c.Path = path == "translation" ? TChannel::TPath::Translation
               : path == "rotation"  ? TChannel::TPath::Rotation
               : path == "scale"     ? TChannel::TPath::Scale
                                     : TChannel::TPath::Weights;
      if (c.Node < 0 || size_t(c.Node) >= FModel->nodes.size() ||
          (c.Path == TChannel::TPath::Weights && path != "weights"))
        continue;  // a channel this reader does not play (an extension's) is left out
      if (channel.sampler < 0 || size_t(channel.sampler) >= keys.Samplers.size()) {
        error = where + " has a channel without a sampler";
        return false;
      }
      c.Keys = size_t(channel.sampler);
      const size_t width = keys.Samplers[c.Keys].Width;
      const size_t need = c.Path == TChannel::TPath::Rotation ? 4 : c.Path == TChannel::TPath::Weights ? width : 3;
      if (width != need) {
        error = where + " has a " + path + " channel with " + std::to_string(width) + " numbers a key";
        return false;
      }
      keys.Channels.push_back(c);
    }
    FAnimations.push_back(std::move(keys));
  }
  return true;
}

double TGltfScene::Duration(int32_t animation) const
{
  double last = 0;
  for (const TKeys& keys : FAnimations[size_t(animation)].Samplers)
    last = std::max(last, double(keys.Times.back()));
  return last;
}

std::vector<TNodePose> TGltfScene::Poses(int32_t animation, double time) const
{
  std::vector<TNodePose> poses(FModel->nodes.size());
  for (size_t n = 0; n < poses.size(); ++n) {
    const tinygltf::Node& node = FModel->nodes[n];
    TNodePose& pose = poses[n];
    if (node.matrix.size() == 16) {
      pose.HasMatrix = true;
      std::copy(node.matrix.begin(), node.matrix.end(), pose.Matrix.begin());
    }
    if (node.translation.size() == 3) std::copy_n(node.translation.begin(), 3, pose.Translation.begin());
    if (node.rotation.size() == 4) std::copy_n(node.rotation.begin(), 4, pose.Rotation.begin());
    if (node.scale.size() == 3) std::copy_n(node.scale.begin(), 3, pose.Scale.begin());
    if (!node.weights.empty()) {
      pose.Weights = node.weights;
    } else if (node.mesh >= 0 && size_t(node.mesh) < FModel->meshes.size()) {
      pose.Weights = FModel->meshes[size_t(node.mesh)].weights;
    }
  }
  if (animation < 0) return poses;
  const TAnimationKeys& keys = FAnimations[size_t(animation)];
  for (const TChannel& channel : keys.Channels) {
    TNodePose& pose = poses[size_t(channel.Node)];
    if (pose.HasMatrix) continue;
    const std::vector<double> value =
        SampleKeys(keys.Samplers[channel.Keys], time, channel.Path == TChannel::TPath::Rotation);
    switch (channel.Path) {
      case TChannel::TPath::Translation: std::copy_n(value.begin(), 3, pose.Translation.begin()); break;
      case TChannel::TPath::Rotation: std::copy_n(value.begin(), 4, pose.Rotation.begin()); break;
      case TChannel::TPath::Scale: std::copy_n(value.begin(), 3, pose.Scale.begin()); break;
      case TChannel::TPath::Weights: pose.Weights = value; break;
    }
  }
  return poses;
}

TMatrix TGltfScene::World(const std::vector<TNodePose>& poses, int node) const
{
  TMatrix world = Local(poses[size_t(node)]);
  for (int parent = FParents[size_t(node)]; parent != -1; parent = FParents[size_t(parent)])
    world = Multiply(Local(poses[size_t(parent)]), world);
  return world;
}

std::vector<double> SampleKeys(const TKeys& keys, double time, bool rotation)
{
  const size_t width = keys.Width;
  const bool cubic = keys.Interpolation == TKeys::TInterpolation::CubicSpline;
  // Key i's value starts here (a cubic spline's keys hold in-tangent, value, out-tangent).
  const auto value = [&](size_t i) { return &keys.Values[(cubic ? 3 * i + 1 : i) * width]; };
  std::vector<double> out(width);
  const size_t last = keys.Times.size() - 1;
  size_t i = 0;
  if (time <= keys.Times[0] || last == 0) {
    std::copy_n(value(0), width, out.begin());
  } else if (time >= keys.Times[last]) {
    std::copy_n(value(last), width, out.begin());
    i = last;
  } else {
    i = size_t(std::upper_bound(keys.Times.begin(), keys.Times.end(), float(time)) -
               keys.Times.begin()) - 1;
    // float(time) may round up onto the next key: the interval is found by the double too.
    while (i > 0 && double(keys.Times[i]) > time) --i;
    while (i + 1 < last && double(keys.Times[i + 1]) <= time) ++i;
    const double t0 = keys.Times[i], t1 = keys.Times[i + 1], d = t1 - t0;
    const double s = (time - t0) / d;
    const float* a = value(i);
    const float* b = value(i + 1);
    if (keys.Interpolation == TKeys::TInterpolation::Step) {
      std::copy_n(a, width, out.begin());
    } else if (cubic) {
      const float* outTangent = a + width;           // key i's out-tangent
      const float* inTangent = b - width;            // key i+1's in-tangent
      const double s2 = s * s, s3 = s2 * s;
      for (size_t k = 0; k < width; ++k)
        out[k] = (2 * s3 - 3 * s2 + 1) * a[k] + (s3 - 2 * s2 + s) * d * outTangent[k] +
                 (-2 * s3 + 3 * s2) * b[k] + (s3 - s2) * d * inTangent[k];
    } else if (rotation) {
      double dot = 0;
      for (size_t k = 0; k < 4; ++k) dot += double(a[k]) * b[k];
      const double sign = dot < 0 ? -1 : 1;
      dot = std::fabs(dot);
      double wa = 1 - s, wb = s;
      if (dot < 0.9995) {
        const double angle = std::acos(dot);
        wa = std::sin((1 - s) * angle) / std::sin(angle);
        wb = std::sin(s * angle) / std::sin(angle);
      }
      for (size_t k = 0; k < 4; ++k) out[k] = wa * a[k] + wb * sign * b[k];
    } else {
      for (size_t k = 0; k < width; ++k) out[k] = (1 - s) * a[k] + s * b[k];
    }
  }
  if (rotation) {
    double length = 0;
    for (const double v : out) length += v * v;
    length = std::sqrt(length);
    for (double& v : out) v = length > 0 ? v / length : (&v == &out[3] ? 1 : 0);
  }
  return out;
}

}  // namespace quarn::convert
