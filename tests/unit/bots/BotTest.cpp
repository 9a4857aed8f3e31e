// The bot on its own: a bot file run with a script of the test's own against small generated
// models, then advanced with a hand-made clock (nothing here draws).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestModels.h"
#include "bots/Bot.h"
#include "render/Console.h"
#include "script/Errors.h"
#include "script/Script.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::StartsWith;

namespace quarn::bots {
namespace {

class BotTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    bot.BaseDir = dir.File("");
    dir.Write("body.md2", WriteMD2(test::TriangleModel(199)));
    dir.Write("short.md2", WriteMD2(test::TriangleModel(50)));
    script.SetFunctions(&hostFuncs);
  }

  // Writes the bot file and loads it; the result is Load's.
  bool Load(const std::string& text)
  {
    std::ofstream(dir.File("test.bot"), std::ios::binary) << text;
    return bot.Load(script, console, dir.File("test.bot"));
  }
  const std::vector<std::string>& Lines() const { return console.Lines(); }

  // Advances the bot by `frames` updates of 10 ms.
  void Advance(int frames = 1)
  {
    for (int i = 0; i < frames; ++i) bot.Update(now += 10);
  }

  test::TTempDir dir;
  script::TFuncs hostFuncs;  // the host's registry, lent to the bot while it loads
  script::TScript script;
  render::TConsole console{nullptr};
  TBot bot;
  uint32_t now = 1000;
};

TEST(BotConstants, AreTheKeyMasksThenTheAnimationNumbersInOrder)
{
  const std::vector<std::pair<std::string, int32_t>> expected = {{"KEY_NONE", 0},
                                                                 {"KEY_FORWARD", 1},
                                                                 {"KEY_BACK", 2},
                                                                 {"KEY_LEFT", 4},
                                                                 {"KEY_RIGHT", 16},
                                                                 {"KEY_STRAFELEFT", 32},
                                                                 {"KEY_STRAFERIGHT", 64},
                                                                 {"KEY_JUMP", 128},
                                                                 {"KEY_CROUCH", 256},
                                                                 {"KEY_PRIMARYATTACK", 512},
                                                                 {"KEY_SECONDARYATTACK", 1024},
                                                                 {"KEY_UNUSED1", 2048},
                                                                 {"KEY_UNUSED2", 4096},
                                                                 {"KEY_UNUSED3", 8192},
                                                                 {"KEY_UNUSED4", 16384},
                                                                 {"KEY_UNUSED5", 32768},
                                                                 {"IDLE1", 0},
                                                                 {"JUMP", 4},
                                                                 {"CROUCH", 9},
                                                                 {"RUN", 1},
                                                                 {"RUNBACK", 18},
                                                                 {"CROUCH_IDLE", 11},
                                                                 {"SHOOT", 16},
                                                                 {"CROUCH_SHOOT", 17},
                                                                 {"CROUCH_CRAWL", 10}};
  std::vector<std::pair<std::string, int32_t>> actual;
  for (const TBotConstant& constant : BotConstants)
    actual.emplace_back(constant.Name, constant.Value);
  EXPECT_EQ(actual, expected);
}

TEST_F(BotTest, EveryConstantReachesTheBotFileWithItsValue)
{
  // One state per constant: the constant is both its key mask and its animation number.
  std::string text;
  int id = 0;
  for (const TBotConstant& constant : BotConstants)
    text += "AddState(" + std::to_string(id++) + ", '" + constant.Name + "', " + constant.Name +
            ", " + constant.Name + ", true);\n";
  ASSERT_TRUE(Load(text)) << Lines().back();
  const TStateArray& states = bot.Automata().States();
  ASSERT_EQ(states.size(), 25u);
  for (size_t i = 0; i < 25; ++i) {
    EXPECT_EQ(states[i].Keys, BotConstants[i].Value) << BotConstants[i].Name;
    EXPECT_EQ(states[i].Animation, BotConstants[i].Value) << BotConstants[i].Name;
  }
}

TEST_F(BotTest, TheNineCommandsFollowTheBuiltInsInOrder)
{
  const script::TFuncs& commands = bot.Commands();
  ASSERT_GE(commands.Count(), 9);
  std::vector<std::string> names;
  for (int i = commands.Count() - 9; i < commands.Count(); ++i)
    names.push_back(commands.Function(i).Name());
  EXPECT_THAT(names,
              ElementsAre("LOADMD2", "LOADWEAPON", "LOADMD2SKIN", "LOADWEAPONSKIN", "ADDSTATE",
                          "ADDNEXTSTATE", "SETSOUND", "PRECACHESET", "SETTIMING"));
}

