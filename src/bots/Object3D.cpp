#include "bots/Object3D.h"

#include "render/Texture.h"

namespace quarn::bots {

T3DObject::T3DObject() = default;
T3DObject::~T3DObject() = default;

void T3DObject::BindTexture()
{
  if (render::TTexture* skin = GetTexture(0)) skin->Bind();
}

void T3DObject::Draw() {}

void T3DObject::Render() { Draw(); }

void T3DObject::AfterDraw() {}

bool T3DObject::Update(uint32_t now)
{
  if (!Active) return false;
  const bool due = now - LastUpdate >= UpdateInterval;  // unsigned: correct across the wrap
  if (due) LastUpdate = now;
  Position.x += Velocity.x;
  Position.y += Velocity.y;
  Position.z += Velocity.z;
  return due;
}

render::TTexture* T3DObject::GetTexture(size_t index) const
{
  return index < FTextures.size() ? FTextures[index].get() : nullptr;
}

void T3DObject::SetTexture(size_t index, std::unique_ptr<render::TTexture> texture)
{
  if (FTextures.size() <= index) FTextures.resize(index + 1);
  FTextures[index] = std::move(texture);
}

}  // namespace quarn::bots
