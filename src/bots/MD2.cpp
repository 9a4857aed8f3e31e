#include "bots/MD2.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "formats/Md2.h"
#include "render/Texture.h"

namespace quarn::bots {

namespace md2 = formats::md2;

namespace {

std::string& LastError()
{
  static std::string text = "NO ERROR";
  return text;
}

// Whether count records of size bytes starting at offset lie inside a file of fileSize bytes.
bool TableFits(int64_t offset, int64_t count, int64_t size, size_t fileSize)
{
  return offset >= 0 && count >= 0 && static_cast<uint64_t>(offset) <= fileSize &&
         static_cast<uint64_t>(count * size) <= fileSize - static_cast<uint64_t>(offset);
}

}  // namespace

const std::string& MD2LastError() { return LastError(); }

TMD2::TMD2() = default;
TMD2::~TMD2() = default;

bool TMD2::LoadFromFile(const std::string& fileName)
{
  Unload();
  FFileName = fileName;
  FFailReason.clear();
  FrameStep = +1;
  switch (FFile.Open(fileName, md2::HeaderSize)) {
    case platform::TMappedFile::TResult::OpenFailed: {
      LastError() = "Unable to open file " + fileName;
      std::error_code error;
      if (std::filesystem::exists(fileName, error))
        FFailReason = std::filesystem::is_regular_file(fileName, error) ? "cannot open the file"
                                                                        : "not a regular file";
      return false;
    }
    case platform::TMappedFile::TResult::StatFailed:
      LastError() = "Unable to Map file " + fileName;
      FFailReason = "cannot map the file";
      Unload();
      return false;
    case platform::TMappedFile::TResult::MapFailed:
      LastError() = "Unable to view file " + fileName;
      FFailReason = "cannot map the file";
      Unload();
      return false;
    case platform::TMappedFile::TResult::Ok: break;
  }
  std::string reason = Validate();
  if (reason.empty() &&
      !FMesh.Decode(formats::TByteReader(FFile.Data(), FFile.Size()), FLayout, reason))
    FLayout = TMD2Layout{};
  if (!reason.empty()) {
    LastError() = "Invalid model file " + fileName + ": " + reason;
    FFailReason = reason;
    Unload();
    return false;
  }
  FData = formats::TByteReader(FFile.Data(), FFile.Size());

  SetAnimation(1);
  PreviousFrame = -1;
  FrameOffset = 0;
  FrameInterval = 10;
  ChangeArmed = false;
  return true;
}

std::string TMD2::Validate()
{
  const formats::TByteReader in(FFile.Data(), FFile.Size());
  const size_t size = in.Size();
  if (size < md2::HeaderSize) return "file is shorter than the 68-byte header";
  if (std::memcmp(in.BytesAt(md2::at::Ident, sizeof md2::Ident).data(), md2::Ident,
                  sizeof md2::Ident) != 0)
    return "ident is not IDP2";
  if (in.I32At(md2::at::Version) != md2::Version) return "version is not 8";

  TMD2Layout l;
  l.SkinWidth = in.I32At(md2::at::SkinWidth);
  l.SkinHeight = in.I32At(md2::at::SkinHeight);
  if (l.SkinWidth <= 0 || l.SkinHeight <= 0) return "skin size is not positive";

  l.FrameSize = in.I32At(md2::at::FrameSize);
  l.NumVertices = in.I32At(md2::at::NumVertices);
  l.NumTexCoords = in.I32At(md2::at::NumTexCoords);
  l.NumTriangles = in.I32At(md2::at::NumTriangles);
  l.NumFrames = in.I32At(md2::at::NumFrames);
  const int32_t numSkins = in.I32At(md2::at::NumSkins);
  const int32_t numGlCommands = in.I32At(md2::at::NumGlCommands);
  if (numSkins < 0 || l.NumVertices < 0 || l.NumTexCoords < 0 || l.NumTriangles < 0 ||
      numGlCommands < 0 || l.NumFrames < 0)
    return "negative count";

  const int32_t ofsTexCoords = in.I32At(md2::at::OfsTexCoords);
  const int32_t ofsTriangles = in.I32At(md2::at::OfsTriangles);
  const int32_t ofsFrames = in.I32At(md2::at::OfsFrames);
  if (!TableFits(ofsTexCoords, l.NumTexCoords, md2::TexCoordSize, size))
    return "texture coordinates lie outside the file";
  if (!TableFits(ofsTriangles, l.NumTriangles, md2::TriangleSize, size))
    return "triangles lie outside the file";
  if (int64_t(l.FrameSize) <
      int64_t(md2::FrameHeaderSize) + int64_t(md2::VertexSize) * l.NumVertices)
    return "frame size is too small for the vertex count";
  if (!TableFits(ofsFrames, l.NumFrames, l.FrameSize, size)) return "frames lie outside the file";

  // Skin names are informational: a table outside the file reads as no names.
  const int32_t ofsSkins = in.I32At(md2::at::OfsSkins);
  if (TableFits(ofsSkins, numSkins, md2::SkinNameSize, size)) {
    l.NumSkins = numSkins;
    l.OfsSkins = static_cast<size_t>(ofsSkins);
  }
  l.OfsTexCoords = static_cast<size_t>(ofsTexCoords);
  l.OfsTriangles = static_cast<size_t>(ofsTriangles);
  l.OfsFrames = static_cast<size_t>(ofsFrames);

  for (int32_t i = 0; i < l.NumTriangles; ++i) {
    const uint64_t t = l.OfsTriangles + size_t(i) * md2::TriangleSize;
    for (int k = 0; k < 3; ++k) {
      const int16_t vertex = in.I16At(t + 2 * k);
      const int16_t texCoord = in.I16At(t + 6 + 2 * k);
      if (vertex < 0 || vertex >= l.NumVertices)
        return "triangle " + std::to_string(i) + " has a vertex index out of range";
      if (texCoord < 0 || texCoord >= l.NumTexCoords)
        return "triangle " + std::to_string(i) + " has a texture coordinate index out of range";
    }
  }
  FLayout = l;
  return {};
}

void TMD2::Unload()
{
  FData = {};
  FLayout = TMD2Layout{};
  FMesh.Clear();
  FFile.Close();
}

bool TMD2::LoadSkin(const std::string& fileName)
{
  FSkinFileName.clear();
  SetTexture(0, std::make_unique<render::TTexture>());
  if (!GetTexture(0)->LoadFromFile(fileName)) {
    FSkinFailReason = GetTexture(0)->FailReason;
    return false;
  }
  FSkinFailReason.clear();
  FSkinFileName = fileName;
  return true;
}

bool TMD2::ReplaceSkin(const std::string& fileName)
{
  auto texture = std::make_unique<render::TTexture>();
  // A file that cannot be decoded leaves the skin in use; one that can replaces it before it
  // is uploaded, so the old texture is gone before the new one takes its room.
  texture->OnDecoded = [this] {
    if (render::TTexture* old = GetTexture(0)) old->Release();
    SetTexture(0, std::make_unique<render::TTexture>());
    FSkinFileName.clear();
  };
  const bool loaded = texture->LoadFromFile(fileName);
  texture->OnDecoded = nullptr;
  if (!loaded) {
    FSkinFailReason = texture->FailReason.empty() ? "cannot be read" : texture->FailReason;
    return false;
  }
  SetTexture(0, std::move(texture));
  FSkinFailReason.clear();
  FSkinFileName = fileName;
  return true;
}

std::string TMD2::TextAt(uint64_t offset, size_t size) const
{
  std::string text;
  for (uint8_t c : FData.BytesAt(offset, size)) {
    if (c == 0) break;
    text += c < 32 || c == 127 ? '?' : static_cast<char>(c);
  }
  return text;
}

std::vector<std::string> TMD2::SkinNames() const
{
  std::vector<std::string> names;
  if (!IsLoaded()) return names;
  for (int32_t i = 0; i < FLayout.NumSkins; ++i)
    names.push_back(TextAt(FLayout.OfsSkins + size_t(i) * md2::SkinNameSize, md2::SkinNameSize));
  return names;
}

std::string TMD2::FrameName(int32_t frame) const
{
  if (!IsLoaded() || FLayout.NumFrames == 0) return {};
  const uint64_t f = FLayout.OfsFrames + size_t(ClampFrame(frame)) * size_t(FLayout.FrameSize);
  return TextAt(f + md2::at::FrameName, md2::FrameNameSize);
}

int32_t TMD2::GetFrameCount() const { return FLayout.NumFrames; }

int32_t TMD2::GetTriangleCount() const { return FLayout.NumTriangles; }

int32_t TMD2::ClampFrame(int32_t frame) const
{
  if (frame >= FLayout.NumFrames) return FLayout.NumFrames - 1;
  return frame < 0 ? 0 : frame;
}

TVector TMD2::GetVertex(int32_t frame, int32_t index) const
{
  if (!IsLoaded() || FLayout.NumFrames == 0 || index < 0 || index >= FLayout.NumVertices)
    return render::Vector(0, 0, 0);
  const float* v = FMesh.Vertex(ClampFrame(frame), index);
  return render::Vector(v[0], v[1], v[2]);
}

TMD2::TCorner TMD2::GetCorner(int32_t triangle, int k) const
{
  if (!IsLoaded() || triangle < 0 || triangle >= FLayout.NumTriangles || k < 0 || k > 2)
    return {render::Vector(0, 0, 0), 0, 0};
  const uint32_t drawVertex = FMesh.CornerVertex(triangle, k);
  const int32_t vertex = FMesh.ModelVertex(drawVertex);
  TCorner corner;
  corner.Position = GetVertex(CurrentFrame, vertex);
  if (PreviousFrame != -1)
    corner.Position =
        render::LerpVector(GetVertex(PreviousFrame, vertex), corner.Position, Fraction);
  corner.S = FMesh.TexCoord(drawVertex)[0];
  corner.T = FMesh.TexCoord(drawVertex)[1];
  return corner;
}

void TMD2::FrameBox(const TPose& pose, float (&lo)[3], float (&hi)[3]) const
{
  // A vertex is a byte times the frame's scale plus its translation, per axis.
  auto range = [this](int32_t frame, int axis, double& low, double& high) {
    const uint64_t f = FLayout.OfsFrames + size_t(ClampFrame(frame)) * size_t(FLayout.FrameSize);
    const double scale = FData.F32At(f + md2::at::FrameScale + 4 * axis);
    const double translate = FData.F32At(f + md2::at::FrameTranslate + 4 * axis);
    low = std::min(translate, 255 * scale + translate);
    high = std::max(translate, 255 * scale + translate);
  };
  for (int axis = 0; axis < 3; ++axis) {
    double low, high;
    range(pose.Current, axis, low, high);
    if (pose.Previous != -1) {
      // The blend may reach past either keyframe (Fraction runs a step over 1).
      double fromLow, fromHigh;
      range(pose.Previous, axis, fromLow, fromHigh);
      const double k = pose.Fraction, j = 1 - k;
      const double a = j * fromLow + k * low, b = j * fromHigh + k * high;
      const double c = j * fromLow + k * high, d = j * fromHigh + k * low;
      low = std::min({a, b, c, d});
      high = std::max({a, b, c, d});
    }
    // Room for the float rounding of the decoded and blended positions.
    const double slack = 1e-3 * (std::fabs(low) + std::fabs(high)) + 1e-3;
    lo[axis] = float(low - slack);
    hi[axis] = float(high + slack);
  }
}

render::TScreenArea TMD2::ProjectedArea(const TPose& pose) const
{
  const render::TScreenArea everything = render::TScreenArea::Everything();
  float lo[3], hi[3];
  FrameBox(pose, lo, hi);
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
  for (int corner = 0; corner < 8; ++corner) {
    const double v[4] = {corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1],
                         corner & 4 ? hi[2] : lo[2], 1};
    double eye[4], clip[4];
    for (int r = 0; r < 4; ++r)
      eye[r] = model[r] * v[0] + model[4 + r] * v[1] + model[8 + r] * v[2] + model[12 + r];
    for (int r = 0; r < 4; ++r)
      clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
                projection[12 + r] * eye[3];
    // Behind or at the eye the box's outline cannot be projected; NaN fails here too.
    if (!(clip[3] > 1e-6)) return everything;
    const double x = viewport[0] + (clip[0] / clip[3] + 1) / 2 * viewport[2];
    const double y = viewport[1] + (clip[1] / clip[3] + 1) / 2 * viewport[3];
    x0 = std::min(x0, x), x1 = std::max(x1, x);
    y0 = std::min(y0, y), y1 = std::max(y1, y);
  }
  constexpr double Limit = 1 << 24;  // far beyond any window
  if (!(x0 > -Limit && y0 > -Limit && x1 < Limit && y1 < Limit)) return everything;
  // Two pixels of room for the rasteriser's own rounding.
  return {int32_t(std::floor(x0)) - 2, int32_t(std::floor(y0)) - 2, int32_t(std::ceil(x1)) + 2,
          int32_t(std::ceil(y1)) + 2};
}

