#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

namespace quarn::convert {

// A 4x4 matrix in column-major order, as glTF stores them.
using TMatrix = std::array<double, 16>;

// One node's local transform and morph weights at some time.
struct TNodePose {
  std::array<double, 3> Translation{0, 0, 0};
  std::array<double, 4> Rotation{0, 0, 0, 1};  // x, y, z, w
  std::array<double, 3> Scale{1, 1, 1};
  std::vector<double> Weights;
  bool HasMatrix = false;  // the node gives a matrix, which no animation may change
  TMatrix Matrix{};
};

// An animation sampler's keys, read and checked once.
struct TKeys {
  enum class TInterpolation { Step, Linear, CubicSpline };
  TInterpolation Interpolation = TInterpolation::Linear;
  std::vector<float> Times;   // strictly increasing
  std::vector<float> Values;  // Width per key (times 3 for cubic splines: in, value, out)
  size_t Width = 0;
};

// A glTF file read with tinygltf, and what an importer asks of it: accessors as numbers, every
// node's pose at a time of an animation, and the nodes' world transforms.
class TGltfScene {
public:
  TGltfScene();
  ~TGltfScene();
  TGltfScene(const TGltfScene&) = delete;
  TGltfScene& operator=(const TGltfScene&) = delete;

  // Reads a .glb or .gltf (by its first bytes) and checks the animations; false with a
  // one-line `error`. Images are kept as bytes, never decoded here.
  bool Load(const std::string& fileName, std::string& error);
  const tinygltf::Model& Model() const { return *FModel; }

  // An accessor's elements as floats (normalised integers scaled to -1..1 or 0..1, sparse
  // values applied); `width` gets the components per element. False with `error` when the
  // accessor or its data lie outside the file.
  bool Floats(int accessor, std::vector<float>& out, size_t& width, std::string& error) const;
  // An index accessor's values; false with `error` as Floats.
  bool Indices(int accessor, std::vector<uint32_t>& out, std::string& error) const;

  int32_t AnimationCount() const { return int32_t(FAnimations.size()); }
  // The last key time of an animation (seconds).
  double Duration(int32_t animation) const;
  // Every node's pose: at rest for animation -1, else at `time` of that animation.
  std::vector<TNodePose> Poses(int32_t animation, double time) const;
  // The world transform of `node` in these poses.
  TMatrix World(const std::vector<TNodePose>& poses, int node) const;

private:
  struct TChannel {
    int Node = -1;
    enum class TPath { Translation, Rotation, Scale, Weights } Path = TPath::Translation;
    size_t Keys = 0;  // into TAnimationKeys::Samplers
  };
  struct TAnimationKeys {
    std::vector<TKeys> Samplers;
    std::vector<TChannel> Channels;
  };
  bool ReadAnimations(std::string& error);

  std::unique_ptr<tinygltf::Model> FModel;
  std::vector<TAnimationKeys> FAnimations;
  std::vector<int> FParents;  // -1 for a root
};

// The value of `keys` at `time`, Width numbers, as glTF defines its samplers (clamped to the
// first and last key; rotations are normalised by the caller).
std::vector<double> SampleKeys(const TKeys& keys, double time, bool rotation);

}  // namespace quarn::convert