TEST_F(BotTest, ALoadLendsTheScriptTheBotsCommandsAndGivesItsRegistryBack)
{
  ASSERT_TRUE(Load("LoadMD2('body.md2');\nAddState(0, 'Idle', KEY_NONE, IDLE1, true);\n"));
  EXPECT_EQ(script.Functions(), &hostFuncs);
  EXPECT_EQ(script.Text(),
            "LoadMD2('body.md2');\r\nAddState(0, 'Idle', KEY_NONE, IDLE1, true);\r\n");
  EXPECT_THAT(Lines(), ElementsAre("Load model body.md2..OK", "State Idle added",
                                   "Warning: model body.md2 has no skin; it is drawn plain grey",
                                   "Bot file test.bot compiled"));
  EXPECT_TRUE(bot.Active());
}

TEST_F(BotTest, AFailedLoadLeavesTheCommandsLentUntilTheBotGoesAway)
{
  {
    TBot failing;
    failing.BaseDir = dir.File("");
    std::ofstream(dir.File("bad.bot"), std::ios::binary) << "LoadMD2('none.md2');";
    EXPECT_FALSE(failing.Load(script, console, dir.File("bad.bot")));
    EXPECT_EQ(script.Functions(), &failing.Commands());
    EXPECT_FALSE(failing.Active());
  }
  EXPECT_EQ(script.Functions(), nullptr) << "the script must not keep the freed registry";
  // A new bot loads with the same script.
  EXPECT_TRUE(Load("LoadMD2('body.md2');"));
}

TEST_F(BotTest, AMissingFileRaisesBeforeTheScriptIsTouched)
{
  try {
    bot.Load(script, console, dir.File("none.bot"));
    ADD_FAILURE() << "no error";
  } catch (const std::exception& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + dir.File("none.bot"));
  }
  EXPECT_EQ(script.Functions(), &hostFuncs);
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(bot.Active());
}

TEST_F(BotTest, WithoutAWeaponTheEmptyWeaponStillTakesEachStatesAnimation)
{
  ASSERT_TRUE(
      Load("LoadMD2('body.md2');\n"
           "AddState(0, 'Jump', KEY_NONE, JUMP, true);\n"
           "AddState(1, 'Crouch', KEY_CROUCH, CROUCH_IDLE, true);\n"
           "AddNextState(0, 1);\n"));
  EXPECT_FALSE(bot.HasWeapon());
  Advance();
  EXPECT_EQ(bot.Automata().Current(), 0);
  EXPECT_EQ(bot.Model().Animation, 4);
  EXPECT_EQ(bot.Weapon().Animation, 4);
  bot.SetKeys(256);
  Advance();
  EXPECT_EQ(bot.Weapon().Animation, 11);
  EXPECT_FALSE(bot.Weapon().IsLoaded());
}

TEST_F(BotTest, TheHostHearsOfAStateBeforeItsAnimationStarts)
{
  ASSERT_TRUE(Load("LoadMD2('body.md2');\nAddState(0, 'Jump', KEY_NONE, JUMP, true);\n"));
  std::vector<int32_t> animationsSeen;
  bot.OnStateChange = [&] { animationsSeen.push_back(bot.Model().Animation); };
  Advance(3);
  EXPECT_THAT(animationsSeen, ElementsAre(1))
      << "once, with the model still on its first animation";
  EXPECT_EQ(bot.Model().Animation, 4);
}

TEST_F(BotTest, ASingleStateLoopsItsAnimationWhateverTheKeys)
{
  ASSERT_TRUE(Load(
      "LoadMD2('body.md2');\nSetTiming(0, 10);\nAddState(0, 'Run', KEY_FORWARD, RUN, false);\n"));
  bool wrapped = false;
  int32_t previous = -1;
  for (int i = 0; i < 300; ++i) {
    bot.SetKeys(i % 2 ? 1 : 0);
    Advance();
    const int32_t frame = bot.Model().CurrentFrame;
    EXPECT_GE(frame, 40);
    EXPECT_LE(frame, 45);
    wrapped |= previous == 45 && frame == 40;
    previous = frame;
  }
  EXPECT_TRUE(wrapped);
  EXPECT_EQ(bot.Automata().Current(), 0);
}

