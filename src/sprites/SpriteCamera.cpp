#include "sprites/SpriteCamera.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "bots/MD2.h"

namespace quarn::sprites {

namespace {

constexpr double Pi = 3.14159265358979323846;

}  // namespace

TBox AnimationBounds(const bots::TMD2& body, const bots::TMD2* weapon, int32_t first, int32_t last)
{
  TBox box = model::FrameBounds(body, first, last);
  if (weapon) box.Include(model::FrameBounds(*weapon, first, last));
  return box;
}

TBox ModelBounds(const bots::TMD2& body, const bots::TMD2* weapon)
{
  TBox box = model::AllFrameBounds(body);
  if (weapon) box.Include(model::AllFrameBounds(*weapon));
  return box;
}

std::vector<float> FramePoints(const bots::TMD2& body, const bots::TMD2* weapon, int32_t first,
                               int32_t last)
{
  std::vector<float> points;
  for (const bots::TMD2* model : {&body, weapon}) {
    if (!model || !model->IsLoaded() || model->GetFrameCount() == 0) continue;
    const int32_t count = model->GetFrameCount();
    const int32_t from = std::clamp(std::min(first, last), 0, count - 1);
    const int32_t to = std::clamp(std::max(first, last), from, count - 1);
    for (int32_t frame = from; frame <= to; ++frame)
      for (int32_t i = 0; i < model->GetVertexCount(); ++i) {
        const render::TVector v = model->GetVertex(frame, i);
        points.insert(points.end(), {v.x, v.y, v.z});
      }
  }
  return points;
}

TSpriteCamera::TSpriteCamera(const TViewSetup& setup) : FSetup(setup)
{
  const TBox& box = setup.Bounds;
  FCentre = render::Vector((box.Low[0] + box.High[0]) / 2, (box.Low[1] + box.High[1]) / 2,
                           (box.Low[2] + box.High[2]) / 2);
  if (!setup.Perspective) {
    // The points (or the box's corners) in eye coordinates, over every direction: the widest
    // reach sideways and up or down from the middle sets the scale.
    std::vector<float> corners;
    if (setup.Points.empty())
      for (int corner = 0; corner < 8; ++corner)
        corners.insert(corners.end(), {(corner & 1) ? box.High[0] : box.Low[0],
                                       (corner & 2) ? box.High[1] : box.Low[1],
                                       (corner & 4) ? box.High[2] : box.Low[2]});
    const std::vector<float>& points = setup.Points.empty() ? corners : setup.Points;
    double reachX = 0, reachY = 0;
    for (int32_t direction = 0; direction < setup.Directions; ++direction) {
      Place(direction);
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
      FCamera.Apply();
      double m[16];
      glGetDoublev(GL_MODELVIEW_MATRIX, m);
      const double c[3] = {FCentre.x, FCentre.y, FCentre.z};
      for (size_t i = 0; i + 2 < points.size(); i += 3) {
        const double p[3] = {points[i] - c[0], points[i + 1] - c[1], points[i + 2] - c[2]};
        reachX = std::max(reachX, std::abs(m[0] * p[0] + m[4] * p[1] + m[8] * p[2]));
        reachY = std::max(reachY, std::abs(m[1] * p[0] + m[5] * p[1] + m[9] * p[2]));
      }
    }
    const double aspect = double(setup.Width) / setup.Height;
    const double halfHeight = setup.PixelsPerUnit > 0
                                  ? setup.Height / (2 * setup.PixelsPerUnit)
                                  : std::max({reachY, reachX / aspect, 0.5}) * Margin;
    FHalfHeight = halfHeight;
    FHalfWidth = halfHeight * aspect;
  }
}

void TSpriteCamera::Place(int32_t direction)
{
  const TBox& box = FSetup.Bounds;
  const double dx = box.High[0] - box.Low[0], dy = box.High[1] - box.Low[1],
               dz = box.High[2] - box.Low[2];
  const double radius = std::max(std::sqrt(dx * dx + dy * dy + dz * dz) / 2, 0.5);
  FRadius = radius;

  render::TViewVolume& volume = FCamera.ViewVolume;
  volume.FieldOfView = FSetup.FieldOfView;
  volume.ViewportX = volume.ViewportY = 0;
  volume.ViewportWidth = FSetup.Width;
  volume.ViewportHeight = FSetup.Height;
  const double halfHeight = volume.FieldOfView * Pi / 360;
  const double aspect = double(FSetup.Width) / FSetup.Height;
  const double halfWidth = std::atan(std::tan(halfHeight) * aspect);
  const double distance = radius * Margin / std::sin(std::min(halfHeight, halfWidth));
  volume.NearPlane = std::clamp((distance - radius) / 2, 0.01, 1.0);
  volume.FarPlane = std::max(1000.0, (distance + radius) * 2);

  const double elevation = FSetup.Elevation * Pi / 180;
  FCamera.Target = &FCentre;
  FCamera.Turn =
      float(180 + FSetup.Yaw + 360.0 * double(direction) / double(FSetup.Directions));
  FCamera.Rotation = render::Vector(-90, 0, 0);
  FCamera.Up = render::Vector(0, 1, 0);
  FCamera.Center = render::Vector(0, 0, 0);
  FCamera.Eye = render::Vector(static_cast<float>(-distance * std::cos(elevation)),
                               static_cast<float>(distance * std::sin(elevation)), 0);
}

void TSpriteCamera::Apply(int32_t direction)
{
  Place(direction);
  FCamera.Apply();
  if (FSetup.Perspective) return;
  const double distance =
      std::sqrt(double(FCamera.Eye.x) * FCamera.Eye.x + double(FCamera.Eye.y) * FCamera.Eye.y);
  const double depth = FRadius * 2 + 1;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-FHalfWidth, FHalfWidth, -FHalfHeight, FHalfHeight, distance - depth, distance + depth);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace quarn::sprites

namespace quarn::sprites {

TPixelPoint TSpriteCamera::Pivot(int32_t direction)
{
  glPushAttrib(GL_TRANSFORM_BIT | GL_VIEWPORT_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  Apply(direction);
  double modelView[16], projection[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();

  const double point[4] = {0, 0, 0, 1};
  double eye[4] = {0, 0, 0, 0}, clip[4] = {0, 0, 0, 0};
  for (int row = 0; row < 4; ++row)
    for (int k = 0; k < 4; ++k) eye[row] += modelView[k * 4 + row] * point[k];
  for (int row = 0; row < 4; ++row)
    for (int k = 0; k < 4; ++k) clip[row] += projection[k * 4 + row] * eye[k];
  const double w = clip[3] != 0 ? clip[3] : 1;
  return {(clip[0] / w + 1) / 2 * FSetup.Width, (1 - clip[1] / w) / 2 * FSetup.Height};
}

}  // namespace quarn::sprites
