#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace tinygltf {
class Model;
}

namespace quarn::convert {

// How an accessor's components are stored.
enum class TComponents {
  Float,          // 32-bit floats, as given
  NormalizedI8,   // value * 127, rounded: -1..1
  NormalizedI16,  // value * 32767, rounded: -1..1
  NormalizedU16,  // value * 65535, rounded: 0..1
};

// The model's one buffer and the buffer views and accessors over it, appended to a glTF model
// in the order they are asked for. Every view starts on a 4-byte boundary, and a vertex
// attribute's elements are padded to 4 bytes, as glTF requires of vertex data.
class TGltfBuffer {
public:
  explicit TGltfBuffer(tinygltf::Model& model) : FModel(model) {}

  // The bytes of the buffer so far.
  const std::vector<uint8_t>& Bytes() const { return FBytes; }

  // Triangle indices in the smallest unsigned type whose largest value (glTF's primitive
  // restart) no index reaches; `vertexCount` bounds them.
  int Indices(std::span<const uint32_t> indices, uint32_t vertexCount);
  // A vertex attribute of `width` components (2 or 3) per vertex; with `bounds`, the accessor
  // records each component's least and greatest value (POSITION must).
  int Attribute(std::span<const float> values, int width, TComponents components, bool bounds);
  // A morph target's deltas: as the changed vertices alone (a sparse accessor over zeros)
  // when that is smaller, else whole. Bounds are always recorded (a POSITION target needs
  // them).
  int Target(std::span<const float> values, TComponents components);
  // Scalars with their bounds (animation key times).
  int Scalars(std::span<const float> values);
  // Morph weights of `hot.size()` keys over `targets` targets: at key k, target hot[k] has
  // weight 1 and every other 0. Stored as the ones alone (a sparse accessor) when there is
  // more than one target.
  int OneHotWeights(std::span<const uint32_t> hot, uint32_t targets);
  // A view of bytes as they are (an embedded image).
  int RawView(std::span<const uint8_t> bytes);

  // Bytes the morph targets take, and what they would take as whole float accessors.
  uint64_t TargetBytes() const { return FTargetBytes; }
  uint64_t DenseTargetBytes() const { return FDenseTargetBytes; }

private:
  // A view of `bytes` (`stride` 0: packed), `target` a glTF buffer target or 0.
  int View(const std::vector<uint8_t>& bytes, int stride, int target);
  // The stored integer (or float bits) of each value, packed, elements padded to `stride`.
  static std::vector<uint8_t> Encode(std::span<const float> values, int width,
                                     TComponents components, int stride);
  // The accessor of `count` elements of `width` components; bounds from `values` when given.
  int Accessor(int view, size_t count, int width, TComponents components,
               std::span<const float> values, bool bounds);

  tinygltf::Model& FModel;
  std::vector<uint8_t> FBytes;
  uint64_t FTargetBytes = 0;
  uint64_t FDenseTargetBytes = 0;
};

// What a value becomes once stored as `components` and read back (the normalised integer
// conversions of glTF), for bounds and for callers that check what they store.
float Stored(float value, TComponents components);

}  // namespace quarn::convert
