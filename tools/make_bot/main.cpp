// Generates the demo robot into the folder given as the only argument: body and weapon MD2
// models with all 199 frames, the body skin as TGA, BMP, WAL (with palette.pal) and PCX, and
// the weapon skin as JPEG.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Rig.h"
#include "Skin.h"
#include "bots/MD2Writer.h"

using namespace quarn::tools::make_bot;

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bot OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  std::error_code error;
  std::filesystem::create_directories(dir, error);

  const std::vector<TPose> poses = AllFramePoses();
  const std::vector<std::string> names = AllFrameNames();
  const TMesh body = BuildBody();
  const TMesh gun = BuildGun();
  const TCanvas bodySkin = PaintSkin(body, 512, 512);
  const TCanvas gunSkin = PaintSkin(gun, 128, 128);

  const bool ok =
      quarn::bots::SaveBytes(dir + "robot.md2", WriteMD2(body.Content(poses, names, "robot.tga"))) &&
      quarn::bots::SaveBytes(dir + "weapon.md2", WriteMD2(gun.Content(poses, names, "weapon.jpg"))) &&
      WriteTGA(dir + "robot.tga", bodySkin) && WriteBMP(dir + "robot.bmp", bodySkin) &&
      WriteWAL(dir + "robot.wal", dir + "palette.pal", bodySkin) &&
      WritePCX(dir + "robot.pcx", bodySkin) && WriteJPEG(dir + "weapon.jpg", gunSkin, 92);
  if (!ok) {
    std::fprintf(stderr, "make_bot: cannot write into %s\n", dir.c_str());
    return 1;
  }
  std::printf("make_bot: robot %zu triangles, weapon %zu triangles, %zu frames\n",
              body.TriangleCount(), gun.TriangleCount(), poses.size());
  return 0;
}