TEST_F(BotTest, TheWeaponsCycleEndAlsoLetsANonInterruptibleStateGo)
{
  // The short weapon's range ends together with the body's: either report frees the change.
  ASSERT_TRUE(
      Load("LoadWeapon('short.md2');\n"
           "SetTiming(0, 10);\n"
           "AddState(0, 'Idle', KEY_NONE, IDLE1, true);\n"
           "AddState(1, 'Run', KEY_FORWARD, RUN, false);\n"
           "AddNextState(0, 1); AddNextState(1, 0);\n"));
  EXPECT_TRUE(bot.HasWeapon());
  Advance();
  bot.SetKeys(1);
  Advance();
  ASSERT_EQ(bot.Automata().Current(), 1);
  bot.SetKeys(0);
  int frames = 0;
  while (bot.Automata().Current() == 1 && frames < 1000) {
    Advance();
    ++frames;
  }
  EXPECT_EQ(bot.Automata().Current(), 0);
  EXPECT_GT(frames, 50) << "left before the weapon finished the running cycle";
}

TEST_F(BotTest, SetTimingSetsBothModels)
{
  ASSERT_TRUE(Load("SetTiming(25, 40);"));
  EXPECT_THAT(Lines(), ElementsAre("Bot timing set", "Bot file test.bot compiled"));
  EXPECT_EQ(bot.Model().UpdateInterval, 25u);
  EXPECT_EQ(bot.Weapon().UpdateInterval, 25u);
  EXPECT_EQ(bot.Model().FrameInterval, 40u);
  EXPECT_EQ(bot.Weapon().FrameInterval, 40u);
}

// The key argument of AddState takes any basic value and keeps the low 16 bits of its integer.
struct KeysArgument {
  const char* name;
  const char* text;
  uint16_t keys;
};

class AddStateKeysTest : public BotTest, public ::testing::WithParamInterface<KeysArgument> {};

