#include <GL/gl.h>

#include "support/GlWindow.h"
#include "Reference.h"
#include "render/Camera.h"

namespace quarn::render {
namespace {

using quarn::test::TMatrix;

class CameraMatrix : public quarn::test::GlWindow {
protected:
  CameraMatrix() : GlWindow(80, 60) {}

  static TMatrix Read(GLenum which)
  {
    float m[16];
    glGetFloatv(which, m);
    TMatrix r;
    for (int i = 0; i < 16; ++i) r[size_t(i)] = m[i];
    return r;
  }

  static void ExpectNear(const TMatrix& actual, const TMatrix& expected)
  {
    for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4) << "element " << i;
  }

  void Configure(TTargetCamera& camera) const
  {
    camera.ViewVolume.ViewportWidth = Width;
    camera.ViewVolume.ViewportHeight = Height;
    camera.Eye = Vector(-200, 100, 0);
    camera.Center = Vector(0, 30, 0);
    camera.Rotation = Vector(-90, 23, 12);
    camera.Turn = 37;
  }

  static TMatrix Expected(const TTargetCamera& c)
  {
    const double eye[3] = {c.Eye.x, c.Eye.y, c.Eye.z};
    const double center[3] = {c.Center.x, c.Center.y, c.Center.z};
    const double up[3] = {c.Up.x, c.Up.y, c.Up.z};
    const TMatrix look = quarn::test::LookAt(eye, center, up);
    const TMatrix rx = quarn::test::Rotation(c.Rotation.x, 1, 0, 0),
                  ry = quarn::test::Rotation(c.Rotation.y, 0, 1, 0),
                  rz = quarn::test::Rotation(c.Rotation.z, 0, 0, 1),
                  turn = quarn::test::Rotation(c.Turn, 0, 0, 1);
    const TMatrix view =
        c.LookAtFirst
            ? quarn::test::Multiply(quarn::test::Multiply(quarn::test::Multiply(look, rz), rx), ry)
            : quarn::test::Multiply(quarn::test::Multiply(quarn::test::Multiply(rx, ry), rz), look);
    return quarn::test::Multiply(view, turn);
  }
};

TEST_F(CameraMatrix, ModelViewAndProjectionMatchTheReferenceInBothOrders)
{
  for (bool lookAtFirst : {true, false}) {
    SCOPED_TRACE(lookAtFirst ? "look-at first" : "rotations first");
    TTargetCamera camera;
    Configure(camera);
    camera.LookAtFirst = lookAtFirst;
    camera.Apply();
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    ExpectNear(Read(GL_MODELVIEW_MATRIX), Expected(camera));
    ExpectNear(Read(GL_PROJECTION_MATRIX),
               quarn::test::Perspective(30, double(Width) / Height, 1, 100));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], Width);
    EXPECT_EQ(viewport[3], Height);
  }
}

TEST_F(CameraMatrix, WComponentsHaveNoEffect)
{
  TTargetCamera camera;
  Configure(camera);
  camera.Apply();
  const TMatrix plain = Read(GL_MODELVIEW_MATRIX);
  camera.Eye.w = camera.Center.w = camera.Up.w = camera.Rotation.w = 7;
  camera.Apply();
  ExpectNear(Read(GL_MODELVIEW_MATRIX), plain);
}

TEST_F(CameraMatrix, ZUpModelStandsAlongTheLookAtUpWithRotationMinus90AboutX)
{
  TTargetCamera camera;
  camera.ViewVolume.ViewportWidth = Width;
  camera.ViewVolume.ViewportHeight = Height;
  camera.Eye = Vector(0, 0, 10);
  camera.Rotation = Vector(-90, 0, 0);
  camera.Apply();
  const TMatrix m = Read(GL_MODELVIEW_MATRIX);
  // The model's +z axis in eye space is the matrix's third column.
  EXPECT_NEAR(m[8], 0, 1e-6);
  EXPECT_NEAR(m[9], 1, 1e-6);
  EXPECT_NEAR(m[10], 0, 1e-6);
}

TEST_F(CameraMatrix, DisabledCameraLoadsNothingButStillTurns)
{
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -1, 1);
  const TMatrix projection = Read(GL_PROJECTION_MATRIX);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  TTargetCamera camera;
  Configure(camera);
  camera.Enabled = false;
  camera.Apply();
  ExpectNear(Read(GL_PROJECTION_MATRIX), projection);
  ExpectNear(Read(GL_MODELVIEW_MATRIX), quarn::test::Multiply(quarn::test::Translation(1, 2, 3),
                                                              quarn::test::Rotation(37, 0, 0, 1)));
}

TEST_F(CameraMatrix, TargetIsMovedToTheOriginOfTheView)
{
  TTargetCamera camera;
  Configure(camera);
  const TVector target = Vector(5, -4, 2);
  camera.Target = &target;
  camera.Apply();
  ExpectNear(Read(GL_MODELVIEW_MATRIX),
             quarn::test::Multiply(Expected(camera), quarn::test::Translation(-5, 4, -2)));
}

}  // namespace
}  // namespace quarn::render
