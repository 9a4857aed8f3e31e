#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/Vector.h"

namespace quarn::render {
class TTexture;
}

namespace quarn::bots {

using render::TVector;

// Base of every drawable object: placement, textures, and an update clock. Times are
// milliseconds of a 32-bit clock that wraps; intervals are compared as unsigned differences.
class T3DObject {
public:
  T3DObject();
  virtual ~T3DObject();
  T3DObject(const T3DObject&) = delete;
  T3DObject& operator=(const T3DObject&) = delete;

  TVector Position = render::Vector(0, 0, 0);
  TVector Rotation = render::Vector(0, 0, 0);  // degrees about x, y, z
  TVector Scale = render::Vector(1, 1, 1);
  uint32_t UpdateInterval = 0;                 // minimum ms between two due updates
  uint32_t LastUpdate = 0;                     // time of the last due update
  TVector Velocity = render::Vector(0, 0, 0);  // added to Position on every active update
  bool Active = false;

  // Binds texture 0 when there is one; otherwise leaves whatever is bound.
  virtual void BindTexture();
  // The base object has no geometry of its own: nothing is drawn.
  virtual void Draw();
  virtual void Render();
  virtual void AfterDraw();
  // Moves by Velocity while active; the result says whether UpdateInterval has passed since
  // the last due update (that update's time is then remembered). Inactive: false, no change.
  virtual bool Update(uint32_t now);

  // Texture Index, or null when the list is shorter. The object owns its textures: a texture
  // replaced by SetTexture is released.
  render::TTexture* GetTexture(size_t index) const;
  void SetTexture(size_t index, std::unique_ptr<render::TTexture> texture);

private:
  std::vector<std::unique_ptr<render::TTexture>> FTextures;
};

}  // namespace quarn::bots
