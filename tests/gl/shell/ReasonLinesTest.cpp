// A model, skin or sound set that is there but cannot be read: the console's message line is
// followed by an indented line with what the reader found; a missing file's says where it was
// looked for.
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "BotHostingFixture.h"
#include "platform/Paths.h"

namespace {

std::string DemoFile(const std::string& name)
{
  std::ifstream in(quarn::platform::ExeDir() + "bots/robot/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Patched(const std::string& file, size_t at, const std::string& bytes)
{
  std::string patched = DemoFile(file);
  patched.replace(at, bytes.size(), bytes);
  return patched;
}

std::string Junk() { return std::string(300, '\x9c'); }

struct TDamagedFile {
  const char* Name;     // written into a subfolder of its own, so no palette.pal is beside it
  const char* Command;  // the bot command given its name, after the demo robot's body loads
  std::string (*Bytes)();
  const char* Message;  // the message line's words before the file's name
  const char* Reason;   // how the next line starts
};

const std::array DamagedFiles = {
    TDamagedFile{"ident.md2", "LoadMD2", [] { return Patched("robot.md2", 0, "IDPX"); }, "Model ",
                 "  ident is not IDP2"},
    TDamagedFile{"short.md2", "LoadWeapon", [] { return DemoFile("robot.md2").substr(0, 40); },
                 "Weapon model ", "  file is shorter than the 68-byte header"},
    TDamagedFile{"rle.tga", "LoadMD2Skin", [] { return Patched("robot.tga", 2, "\x04"); },
                 "Model skin", "  unsupported TGA type 4"},
    TDamagedFile{"depth.bmp", "LoadWeaponSkin",
                 [] { return Patched("robot.bmp", 28, std::string("\x10\0", 2)); }, "Weapon skin",
                 "  unsupported BMP depth of 16 bits"},
    TDamagedFile{"cut.pcx", "LoadMD2Skin",
                 [] {
                   const std::string pcx = DemoFile("robot.pcx");
                   return pcx.substr(0, 1000) + pcx.substr(pcx.size() - 769);
                 },
                 "Model skin", "  PCX pixel data is cut short"},
    TDamagedFile{"junk.jpg", "LoadMD2Skin", Junk, "Model skin", "  Not a JPEG file"},
    TDamagedFile{"cut.jpg", "LoadWeaponSkin", [] { return DemoFile("weapon.jpg").substr(0, 1000); },
                 "Weapon skin", "  Premature end of JPEG file"},
    TDamagedFile{"lonely.wal", "LoadMD2Skin", [] { return DemoFile("robot.wal"); }, "Model skin",
                 "  cannot read the palette "},
    TDamagedFile{"junk.png", "LoadMD2Skin", Junk, "Model skin", "  not a PNG file"},
    TDamagedFile{"skin.gif", "LoadMD2Skin", Junk, "Model skin", "  no reader for \".gif\" images"},
    TDamagedFile{"junk.snd", "PrecacheSet", Junk, "Error precaching",
                 "  Sound set read error at byte 4: not a sound set"},
    TDamagedFile{"missing.tga", "LoadMD2Skin", nullptr, "Model skin", "  tried "},
    TDamagedFile{"missing.md2", "LoadMD2", nullptr, "Model ", "  tried "},
};

void PrintTo(const TDamagedFile& file, std::ostream* out) { *out << file.Name; }

class ReasonLineTest : public BotHostingTest, public ::testing::WithParamInterface<TDamagedFile> {};

TEST_P(ReasonLineTest, FollowsTheMessageLine)
{
  const TDamagedFile& file = GetParam();
  std::filesystem::create_directory(scratch + "own");
  if (file.Bytes) WriteFile(std::string("own/") + file.Name, file.Bytes());
  const std::string name = scratchName + "/own/" + file.Name;
  const auto printed =
      LoadBot(WriteBot("damaged.bot", "LoadMD2('bots/robot/robot.md2');\r\n" +
                                          std::string(file.Command) + "('" + name + "');\r\n"));
  size_t at = 0;
  auto names = [&](const std::string& line) {
    return line.find(file.Message) != std::string::npos && line.find(name) != std::string::npos;
  };
  while (at < printed.size() && !names(printed[at])) ++at;
  ASSERT_LT(at, printed.size()) << ::testing::PrintToString(printed);
  const std::string next = at + 1 < printed.size() ? printed[at + 1] : "";
  EXPECT_TRUE(next.starts_with(file.Reason)) << next;
}

INSTANTIATE_TEST_SUITE_P(Files, ReasonLineTest, ::testing::ValuesIn(DamagedFiles),
                         [](const auto& param) {
                           std::string name = param.param.Name;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

}  // namespace
