#include "convert/GltfBuffer.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quarn::convert {

namespace {

constexpr size_t Alignment = 4;  // of every view, and of vertex attribute elements

// Per kind of components: glTF's component type, bytes of one, whether normalised, and the
// integer that stands for 1.
struct TComponentKind {
  TComponents Components;
  int Type;
  int Bytes;
  bool Normalized;
  float One;
  float Low;  // the least value stored
};
constexpr TComponentKind ComponentKinds[] = {
    {TComponents::Float, TINYGLTF_COMPONENT_TYPE_FLOAT, 4, false, 1, 0},
    {TComponents::NormalizedI8, TINYGLTF_COMPONENT_TYPE_BYTE, 1, true, 127, -1},
    {TComponents::NormalizedI16, TINYGLTF_COMPONENT_TYPE_SHORT, 2, true, 32767, -1},
    {TComponents::NormalizedU16, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, 2, true, 65535, 0},
};

const TComponentKind& KindOf(TComponents components)
{
  for (const TComponentKind& kind : ComponentKinds)
    if (kind.Components == components) return kind;
  return ComponentKinds[0];
}

// The integer stored for `value` (normalised kinds only), clamped into the kind's range.
long Quantized(float value, const TComponentKind& kind)
{
  return std::lround(std::clamp(value, kind.Low, 1.0f) * kind.One);
}

int AccessorType(int width)
{
  return width == 1   ? TINYGLTF_TYPE_SCALAR
         : width == 2 ? TINYGLTF_TYPE_VEC2
         : width == 3 ? TINYGLTF_TYPE_VEC3
                      : TINYGLTF_TYPE_VEC4;
}

// Bytes of one element as an attribute stores it: padded to Alignment.
int AttributeStride(int width, const TComponentKind& kind)
{
  const int bytes = width * kind.Bytes;
  return int((size_t(bytes) + Alignment - 1) / Alignment * Alignment);
}

// The smallest unsigned type holding every value below `limit` (sparse indices).
int IndexType(size_t limit, int& bytes)
{
  if (limit <= 0x100) return bytes = 1, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  if (limit <= 0x10000) return bytes = 2, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
  return bytes = 4, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
}

std::vector<uint8_t> PackIndices(std::span<const uint32_t> indices, int bytes)
{
  std::vector<uint8_t> out(indices.size() * size_t(bytes));
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint32_t index = indices[i];
    if (bytes == 1) out[i] = uint8_t(index);
    if (bytes == 2) std::memcpy(&out[i * 2], &index, 2);  // little-endian hosts only
    if (bytes == 4) std::memcpy(&out[i * 4], &index, 4);
  }
  return out;
}

// Whether element `i` of `width` components is stored as zeros.
bool IsZero(std::span<const float> values, size_t i, int width, const TComponentKind& kind)
{
  for (int c = 0; c < width; ++c) {
    const float v = values[i * size_t(width) + size_t(c)];
    if (kind.Normalized ? Quantized(v, kind) != 0 : v != 0) return false;
  }
  return true;
}

// An accessor without data of its own: zeros, but for `count` elements whose indices and
// values lie in the two views.
void MakeSparse(tinygltf::Accessor& accessor, size_t count, int indexType, int indexView,
                int valueView)
{
  accessor.sparse.isSparse = true;
  accessor.sparse.count = int(count);
  accessor.sparse.indices.bufferView = indexView;
  accessor.sparse.indices.byteOffset = 0;
  accessor.sparse.indices.componentType = indexType;
  accessor.sparse.values.bufferView = valueView;
  accessor.sparse.values.byteOffset = 0;
}

}  // namespace

float Stored(float value, TComponents components)
{
  const TComponentKind& kind = KindOf(components);
  if (!kind.Normalized) return value;
  return std::max(float(Quantized(value, kind)) / kind.One, -1.0f);
}

int TGltfBuffer::View(const std::vector<uint8_t>& bytes, int stride, int target)
{
  while (FBytes.size() % Alignment) FBytes.push_back(0);
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = FBytes.size();
  view.byteLength = bytes.size();
  view.byteStride = size_t(stride);
  view.target = target;
  FBytes.insert(FBytes.end(), bytes.begin(), bytes.end());
  FModel.bufferViews.push_back(std::move(view));
  return int(FModel.bufferViews.size() - 1);
}

std::vector<uint8_t> TGltfBuffer::Encode(std::span<const float> values, int width,
                                         TComponents components, int stride)
{
  const TComponentKind& kind = KindOf(components);
  const size_t count = values.size() / size_t(width);
  const size_t step = stride ? size_t(stride) : size_t(width * kind.Bytes);
  std::vector<uint8_t> out(count * step, 0);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* element = &out[i * step];
    for (int c = 0; c < width; ++c) {
      const float v = values[i * size_t(width) + size_t(c)];
      uint8_t* at = element + c * kind.Bytes;
      if (!kind.Normalized) {
        std::memcpy(at, &v, 4);
      } else if (kind.Bytes == 1) {
        const int8_t q = int8_t(Quantized(v, kind));
        std::memcpy(at, &q, 1);
      } else if (kind.Low < 0) {
        const int16_t q = int16_t(Quantized(v, kind));
        std::memcpy(at, &q, 2);
      } else {
        const uint16_t q = uint16_t(Quantized(v, kind));
        std::memcpy(at, &q, 2);
      }
    }
  }
  return out;
}

