#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/MappedFile.h"
#include "bots/MD2Mesh.h"
#include "bots/Pose.h"
#include "bots/Object3D.h"
#include "formats/ByteReader.h"
#include "render/DrawStyle.h"
#include "render/ScreenArea.h"

namespace quarn::bots {

// Text of the last failed model load; "NO ERROR" until a load fails.
const std::string& MD2LastError();

// One built-in animation: a keyframe range walked with a step of +1 or -1.
struct TAnimationRange {
  int32_t Start;
  int32_t End;
  int32_t Step;
};

// Indexed by animation number; the order is the numbering bot files rely on.
inline constexpr std::array<TAnimationRange, 19> AnimationTable{{
    {0, 39, +1},     // 0
    {40, 45, +1},    // 1
    {54, 60, +1},    // 2
    {61, 66, +1},    // 3
    {67, 71, +1},    // 4
    {72, 95, +1},    // 5
    {96, 112, +1},   // 6
    {113, 122, +1},  // 7
    {123, 135, +1},  // 8
    {136, 153, +1},  // 9
    {154, 159, +1},  // 10
    {165, 169, +1},  // 11
    {170, 177, +1},  // 12
    {178, 185, +1},  // 13
    {186, 190, +1},  // 14
    {191, 198, +1},  // 15
    {46, 53, +1},    // 16
    {160, 164, +1},  // 17
    {45, 40, -1},    // 18: animation 1 played backwards
}};

// A keyframe model read from an MD2 file. Its keyframes, triangles and texture coordinates are
// decoded once at load (see TMD2Mesh); the file stays mapped while the model lives for the
// names it records.
//
// Frame numbers that the file does not have (a range of the built-in table beyond a short
// model's last frame, for instance a 50-frame weapon playing animation 5) are clamped: frames
// past the end read the last frame, negative ones frame 0. A model that is not loaded, or has
// no frames, draws nothing and decodes every vertex as the origin.
class TMD2 : public T3DObject {
public:
  using TNotify = std::function<void(TMD2& sender)>;
  using TFrameNotify = std::function<void(int32_t frame)>;

  // A triangle corner ready to draw: blended position and texture coordinates in 0..1.
  struct TCorner {
    TVector Position;
    float S;
    float T;
  };

  TMD2();
  ~TMD2() override;

  // Maps the file and checks the header; on failure the result is false, MD2LastError() tells
  // why and the model holds no data.
  bool LoadFromFile(const std::string& fileName);
  // Puts a new texture at index 0 (releasing the one there) and loads the image into it. A
  // failed load leaves the new, empty texture in place.
  bool LoadSkin(const std::string& fileName);
  // Loads the image into a new texture and puts it at index 0 only when that worked: a failed
  // load keeps the skin the model had (SkinFailReason says why).
  bool ReplaceSkin(const std::string& fileName);

  bool IsLoaded() const { return FData.Size() != 0; }
  const std::string& FileName() const { return FFileName; }
  int32_t GetFrameCount() const;
  int32_t GetTriangleCount() const;
  int32_t GetVertexCount() const { return FLayout.NumVertices; }
  // The skin size the texture coordinates are divided by.
  int32_t SkinWidth() const { return FLayout.SkinWidth; }
  int32_t SkinHeight() const { return FLayout.SkinHeight; }
  // The skin names recorded in the file, in order; none when the table lies outside the file.
  // Control characters read as '?'.
  std::vector<std::string> SkinNames() const;
  // The recorded name of a frame (clamped like GetVertex); "" when nothing is loaded.
  std::string FrameName(int32_t frame) const;
  // Why the last LoadFromFile or LoadSkin failed, in a few words ("ident is not IDP2"); ""
  // when it worked or there is no file of that name.
  const std::string& FailReason() const { return FFailReason; }
  const std::string& SkinFailReason() const { return FSkinFailReason; }
  // The image the last LoadSkin loaded; "" when it failed or none was loaded.
  const std::string& SkinFileName() const { return FSkinFileName; }
  // Frame is clamped into the file's frames; an index outside the vertex count gives the origin.
  TVector GetVertex(int32_t frame, int32_t index) const;
  // Corner k (0..2) of triangle i as Draw sends it, blended from PreviousFrame by Fraction.
  TCorner GetCorner(int32_t triangle, int k) const;