TEST_P(AddStateKeysTest, ConvertsTheKeysToAnInteger)
{
  ASSERT_TRUE(Load(std::string("AddState(0, 'S', ") + GetParam().text + ", IDLE1, true);"))
      << Lines().back();
  EXPECT_EQ(bot.Automata().States().at(0).Keys, GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AddStateKeysTest,
    ::testing::Values(KeysArgument{"sum_of_key_constants", "KEY_FORWARD + KEY_JUMP", 129},
                      KeysArgument{"highest_key_bit", "KEY_UNUSED5 + KEY_NONE", 32768},
                      KeysArgument{"numeric_string", "'3'", 3},
                      KeysArgument{"half_rounds_down_to_even", "2.5", 2},
                      KeysArgument{"half_rounds_up_to_even", "3.5", 4},
                      KeysArgument{"above_sixteen_bits", "65537", 1},
                      KeysArgument{"minus_one", "-1", 65535}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(BotTest, SoundsGoOnlyOnFramesOfTheModelAndReplaceEachOther)
{
  ASSERT_TRUE(
      Load("LoadMD2('body.md2');\n"
           "SetSound(0, 'first', false);\n"
           "SetSound(198, 'last', true);\n"
           "SetSound(198, 'again', false);\n"));
  EXPECT_THAT(Lines(), ElementsAre("Load model body.md2..OK", "Cadencer command : first...OK",
                                   "Cadencer command : last...OK", "Cadencer command : again...OK",
                                   "Warning: model body.md2 has no skin; it is drawn plain grey",
                                   "Bot file test.bot compiled"));
  ASSERT_EQ(bot.Cadences().size(), 199u);
  ASSERT_TRUE(bot.Cadences()[198]);
  EXPECT_EQ(bot.Cadences()[198]->SoundName, "again");
  EXPECT_FALSE(bot.Cadences()[198]->Flag);
  EXPECT_FALSE(bot.Cadences()[1]);
  // No sound manager: reaching the frames plays nothing and fails nothing.
  EXPECT_NO_THROW(Advance(200));
}

TEST_F(BotTest, SoundsOutsideTheModelsFramesStopTheBotFile)
{
  for (const char* frame : {"-1", "199", "100000"}) {
    TBot other;
    other.BaseDir = dir.File("");
    std::ofstream(dir.File("s.bot"), std::ios::binary)
        << "LoadMD2('body.md2');\nSetSound(" << frame
        << ", 'x', false);\nAddState(0, 'I', 0, 0, true);";
    EXPECT_FALSE(other.Load(script, console, dir.File("s.bot")));
    EXPECT_THAT(Lines().back(), StartsWith(std::string("Runtimeerror: Frame ") + frame +
                                           " is not a frame of the model"));
    EXPECT_EQ(other.Automata().Count(), 0) << "the file stops at the bad SetSound";
    script.SetFunctions(&hostFuncs);
  }
}

TEST_F(BotTest, ReloadingTheBodyResizesTheSoundTableKeepingItsEntries)
{
  ASSERT_TRUE(
      Load("LoadMD2('body.md2');\nSetSound(10, 'a', false);\nSetSound(100, 'b', false);\n"
           "LoadMD2('short.md2');\n"));
  ASSERT_EQ(bot.Cadences().size(), 50u);
  ASSERT_TRUE(bot.Cadences()[10]);
  EXPECT_EQ(bot.Cadences()[10]->SoundName, "a");
}

TEST_F(BotTest, ABreakOutsideALoopIsAnExceptionLine)
{
  EXPECT_FALSE(Load("AddState(0, 'I', 0, 0, true);\nbreak;"));
  EXPECT_THAT(Lines(), ElementsAre("State I added", "Exception : "));
  EXPECT_FALSE(bot.Active());
  Advance(3);
  EXPECT_EQ(bot.Automata().Current(), -1) << "an inactive bot does not start its states";
}

// A name in a bot file is looked for from the program's folder first, then from the bot file's
// own folder. The program's folder holds a body of 199 frames, the bot's folder one of 50.
struct TPlacedModel {
  const char* Name;
  const char* Written;  // the name in the bot file
  const char* InProgram;
  const char* BesideBot;
  int32_t Frames;  // of the model loaded; 0: the load fails
};

class ModelPlaceTest : public BotTest, public ::testing::WithParamInterface<TPlacedModel> {};

TEST_P(ModelPlaceTest, TheProgramsFolderComesFirstThenTheBotFilesOwn)
{
  const TPlacedModel& c = GetParam();
  std::filesystem::create_directories(dir.File("program/models"));
  std::filesystem::create_directories(dir.File("bot/models"));
  bot.BaseDir = dir.File("program/");
  if (*c.InProgram)
    dir.Write(std::string("program/") + c.InProgram, WriteMD2(test::TriangleModel(199)));
  if (*c.BesideBot) dir.Write(std::string("bot/") + c.BesideBot, WriteMD2(test::TriangleModel(50)));
  std::ofstream(dir.File("bot/test.bot"), std::ios::binary) << "LoadMD2('" << c.Written << "');";
  bot.Load(script, console, dir.File("bot/test.bot"));

  if (c.Frames > 0) {
    EXPECT_EQ(bot.Model().GetFrameCount(), c.Frames);
    EXPECT_EQ(Lines().back(), "Bot file test.bot compiled");
  } else {
    // The error line is exactly the command's; what was tried follows on a line of its own.
    ASSERT_GE(Lines().size(), 2u);
    EXPECT_THAT(Lines()[Lines().size() - 2],
                StartsWith("Runtimeerror: Model " + std::string(c.Written) +
                           " not found [Position"));
    EXPECT_EQ(Lines().back(), "  tried " + dir.File("program/") + c.Written + " and " +
                                  dir.File("bot/") + c.Written);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Places, ModelPlaceTest,
    ::testing::Values(TPlacedModel{"only_beside_the_bot", "body.md2", "", "body.md2", 50},
                      TPlacedModel{"in_a_folder_beside_the_bot", "models/body.md2", "",
                                   "models/body.md2", 50},
                      TPlacedModel{"in_both", "body.md2", "body.md2", "body.md2", 199},
                      TPlacedModel{"only_in_the_program_folder", "body.md2", "body.md2", "", 199},
                      TPlacedModel{"nowhere", "body.md2", "", "", 0},
                      TPlacedModel{"nowhere_in_a_folder", "models/body.md2", "", "", 0}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(BotTest, AnUnreadableModelInTheProgramsFolderIsNotPassedOverForTheBotFilesOwn)
{
  std::filesystem::create_directories(dir.File("program"));
  std::filesystem::create_directories(dir.File("bot"));
  bot.BaseDir = dir.File("program/");
  dir.Write("program/body.md2", std::vector<uint8_t>(100, 'x'));
  dir.Write("bot/body.md2", WriteMD2(test::TriangleModel(50)));
  std::ofstream(dir.File("bot/test.bot"), std::ios::binary) << "LoadMD2('body.md2');";
  EXPECT_FALSE(bot.Load(script, console, dir.File("bot/test.bot")));
  ASSERT_GE(Lines().size(), 3u);
  EXPECT_THAT(Lines()[Lines().size() - 3],
              StartsWith("Runtimeerror: Model body.md2 not found [Position"));
  EXPECT_EQ(Lines()[Lines().size() - 2], "  ident is not IDP2");
  EXPECT_EQ(Lines().back(), "  tried " + dir.File("program/body.md2"));
}

}  // namespace
}  // namespace quarn::bots
