#include "model/Bounds.h"

#include <algorithm>

#include "bots/MD2.h"

namespace quarn::model {

void TBox::Include(const float (&point)[3])
{
  for (int axis = 0; axis < 3; ++axis) {
    Low[axis] = Empty ? point[axis] : std::min(Low[axis], point[axis]);
    High[axis] = Empty ? point[axis] : std::max(High[axis], point[axis]);
  }
  Empty = false;
}

void TBox::Include(const TBox& box)
{
  if (box.Empty) return;
  Include(box.Low);
  Include(box.High);
}

TBox FrameBounds(const bots::TMD2& model, int32_t first, int32_t last)
{
  TBox box;
  const int32_t count = model.GetFrameCount();
  if (!model.IsLoaded() || count == 0 || model.GetVertexCount() == 0) return box;
  const int32_t from = std::clamp(std::min(first, last), 0, count - 1);
  const int32_t to = std::clamp(std::max(first, last), from, count - 1);
  for (int32_t frame = from; frame <= to; ++frame)
    for (int32_t i = 0; i < model.GetVertexCount(); ++i) {
      const render::TVector v = model.GetVertex(frame, i);
      box.Include({v.x, v.y, v.z});
    }
  return box;
}

TBox AllFrameBounds(const bots::TMD2& model)
{
  return FrameBounds(model, 0, model.GetFrameCount() - 1);
}

}  // namespace quarn::model
