#pragma once
#include <cstdint>

namespace quarn::bots {
class TMD2;
}

namespace quarn::model {

// A box in the model's own coordinates; Empty until a point is put in it.
struct TBox {
  float Low[3] = {0, 0, 0};
  float High[3] = {0, 0, 0};
  bool Empty = true;

  void Include(const float (&point)[3]);
  void Include(const TBox& box);
};

// The box holding every vertex of keyframes first to last (in either order), clamped into
// the model's frames as it draws them: blended poses lie between keyframes, so it holds them
// too. Empty for a model that is not loaded or has no frames or vertices.
TBox FrameBounds(const bots::TMD2& model, int32_t first, int32_t last);
// The box over all the model's keyframes.
TBox AllFrameBounds(const bots::TMD2& model);

}  // namespace quarn::model
