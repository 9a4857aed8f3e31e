#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "convert/ExportOptions.h"

namespace tinygltf {
class Model;
}
namespace quarn::bots {
class TMD2;
}

namespace quarn::convert {

class TGltfBuffer;
class TMorphMesh;

// A skin ready to embed: the file it came from and its PNG contents.
struct TSkinPng {
  std::string FileName;
  std::vector<uint8_t> Png;
};

// A recorded frame group, played as one animation.
struct TFrameGroup {
  std::string Name;
  int32_t First = 0;
  int32_t Last = 0;
};

// The body's recorded frame groups, named as Animations and --render name them.
std::vector<TFrameGroup> ModelFrameGroups(const bots::TMD2& body);

// What the written files take, in bytes.
struct TExportSizes {
  uint64_t Written = 0;       // every file written
  uint64_t Targets = 0;       // the morph targets as stored
  uint64_t DenseTargets = 0;  // the same as whole float accessors
  uint64_t Skins = 0;         // the embedded PNG images
};

// A glTF 2.0 model built from MD2 models: each model one mesh node whose morph targets are
// its keyframes (the base mesh being frame 0), each skin a material, and one animation per
// frame group of the body that drives every model's weights.
class TGltfExporter {
public:
  explicit TGltfExporter(const TExportOptions& options);
  ~TGltfExporter();
  TGltfExporter(const TGltfExporter&) = delete;
  TGltfExporter& operator=(const TGltfExporter&) = delete;

  // Adds a loaded model with at least one frame and one vertex, and its skins (none: flat
  // grey); the first model added is the body. False with `error` when memory is missing.
  bool AddModel(const bots::TMD2& model, const std::string& name,
                const std::vector<TSkinPng>& skins, std::string& error);
  // One animation per group, at the options' keyframe rate, looping back to its first frame.
  // A model shorter than a group holds its last frame, as the program plays it.
  void AddAnimations(const std::vector<TFrameGroup>& groups);
  // Writes the model: a .glb alone, or a .gltf with its .bin and PNG files beside it, each
  // written unnamed and then named. False with `error` when a file cannot be written.
  bool Write(const std::string& fileName, TExportSizes& sizes, std::string& error);

  // The model as built so far, for tests.
  const tinygltf::Model& Model() const { return *FModel; }

private:
  struct TPart {
    int Node = -1;
    int32_t Frames = 0;
  };

  // The mesh's primitive with its base attributes and targets; the node's transform holds
  // the quantisation's offset and scale.
  void AddPrimitive(const TMorphMesh& mesh, int material);
  // A material (and its texture) for each skin; returns the first material's index.
  int AddMaterials(const std::string& name, const std::vector<TSkinPng>& skins);
  // The .gltf's files beside it are named from its stem; "" for a .glb.
  std::string SideFileName(const std::string& fileName, const std::string& suffix) const;

  TExportOptions FOptions;
  std::unique_ptr<tinygltf::Model> FModel;
  std::unique_ptr<TGltfBuffer> FBuffer;
  std::vector<TPart> FParts;
  std::vector<std::vector<int>> FVariantMaterials;  // per part, per skin: its material
  std::vector<std::string> FVariantNames;
  std::vector<std::string> FSideImages;  // .gltf: each image's file, as a suffix of the stem
  std::vector<std::vector<uint8_t>> FSideImageBytes;
  uint64_t FSkinBytes = 0;
};

}  // namespace quarn::convert
