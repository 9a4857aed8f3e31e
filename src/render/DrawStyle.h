#pragma once

namespace quarn::render {

// How a model is drawn: the choices the viewer's console commands change and sprite rendering
// copies, so that a sprite and the window show the same pose the same way. The defaults are
// the demo's look.
struct TDrawStyle {
  bool Culling = false;                // leave out faces turned away (front faces clockwise)
  bool Smooth = false;                 // light with normals blended like the positions
  bool Wireframe = false;              // triangle edges drawn over the model
  bool NearestFilter = false;          // crisp texels instead of linear filtering
  float Background[3] = {0, 0, 0};     // clear colour, 0..1
  double FieldOfView = 30.0;           // vertical, degrees
  // The light of Smooth: a direction in eye coordinates (towards the light), the ambient and
  // the diffuse share. An untextured model is lit too when LightUntextured, so its shape shows.
  float LightDirection[3] = {0.25f, 0.5f, 1.0f};
  float Ambient = 0.3f;
  float Diffuse = 0.8f;
  bool LightUntextured = false;
};

}  // namespace quarn::render
