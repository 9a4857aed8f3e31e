#include "render/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace quarn::render {

namespace {

void LookAt(const TCamera& camera)
{
  gluLookAt(double(camera.Eye.x), double(camera.Eye.y), double(camera.Eye.z),
            double(camera.Center.x), double(camera.Center.y), double(camera.Center.z),
            double(camera.Up.x), double(camera.Up.y), double(camera.Up.z));
}

}  // namespace

void TCamera::Apply()
{
  if (!Enabled) return;
  ViewVolume.Apply();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Each rotation multiplies on the right, so the last one listed acts first on the geometry.
  if (LookAtFirst) {
    LookAt(*this);
    glRotatef(Rotation.z, 0, 0, 1);
    glRotatef(Rotation.x, 1, 0, 0);
    glRotatef(Rotation.y, 0, 1, 0);
  } else {
    glRotatef(Rotation.x, 1, 0, 0);
    glRotatef(Rotation.y, 0, 1, 0);
    glRotatef(Rotation.z, 0, 0, 1);
    LookAt(*this);
  }
}

void TTargetCamera::Apply()
{
  TCamera::Apply();
  glRotatef(Turn, 0, 0, 1);
  if (Target) glTranslatef(-Target->x, -Target->y, -Target->z);
}

}  // namespace quarn::render