int TGltfBuffer::Accessor(int view, size_t count, int width, TComponents components,
                          std::span<const float> values, bool bounds)
{
  const TComponentKind& kind = KindOf(components);
  tinygltf::Accessor accessor;
  accessor.bufferView = view;
  accessor.componentType = kind.Type;
  accessor.normalized = kind.Normalized;
  accessor.count = count;
  accessor.type = AccessorType(width);
  if (bounds) {
    // As stored: floats as they are, normalised integers as the integers.
    accessor.minValues.assign(size_t(width), count ? 1e300 : 0);
    accessor.maxValues.assign(size_t(width), count ? -1e300 : 0);
    for (size_t i = 0; i < values.size(); ++i) {
      const float v = values[i];
      const double stored = kind.Normalized ? double(Quantized(v, kind)) : double(v);
      double& low = accessor.minValues[i % size_t(width)];
      double& high = accessor.maxValues[i % size_t(width)];
      low = std::min(low, stored);
      high = std::max(high, stored);
    }
  }
  FModel.accessors.push_back(std::move(accessor));
  return int(FModel.accessors.size() - 1);
}

int TGltfBuffer::Indices(std::span<const uint32_t> indices, uint32_t vertexCount)
{
  // The largest value of a type is the restart index: no index may be it.
  int bytes = 4, type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
  if (vertexCount <= 0xff)
    bytes = 1, type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  else if (vertexCount <= 0xffff)
    bytes = 2, type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
  const int view = View(PackIndices(indices, bytes), 0, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
  tinygltf::Accessor accessor;
  accessor.bufferView = view;
  accessor.componentType = type;
  accessor.count = indices.size();
  accessor.type = TINYGLTF_TYPE_SCALAR;
  FModel.accessors.push_back(std::move(accessor));
  return int(FModel.accessors.size() - 1);
}

int TGltfBuffer::Attribute(std::span<const float> values, int width, TComponents components,
                           bool bounds)
{
  const int stride = AttributeStride(width, KindOf(components));
  // A packed element that is already aligned needs no stride of its own.
  const int declared = stride == width * KindOf(components).Bytes ? 0 : stride;
  const int view =
      View(Encode(values, width, components, stride), declared, TINYGLTF_TARGET_ARRAY_BUFFER);
  return Accessor(view, values.size() / size_t(width), width, components, values, bounds);
}

int TGltfBuffer::Target(std::span<const float> values, TComponents components)
{
  constexpr int Width = 3;
  const TComponentKind& kind = KindOf(components);
  const size_t count = values.size() / Width;
  FDenseTargetBytes += count * Width * sizeof(float);
  std::vector<uint32_t> changed;
  for (size_t i = 0; i < count; ++i)
    if (!IsZero(values, i, Width, kind)) changed.push_back(uint32_t(i));
  // Readers differ on accessors without any data (assimp refuses them): an unchanged target
  // lists its first vertex, unchanged.
  if (changed.empty() && count > 0) changed.push_back(0);

  const int stride = AttributeStride(Width, kind);
  const size_t denseBytes = count * size_t(stride);
  int indexBytes = 0;
  const int indexType = IndexType(count, indexBytes);
  const size_t packed = size_t(Width * kind.Bytes);
  const size_t sparseBytes =
      changed.size() * size_t(indexBytes) + Alignment + changed.size() * packed;
  if (sparseBytes >= denseBytes) {
    FTargetBytes += denseBytes;
    return Attribute(values, Width, components, true);
  }
  std::vector<float> picked;
  picked.reserve(changed.size() * Width);
  for (const uint32_t i : changed)
    picked.insert(picked.end(), values.begin() + i * Width, values.begin() + (i + 1) * Width);
  const std::vector<uint8_t> indexBytesOut = PackIndices(changed, indexBytes);
  const std::vector<uint8_t> valueBytes = Encode(picked, Width, components, 0);
  FTargetBytes += indexBytesOut.size() + valueBytes.size();
  const int indexView = View(indexBytesOut, 0, 0);
  const int valueView = View(valueBytes, 0, 0);
  const int accessor = Accessor(-1, count, Width, components, values, true);
  MakeSparse(FModel.accessors[size_t(accessor)], changed.size(), indexType, indexView, valueView);
  return accessor;
}

int TGltfBuffer::Scalars(std::span<const float> values)
{
  const int view = View(Encode(values, 1, TComponents::Float, 0), 0, 0);
  return Accessor(view, values.size(), 1, TComponents::Float, values, true);
}

int TGltfBuffer::OneHotWeights(std::span<const uint32_t> hot, uint32_t targets)
{
  const size_t count = hot.size() * size_t(targets);
  if (targets <= 1) return Scalars(std::vector<float>(count, 1.0f));
  std::vector<uint32_t> ones;
  for (size_t k = 0; k < hot.size(); ++k) ones.push_back(uint32_t(k * targets + hot[k]));
  int indexBytes = 0;
  const int indexType = IndexType(count, indexBytes);
  const int indexView = View(PackIndices(ones, indexBytes), 0, 0);
  const int valueView =
      View(Encode(std::vector<float>(ones.size(), 1.0f), 1, TComponents::Float, 0), 0, 0);
  const int accessor = Accessor(-1, count, 1, TComponents::Float, {}, false);
  MakeSparse(FModel.accessors[size_t(accessor)], ones.size(), indexType, indexView, valueView);
  return accessor;
}

int TGltfBuffer::RawView(std::span<const uint8_t> bytes)
{
  return View(std::vector<uint8_t>(bytes.begin(), bytes.end()), 0, 0);
}

}  // namespace quarn::convert
