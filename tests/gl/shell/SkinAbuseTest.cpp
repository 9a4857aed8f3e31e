// Damaged skin images named by a bot file: each load fails with a console line that says
// which skin or what went wrong, and the next bot loads normally.
#include <array>
#include <fstream>
#include <iterator>
#include <string>

#include "BotHostingFixture.h"
#include "platform/Paths.h"

using ::testing::HasSubstr;

namespace {

std::string DemoFile(const std::string& name)
{
  std::ifstream in(quarn::platform::ExeDir() + "bots/robot/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TBadSkin {
  const char* Name;  // the skin's file name; its extension chooses the reader
  const char* From;  // demo file whose first `Keep` bytes are the skin; empty: `Junk`
  size_t Keep;
  const char* Reason;  // a piece of the reason line after the not-found line; empty: any
};

const std::array BadSkins = {
    TBadSkin{"cut.wal", "robot.wal", 200, "  WAL pixel data is cut short"},
    TBadSkin{"header.wal", "robot.wal", 50, "  WAL header is cut short"},
    TBadSkin{"cut.jpg", "weapon.jpg", 1000, "  Premature end of JPEG file"},
    TBadSkin{"header.jpg", "weapon.jpg", 20, ""},
    TBadSkin{"cut.tga", "robot.tga", 1000, ""},
    TBadSkin{"cut.bmp", "robot.bmp", 1000, ""},
    TBadSkin{"header.bmp", "robot.bmp", 30, ""},
    TBadSkin{"empty.jpg", "weapon.jpg", 0, ""},
    TBadSkin{"empty.tga", "robot.tga", 0, ""},
    TBadSkin{"cut.pcx", "robot.pcx", 50000, ""},
    TBadSkin{"header.pcx", "robot.pcx", 100, ""},
    TBadSkin{"empty.pcx", "robot.pcx", 0, ""},
    TBadSkin{"junk.pcx", "", 0, ""},
    TBadSkin{"junk.tga", "", 0, ""},
    TBadSkin{"junk.bmp", "", 0, ""},
    TBadSkin{"junk.jpg", "", 0, ""},
    TBadSkin{"skin.png", "robot.tga", 100000, ""},
};

class BadSkinTest : public BotHostingTest, public ::testing::WithParamInterface<TBadSkin> {};

TEST_P(BadSkinTest, FailsTheLoadWithAMessageAndTheNextBotLoads)
{
  const TBadSkin& skin = GetParam();
  const std::string bytes =
      *skin.From ? DemoFile(skin.From).substr(0, skin.Keep) : std::string(300, '\x9c') + "junk\r\n";
  WriteFile(skin.Name, bytes);
  WriteFile("palette.pal", DemoFile("palette.pal"));
  const std::string name = scratchName + "/" + skin.Name;
  const auto printed = LoadBot(WriteBot("skin.bot",
                                        "LoadMD2('bots/robot/robot.md2');\r\n"
                                        "LoadMD2Skin('" +
                                            name + "');\r\n"));
  EXPECT_THAT(Joined(printed), HasSubstr("Model skin" + name + " not found"));
  EXPECT_THAT(Joined(printed), HasSubstr(skin.Reason));
  EXPECT_FALSE(form->Bots().Bot().Active());

  const auto demo = LoadBot("bots/robot/robot.bot");
  ASSERT_FALSE(demo.empty());
  EXPECT_EQ(demo.back(), "Bot file robot.bot compiled");
}

INSTANTIATE_TEST_SUITE_P(Skins, BadSkinTest, ::testing::ValuesIn(BadSkins), [](const auto& param) {
  std::string name = param.param.Name;
  for (char& c : name)
    if (c == '.') c = '_';
  return name;
});

TEST_F(BotHostingTest, AWalSkinWithoutAPaletteBesideItIsNotFound)
{
  WriteFile("robot.wal", DemoFile("robot.wal"));
  const std::string name = scratchName + "/robot.wal";
  const auto printed = LoadBot(WriteBot("wal.bot",
                                        "LoadMD2('bots/robot/robot.md2');\r\n"
                                        "LoadMD2Skin('" +
                                            name + "');\r\n"));
  EXPECT_THAT(Joined(printed), HasSubstr("Model skin" + name + " not found"));
}

}  // namespace
