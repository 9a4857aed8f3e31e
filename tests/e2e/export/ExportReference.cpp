// export_reference MODEL.md2: the program's own poses of a model, as JSON, for the export
// test's outside readers to compare with: the draw vertices' texture coordinates, the frame
// names, and for each recorded group the blended positions at a few times, sampled at 30
// frames a second of the keyframes played at 10 a second, the last blending back to the
// first (the samples the sprites take with --fps 30).
#include <cstdio>
#include <string>
#include <vector>

#include "bots/MD2.h"
#include "sprites/SpriteFrames.h"

namespace {

constexpr int32_t SampleFps = 30;
// Samples kept of each group: its first few and its last few, where the loop closes.
constexpr size_t Head = 4, Tail = 3;

void PrintFloats(const float* values, size_t count)
{
  std::printf("[");
  for (size_t i = 0; i < count; ++i) std::printf("%s%.9g", i ? "," : "", double(values[i]));
  std::printf("]");
}

std::string Quoted(const std::string& text)
{
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv)
{
  using namespace quarn;
  if (argc != 2) {
    std::fprintf(stderr, "usage: export_reference MODEL.md2\n");
    return 2;
  }
  bots::TMD2 model;
  if (!model.LoadFromFile(argv[1])) {
    std::fprintf(stderr, "export_reference: %s\n", bots::MD2LastError().c_str());
    return 1;
  }
  bots::TMD2Mesh mesh = model.Mesh();
  const size_t vertices = size_t(mesh.DrawVertexCount());
  std::printf("{\"frames\":%d,\"vertices\":%zu,\n\"frameNames\":[", model.GetFrameCount(),
              vertices);
  for (int32_t f = 0; f < model.GetFrameCount(); ++f)
    std::printf("%s%s", f ? "," : "", Quoted(model.FrameName(f)).c_str());
  std::printf("],\n\"texCoords\":");
  std::vector<float> st;
  for (uint32_t v = 0; v < vertices; ++v)
    st.insert(st.end(), mesh.TexCoord(v), mesh.TexCoord(v) + 2);
  PrintFloats(st.data(), st.size());
  std::printf(",\n\"animations\":[");
  bool firstGroup = true;
  for (const sprites::TSpriteAnimation& group : sprites::RecordedAnimations(model)) {
    std::printf("%s\n{\"name\":%s,\"first\":%d,\"last\":%d,\"samples\":[", firstGroup ? "" : ",",
                Quoted(group.Name).c_str(), group.First, group.Last);
    firstGroup = false;
    const std::vector<sprites::TPose> poses = sprites::SamplePoses(group, SampleFps);
    bool firstSample = true;
    for (size_t j = 0; j < poses.size(); ++j) {
      if (j >= Head && j + Tail < poses.size()) continue;
      mesh.Blend(poses[j].Previous, poses[j].Current, poses[j].Fraction);
      // Seconds into the group at the program's 10 keyframes a second.
      const double seconds = double(j) / SampleFps;
      std::printf("%s\n{\"keyframes\":%.9g,\"positions\":", firstSample ? "" : ",",
                  seconds * sprites::KeyframesPerSecond);
      firstSample = false;
      PrintFloats(mesh.Positions().data(), mesh.Positions().size());
      std::printf("}");
    }
    std::printf("]}");
  }
  std::printf("]}\n");
  return 0;
}