void TMD2::Draw() { DrawPose({PreviousFrame, CurrentFrame, Fraction}, Style); }

void TMD2::DrawPose(const TPose& pose, const render::TDrawStyle& style)
{
  render::DisableBlending();
  FDrawnArea = {};
  if (!IsLoaded() || FLayout.NumFrames == 0) return;
  // Without a skin of its own the model would be sampled from whatever texture is bound
  // (specks of the font): it is drawn in one flat colour instead.
  const render::TTexture* skin = GetTexture(0);
  const bool untextured = !skin || skin->GetID() == 0;
  if (untextured) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor3f(UntexturedGrey, UntexturedGrey, UntexturedGrey);
  } else {
    // Set on the skin bound by BindTexture: the filter belongs to the texture object.
    const GLint filter = style.NearestFilter ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  }
  glPushMatrix();
  glScalef(Scale.x, Scale.y, Scale.z);  // first, so the translation is scaled too
  glTranslatef(Position.x, Position.y, Position.z);
  glRotatef(Rotation.x, 1, 0, 0);
  glRotatef(Rotation.y, 0, 1, 0);
  glRotatef(Rotation.z, 0, 0, 1);
  FDrawnArea = ProjectedArea(pose);
  const int32_t previous = pose.Previous == -1 ? -1 : ClampFrame(pose.Previous);
  const int32_t current = ClampFrame(pose.Current);
  FMesh.Blend(previous, current, pose.Fraction);
  const bool smooth = (style.Smooth || (untextured && style.LightUntextured)) && FMesh.MakeNormals();
  if (smooth) {
    FMesh.BlendNormals(previous, current, pose.Fraction);
    BeginLighting(style, untextured);
  }
  const bool culling = style.Culling;
  if (culling) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
  }
  // Clockwise fronts, for culling and for the side two-sided lighting lights.
  if (culling || smooth) glFrontFace(GL_CW);
  FMesh.Submit(smooth);
  if (culling) glDisable(GL_CULL_FACE);
  if (culling || smooth) glFrontFace(GL_CCW);
  if (smooth) glPopAttrib();
  if (style.Wireframe) DrawEdges();
  glPopMatrix();
  if (untextured) glPopAttrib();
}

