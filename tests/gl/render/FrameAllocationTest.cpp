// A hundred full demo frames (the robot and its weapon, the FPS overlay, the console open with
// ten lines and the cursor, the frame-number overlay) allocate nothing through operator new:
// the frame path reuses what the first frames set up. The GL driver's own allocations (its
// shader compiler uses operator new too) are not counted.
#include <GL/gl.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "GlFixture.h"
#include "bots/MD2.h"
#include "render/Camera.h"
#include "render/Console.h"
#include "render/GLFont.h"

namespace {

std::atomic<bool> Counting{false};
std::atomic<long> Allocations{0};

// Whether the allocation is made on behalf of the GL driver: a caller lies in a shared object
// of Mesa or LLVM.
bool ForTheDriver()
{
  void* callers[64];
  const int n = backtrace(callers, 64);
  for (int i = 1; i < n; ++i) {
    Dl_info info;
    if (dladdr(callers[i], &info) == 0 || info.dli_fname == nullptr) continue;
    for (const char* mark : {"_dri.so", "libLLVM", "libgallium", "libGLX_mesa", "libglapi"})
      if (std::strstr(info.dli_fname, mark) != nullptr) return true;
  }
  return false;
}

void Count()
{
  if (!Counting) return;
  Counting = false;  // backtrace may allocate once
  if (!ForTheDriver()) ++Allocations;
  Counting = true;
}

void* Allocate(std::size_t size)
{
  Count();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  Count();
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace quarn::render {
namespace {

class FrameAllocation : public testing::GlTest {};

TEST_F(FrameAllocation, HundredFullDemoFramesAllocateNothing)
{
  TGLFont font(QUARN_FONT_FILE);
  TConsole console(&font);
  console.VisibleLines = 10;
  console.Width = Width;
  console.Height = Height;
  console.LoadFromFile(QUARN_BIN_DIR "/console.txt");
  console.AddWrapped("Syntax error: Unknown identifier 'Sya' at line 1, position 5; expected '('");
  console.Add(std::string(60, 'x'));
  console.Prepare();
  for (const char c : std::string("Say('Hello, world!')")) console.KeyChar(c);
  console.SetOpen(true);
  console.Blink();

  bots::TMD2 body, weapon;
  const std::string robot = QUARN_BIN_DIR "/bots/robot/";
  ASSERT_TRUE(body.LoadFromFile(robot + "robot.md2") && weapon.LoadFromFile(robot + "weapon.md2"));
  ASSERT_TRUE(body.LoadSkin(robot + "robot.tga") && weapon.LoadSkin(robot + "weapon.jpg"));
  for (bots::TMD2* model : {&body, &weapon}) {
    model->Active = true;
    model->SetAnimation(1);
  }
  TTargetCamera camera;
  camera.ViewVolume.ViewportWidth = Width;
  camera.ViewVolume.ViewportHeight = Height;
  camera.ViewVolume.FarPlane = 1000;
  camera.Eye = Vector(-200, 100, 0);
  camera.Center = Vector(0, 30, 0);
  camera.Rotation = Vector(-90, 23, 0);
  glEnable(GL_DEPTH_TEST);

  uint32_t now = 0;
  auto frame = [&](int n) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera.Turn += 0.5f;
    camera.Apply();
    now += 40;
    for (bots::TMD2* model : {&body, &weapon}) model->Update(now);
    for (bots::TMD2* model : {&body, &weapon}) {
      model->BindTexture();
      model->Draw();
      model->AfterDraw();
    }
    font.Print(30, 17, "FPS:" + std::to_string(900 + n), 1);
    if (n % 5 == 0) console.Blink();
    console.Draw();
    font.Print(0, 17, "Frame:" + std::to_string(body.CurrentFrame), 1);
    glFinish();
  };
  frame(0);
  ForTheDriver();  // loads what backtrace needs
  Counting = true;
  for (int n = 1; n <= 100; ++n) frame(n);
  Counting = false;
  EXPECT_EQ(Allocations.load(), 0);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
}

}  // namespace
}  // namespace quarn::render
