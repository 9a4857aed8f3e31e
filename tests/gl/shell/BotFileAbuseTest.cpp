// Bot files a careless author could write: each one loads (or fails with a message) and the
// bot then runs through every key combination for a while without crashing. A frame may fail
// with an exception (the window reports it and goes on), but never with a crash.
#include <array>
#include <string>

#include "BotHostingFixture.h"
#include "bots/MD2Writer.h"
#include "platform/VirtualKeys.h"

using ::testing::HasSubstr;
namespace vk = quarn::platform;

namespace {

struct TOddBot {
  const char* Name;
  const char* Text;            // appended to the loading of a body and a weapon model
  const char* Expected;        // a piece of a console line printed by the load
  bool FramesMayFail = false;  // a frame sound naming a wave the bot has not got fails its frame
};

constexpr const char* Body =
    "LoadMD2('bots/robot/robot.md2'); LoadWeapon('bots/robot/weapon.md2');\r\n";

const std::array OddBots = {
    TOddBot{"zero_timing", "SetTiming(0, 0); AddState(0, 'Idle', KEY_NONE, IDLE1, true);",
            "compiled"},
    TOddBot{"negative_timing", "SetTiming(-5, -5); AddState(0, 'Idle', KEY_NONE, RUN, true);",
            "compiled"},
    TOddBot{"huge_timing",
            "SetTiming(2147483647, 2147483647); AddState(0, 'Idle', KEY_NONE, IDLE1, true);",
            "compiled"},
    TOddBot{"no_states", "", "compiled"},
    TOddBot{"first_state_is_not_zero", "AddState(5, 'Five', KEY_NONE, IDLE1, true);", "compiled"},
    TOddBot{"negative_state_id", "AddState(-1, 'Minus', KEY_NONE, IDLE1, true);", "compiled"},
    TOddBot{"huge_state_id", "AddState(2000000000, 'Huge', KEY_NONE, IDLE1, true);", "compiled"},
    TOddBot{"unknown_animation", "AddState(0, 'Idle', KEY_NONE, 99, true);", "compiled"},
    TOddBot{"negative_animation", "AddState(0, 'Idle', KEY_NONE, -1, true);", "compiled"},
    TOddBot{"next_state_unknown",
            "AddState(0, 'Idle', KEY_NONE, IDLE1, true); AddState(1, 'Run', KEY_FORWARD, RUN, "
            "true); AddNextState(0, 7); AddNextState(0, 1); AddNextState(7, 0); "
            "AddNextState(1, -1);",
            "compiled"},
    TOddBot{"duplicate_state_ids",
            "AddState(0, 'Idle', KEY_NONE, IDLE1, true); AddState(0, 'Run', KEY_FORWARD, RUN, "
            "true); AddNextState(0, 0);",
            "compiled"},
    TOddBot{"key_masks_out_of_range",
            "AddState(0, 'Idle', -1, IDLE1, true); AddState(1, 'Run', 99999, RUN, false); "
            "AddNextState(0, 1); AddNextState(1, 0);",
            "compiled"},
    TOddBot{"every_animation_in_a_loop",
            "for i := 0 to 18 do AddState(i, 'S' + IntToStr(i), i * 7, i, i mod 2 = 0); "
            "for i := 0 to 18 do for j := 0 to 18 do AddNextState(i, j);",
            "compiled"},
    TOddBot{"sound_on_frame_minus_one",
            "PrecacheSet('bots/robot/robot.snd'); SetSound(-1, 'footstep', false);",
            "Frame -1 is not a frame of the model"},
    TOddBot{"sound_on_frame_far_away",
            "PrecacheSet('bots/robot/robot.snd'); SetSound(100000, 'footstep', false);",
            "Frame 100000 is not a frame of the model"},
    TOddBot{"sound_without_a_set",
            "AddState(0, 'Idle', KEY_NONE, IDLE1, true); "
            "SetSound(1, 'footstep', false); SetSound(2, '', true);",
            "compiled", true},
    TOddBot{"model_as_sound_set", "PrecacheSet('bots/robot/robot.md2');", "Error precaching"},
    TOddBot{"console_command_in_a_bot_file", "About;", "Function ABOUT is not defined"},
    TOddBot{"load_bot_in_a_bot_file", "LoadBot('bots/robot/robot.bot');",
            "Function LOADBOT is not defined"},
    TOddBot{"exit_half_way", "AddState(0, 'Idle', KEY_NONE, IDLE1, true); exit; LoadMD2('none');",
            "compiled"},
    TOddBot{"second_model_missing", "AddState(0, 'Idle', KEY_NONE, IDLE1, true); LoadMD2('none');",
            "Model none not found"},
    TOddBot{"skin_twice", "LoadMD2Skin('bots/robot/weapon.jpg'); LoadMD2Skin('none.tga');", ""},
};

class OddBotTest : public BotHostingTest, public ::testing::WithParamInterface<TOddBot> {};

// The keys a user can hold, alone and in pairs.
constexpr std::array<uint16_t, 5> MovementKeys = {vk::VK_UP, vk::VK_DOWN, vk::VK_SPACE,
                                                  vk::VK_NUMPAD0, vk::VK_RETURN};

TEST_P(OddBotTest, LoadsOrSaysWhyAndSurvivesEveryKey)
{
  const TOddBot& bot = GetParam();
  const auto printed = LoadBot(WriteBot("odd.bot", std::string(Body) + bot.Text));
  EXPECT_THAT(Joined(printed), HasSubstr(bot.Expected));

  int failedFrames = 0;
  auto frames = [&](int count) {
    for (int i = 0; i < count; ++i) {
      try {
        Frame();
      } catch (const std::exception& error) {
        ++failedFrames;
        EXPECT_STRNE(error.what(), "") << "a failed frame must say why";
      }
    }
  };
  frames(5);
  for (uint16_t first : MovementKeys) {
    KeyDown(first);
    frames(4);
    for (uint16_t second : MovementKeys) {
      KeyDown(second);
      frames(2);
      KeyUp(second);
    }
    KeyUp(first);
    frames(4);
  }
  if (!bot.FramesMayFail) {
    EXPECT_EQ(failedFrames, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(BotFiles, OddBotTest, ::testing::ValuesIn(OddBots),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace

namespace {

// A model of `frames` frames of one triangle (none when frames is 0).
std::string TinyModel(int frames)
{
  quarn::bots::TMD2Content content;
  content.SkinWidth = content.SkinHeight = 8;
  if (frames > 0) {
    content.TexCoords = {{0, 0}, {8, 0}, {0, 8}};
    content.Triangles = {{{0, 1, 2}, {0, 1, 2}}};
  }
  for (int i = 0; i < frames; ++i)
    content.Frames.push_back(quarn::bots::QuantizeFrame(
        {quarn::render::Vector(0, 0, 0), quarn::render::Vector(float(i), 1, 0),
         quarn::render::Vector(0, 0, 1)},
        "f" + std::to_string(i)));
  const std::vector<uint8_t> bytes = quarn::bots::WriteMD2(content);
  return {bytes.begin(), bytes.end()};
}

// Models with fewer frames than the animations name: every animation is played on them, with
// sounds on their frames, and the keys are held in turn.
TEST_F(BotHostingTest, ModelsShorterThanTheirAnimationsPlayEveryAnimation)
{
  for (int frames : {0, 1, 45}) {
    SCOPED_TRACE(frames);
    const std::string body = scratchName + "/body.md2", weapon = scratchName + "/weapon.md2";
    WriteFile("body.md2", TinyModel(frames));
    WriteFile("weapon.md2", TinyModel(frames == 45 ? 2 : 0));
    const auto printed = LoadBot(WriteBot(
        "tiny.bot",
        "LoadMD2('" + body + "'); LoadWeapon('" + weapon +
            "');\r\n"
            "PrecacheSet('bots/robot/robot.snd');\r\n"
            "if " +
            std::to_string(frames) +
            " > 0 then SetSound(0, 'footstep', false);\r\n"
            "for i := 0 to 18 do AddState(i, 'S' + IntToStr(i), i * 7, i, i mod 2 = 0);\r\n"
            "for i := 0 to 18 do for j := 0 to 18 do AddNextState(i, j);\r\n"));
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.back(), "Bot file tiny.bot compiled");
    for (uint16_t key : MovementKeys) {
      KeyDown(key);
      for (int i = 0; i < 30; ++i) EXPECT_NO_THROW(Frame());
      KeyUp(key);
    }
    for (int i = 0; i < 30; ++i) EXPECT_NO_THROW(Frame());
  }
}

}  // namespace

namespace {

TEST_F(BotHostingTest, AByteOrderMarkBeforeTheFirstLineIsIgnored)
{
  const auto printed = LoadBot(WriteBot("bom.bot",
                                        "\xEF\xBB\xBF"
                                        "AddState(0, 'Bom', KEY_NONE, IDLE1, true);\r\n"));
  EXPECT_THAT(printed, ::testing::ElementsAre("State Bom added", "Bot file bom.bot compiled"));
}

}  // namespace