void TMD2::BeginLighting(const render::TDrawStyle& style, bool untextured)
{
  glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
  // A light at the eye, a little above it, in eye coordinates; the material follows the
  // current colour, white under a skin so the skin's own colours are lit.
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const float* light = style.LightDirection;
  const GLfloat direction[4] = {light[0], light[1], light[2], 0.0f};
  const GLfloat ambient[4] = {style.Ambient, style.Ambient, style.Ambient, 1.0f};
  const GLfloat diffuse[4] = {style.Diffuse, style.Diffuse, style.Diffuse, 1.0f};
  const GLfloat none[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, none);
  glPopMatrix();
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);  // open models show their insides lit too
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  if (!untextured) glColor3f(1, 1, 1);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
}

void TMD2::DrawEdges() const
{
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glColor3f(WireGrey, WireGrey, WireGrey);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  // Edges pulled toward the eye, so those of visible faces pass the depth test.
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(-1, -1);
  glDepthFunc(GL_LEQUAL);
  FMesh.Submit(false);
  glPopAttrib();
}

void TMD2::Render() { Draw(); }

bool TMD2::FrameTick(uint32_t now)
{
  if (now - LastFrameTick < FrameInterval) return false;
  LastFrameTick = now;
  return true;
}

bool TMD2::Update(uint32_t now)
{
  const bool due = T3DObject::Update(now);
  const bool tick = FrameTick(now);  // consulted on every call, active or not
  if (!due) {
    if (Fraction <= 1.0f && tick) Fraction += FractionStep;
    return false;
  }
  if (Fraction < 1.0f) {
    if (tick) Fraction += FractionStep;
    return true;
  }
  if (CurrentFrame == EndFrame) {
    // The handler may select another range with SetAnimation; disarmed, that call fires no
    // OnAnimationChange, and the wrap below starts the range it selected.
    ChangeArmed = false;
    if (OnAnimationEnd) OnAnimationEnd(*this);
    PreviousFrame = CurrentFrame;
    CurrentFrame = StartFrame;
    ChangeArmed = true;
  } else {
    PreviousFrame = CurrentFrame;
    CurrentFrame += FrameStep;
  }
  Fraction = 0;
  if (OnFrame) OnFrame(CurrentFrame);
  return true;
}

void TMD2::SetAnimation(int32_t number)
{
  Animation = number;
  if (number >= 0 && static_cast<size_t>(number) < AnimationTable.size()) {
    const TAnimationRange& range = AnimationTable[static_cast<size_t>(number)];
    StartFrame = range.Start + FrameOffset;
    EndFrame = range.End + FrameOffset;
    FrameStep = range.Step;
  }
  CurrentFrame = StartFrame;
  Fraction = 0;
  if (ChangeArmed && OnAnimationChange) OnAnimationChange(*this);
  ChangeArmed = true;
}

}  // namespace quarn::bots