  // The decoded keyframes, texture coordinates and indices the model draws from.
  const TMD2Mesh& Mesh() const { return FMesh; }
  // The mapped file and where its checked tables lie, for converters that keep its numbers.
  const formats::TByteReader& Data() const { return FData; }
  const TMD2Layout& Layout() const { return FLayout; }

  // Textured with texture 0; a model without a loaded skin is drawn flat grey, untextured.
  // With Culling on, the triangles facing away are left out; face culling is left off and
  // the front face counter-clockwise, as GL starts. Smooth lights the model from the eye with
  // its keyframes' normals; Wireframe draws the triangles' edges over it; the texture filter
  // is set on the skin each draw. Every GL state Draw changes is put back. Draws the model's
  // own pose (PreviousFrame, CurrentFrame, Fraction) in its own Style.
  void Draw() override;
  // Draws as Draw does, at `pose` in `style`: the model's own pose and style are not used and
  // stay as they are.
  void DrawPose(const TPose& pose, const render::TDrawStyle& style);
  // Grey of the wireframe's edges.
  static constexpr float WireGrey = 0.9f;
  void Render() override;
  // The window pixels the last Draw may have touched: the keyframes' boxes as the matrices and
  // viewport of that draw project them; everything when a box corner lies behind the eye.
  const render::TScreenArea& DrawnArea() const { return FDrawnArea; }
  bool Update(uint32_t now) override;
  virtual void SetAnimation(int32_t number);
  // True when FrameInterval has passed since the last tick (whose time is then remembered).
  virtual bool FrameTick(uint32_t now);

  int32_t CurrentFrame = AnimationTable[1].Start;  // drawn at Fraction 1
  int32_t Animation = 1;                           // number last passed to SetAnimation
  int32_t StartFrame = AnimationTable[1].Start;
  int32_t EndFrame = AnimationTable[1].End;
  TNotify OnAnimationEnd;       // the range wrapped
  float Fraction = 0;           // weight of CurrentFrame over PreviousFrame
  int32_t PreviousFrame = -1;   // -1: nothing to blend from
  int32_t FrameOffset = 0;      // added to both ends of every range
  TFrameNotify OnFrame;         // after every keyframe change by Update
  TNotify OnAnimationChange;    // by SetAnimation, when armed
  uint32_t FrameInterval = 10;  // minimum ms between two frame ticks
  uint32_t LastFrameTick = 0;
  bool ChangeArmed = false;  // SetAnimation fires OnAnimationChange
  int32_t FrameStep = +1;    // keyframe step within the range
  // How Draw draws: culling, smooth shading, wireframe and texture filter (the background and
  // field of view are the caller's). The defaults draw as the demo always has.
  render::TDrawStyle Style;
  // Draw leaves out the triangles that face away from the eye. The format's triangles are
  // clockwise seen from their front; models are made to be seen from outside, but many are
  // not closed, so the choice is the caller's. The same flag as Style.Culling.
  bool& Culling = Style.Culling;

  static constexpr float FractionStep = 0.1f;
  // Grey level of a model drawn without a skin.
  static constexpr float UntexturedGrey = 0.6f;

private:
  // Empty text when the mapped bytes form a well-formed model (filling FLayout), else the reason.
  std::string Validate();
  void Unload();
  int32_t ClampFrame(int32_t frame) const;
  // Per axis, the range of positions the drawn frame's vertices can take.
  void FrameBox(const TPose& pose, float (&lo)[3], float (&hi)[3]) const;
  render::TScreenArea ProjectedArea(const TPose& pose) const;
  // Lighting for smooth shading, pushed (Draw pops it).
  void BeginLighting(const render::TDrawStyle& style, bool untextured);
  // The triangles' edges over the drawn model.
  void DrawEdges() const;
  // A fixed-size text field, up to its first NUL.
  std::string TextAt(uint64_t offset, size_t size) const;

  std::string FFileName;
  std::string FSkinFileName;
  std::string FFailReason;
  std::string FSkinFailReason;
  platform::TMappedFile FFile;
  TMD2Layout FLayout;
  // The mapped view, empty while nothing is loaded; names are read from it at the offsets in
  // FLayout. GL commands and normals are never read.
  formats::TByteReader FData;
  TMD2Mesh FMesh;
  render::TScreenArea FDrawnArea;
};

}  // namespace quarn::bots
