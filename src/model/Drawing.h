#pragma once
#include "bots/Pose.h"
#include "render/DrawStyle.h"

namespace quarn::bots {
class TMD2;
}

namespace quarn::model {

// The fixed GL state models are drawn in: depth-tested, textured with the texture modulating
// the current colour, alpha-blended, normals rescaled after scaling. The window sets it once at
// start-up; the sprite renderer at the start of each run.
void SetModelDrawingState();

// Draws `model` at `pose` in `style` with its own skin bound, as the window draws it; the
// model's own pose and style are neither used nor changed.
void DrawModel(bots::TMD2& model, const bots::TPose& pose, const render::TDrawStyle& style);

}  // namespace quarn::model
