#include "model/Drawing.h"

#include <GL/gl.h>

#include "bots/MD2.h"

namespace quarn::model {

void SetModelDrawingState()
{
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_NORMALIZE);
}

void DrawModel(bots::TMD2& model, const bots::TPose& pose, const render::TDrawStyle& style)
{
  model.BindTexture();
  model.DrawPose(pose, style);
  model.AfterDraw();
}

}  // namespace quarn::model
