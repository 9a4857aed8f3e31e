// The peer of bench_peer_md2: the same MD2 model and skin drawn by the Irrlicht engine in a
// 640x480 window for a number of seconds, framed as the viewer frames a model (its bounding
// sphere in a 30-degree view, seen from its front, +x, 15 degrees above), its standing
// animation playing. Prints "frames seconds cpu_ns pixels": the frames drawn, the time they
// took, the CPU time of all the process's threads over them, and the pixels the last frame
// covered.
//   bench_peer_md2_irrlicht MODEL.md2 SKIN SECONDS
#include <GL/gl.h>
#include <irrlicht.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "schedstat.h"

using namespace irr;

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s MODEL.md2 SKIN SECONDS\n", argv[0]);
    return 2;
  }
  const double seconds = std::atof(argv[3]);
  SIrrlichtCreationParameters parameters;
  parameters.DriverType = video::EDT_OPENGL;
  parameters.WindowSize = core::dimension2d<u32>(640, 480);
  parameters.Bits = 24;
  parameters.ZBufferBits = 16;
  parameters.Vsync = false;
  parameters.LoggingLevel = ELL_ERROR;
  IrrlichtDevice* device = createDeviceEx(parameters);
  if (!device) return 1;
  video::IVideoDriver* driver = device->getVideoDriver();
  scene::ISceneManager* scene = device->getSceneManager();
  scene::IAnimatedMesh* mesh = scene->getMesh(argv[1]);
  if (!mesh) return 1;
  scene::IAnimatedMeshSceneNode* node = scene->addAnimatedMeshSceneNode(mesh);
  node->setMaterialFlag(video::EMF_LIGHTING, false);
  node->setMaterialTexture(0, driver->getTexture(argv[2]));
  node->setMD2Animation(scene::EMAT_STAND);

  const core::aabbox3df box = mesh->getMesh(0)->getBoundingBox();
  const core::vector3df centre = box.getCenter();
  const double radius = std::max(double(box.getExtent().getLength()) / 2, 0.5);
  const double halfHeight = 15 * M_PI / 180;
  const double halfWidth = std::atan(std::tan(halfHeight) * 640 / 480);
  const double distance = radius * 1.05 / std::sin(std::min(halfHeight, halfWidth));
  const double elevation = 15 * M_PI / 180;
  const core::vector3df eye =
      centre + core::vector3df(float(distance * std::cos(elevation)),
                               float(distance * std::sin(elevation)), 0);
  scene::ICameraSceneNode* camera = scene->addCameraSceneNode(nullptr, eye, centre);
  camera->setFOV(float(2 * halfHeight));
  camera->setAspectRatio(640.0f / 480.0f);
  camera->setNearValue(float(std::clamp((distance - radius) / 2, 0.01, 1.0)));
  camera->setFarValue(float(std::max(1000.0, (distance + radius) * 2)));

  const auto start = std::chrono::steady_clock::now();
  const uint64_t cpuStart = bench::ProcessCpuNs();
  long frames = 0;
  double elapsed = 0;
  while (device->run() && elapsed < seconds) {
    driver->beginScene(true, true, video::SColor(255, 0, 0, 0));
    scene->drawAll();
    driver->endScene();
    ++frames;
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const uint64_t cpu = bench::ProcessCpuNs() - cpuStart;
  // One more frame, read before it is shown, for the pixels it covers.
  long pixels = 0;
  driver->beginScene(true, true, video::SColor(255, 0, 0, 0));
  scene->drawAll();
  std::vector<unsigned char> rgb(640 * 480 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  driver->endScene();
  for (size_t i = 0; i < rgb.size(); i += 3) pixels += rgb[i] || rgb[i + 1] || rgb[i + 2];
  std::printf("%ld %f %llu %ld\n", frames, elapsed, static_cast<unsigned long long>(cpu), pixels);
  device->drop();
  return 0;
}
