// LoadBot at the console: the demo bot's messages, and bot files that fail in every way a
// user can get wrong, each leaving an inactive bot and a console ready for the next LoadBot.
#include <filesystem>

#include "BotHostingFixture.h"

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// The precache line depends on whether sound output is wired into the window; it is not
// part of what these tests check.
std::vector<std::string> WithoutPrecacheLine(std::vector<std::string> lines)
{
  std::erase_if(lines, [](const std::string& line) {
    return line.starts_with("Error precaching") || line.starts_with("Sound collection ");
  });
  return lines;
}

const std::vector<std::string> DemoBotLines = {
    "Load model bots/robot/robot.md2..OK",
    "Load model skin bots/robot/robot.tga..OK",
    "Load weapon bots/robot/weapon.md2..OK",
    "Load weapon skin bots/robot/weapon.jpg..OK",
    "Bot timing set",
    "State Idle added",
    "State Run added",
    "State RunBack added",
    "State Jump added",
    "State Crouch added",
    "State CrouchWalk added",
    "State Shoot added",
    "State CrouchShoot added",
    // standing states 0, 1, 2, 3, 6: each of the others, then crouch
    "Next state 1 added to 0",
    "Next state 2 added to 0",
    "Next state 3 added to 0",
    "Next state 6 added to 0",
    "Next state 4 added to 0",
    "Next state 0 added to 1",
    "Next state 2 added to 1",
    "Next state 3 added to 1",
    "Next state 6 added to 1",
    "Next state 4 added to 1",
    "Next state 0 added to 2",
    "Next state 1 added to 2",
    "Next state 3 added to 2",
    "Next state 6 added to 2",
    "Next state 4 added to 2",
    "Next state 0 added to 3",
    "Next state 1 added to 3",
    "Next state 2 added to 3",
    "Next state 6 added to 3",
    "Next state 4 added to 3",
    "Next state 0 added to 6",
    "Next state 1 added to 6",
    "Next state 2 added to 6",
    "Next state 3 added to 6",
    "Next state 4 added to 6",
    // crouching states 4, 5, 7: each of the others, then idle
    "Next state 5 added to 4",
    "Next state 7 added to 4",
    "Next state 0 added to 4",
    "Next state 4 added to 5",
    "Next state 7 added to 5",
    "Next state 0 added to 5",
    "Next state 4 added to 7",
    "Next state 5 added to 7",
    "Next state 0 added to 7",
    // demo states 8 to 11: one another, then to and from 0, 3, 6 and 7
    "State DemoRun added",
    "State DemoBack added",
    "State DemoCrouch added",
    "State DemoCrawl added",
    "Next state 9 added to 8",
    "Next state 10 added to 8",
    "Next state 11 added to 8",
    "Next state 0 added to 8",
    "Next state 8 added to 0",
    "Next state 3 added to 8",
    "Next state 8 added to 3",
    "Next state 6 added to 8",
    "Next state 8 added to 6",
    "Next state 7 added to 8",
    "Next state 8 added to 7",
    "Next state 8 added to 9",
    "Next state 10 added to 9",
    "Next state 11 added to 9",
    "Next state 0 added to 9",
    "Next state 9 added to 0",
    "Next state 3 added to 9",
    "Next state 9 added to 3",
    "Next state 6 added to 9",
    "Next state 9 added to 6",
    "Next state 7 added to 9",
    "Next state 9 added to 7",
    "Next state 8 added to 10",
    "Next state 9 added to 10",
    "Next state 11 added to 10",
    "Next state 0 added to 10",
    "Next state 10 added to 0",
    "Next state 3 added to 10",
    "Next state 10 added to 3",
    "Next state 6 added to 10",
    "Next state 10 added to 6",
    "Next state 7 added to 10",
    "Next state 10 added to 7",
    "Next state 8 added to 11",
    "Next state 9 added to 11",
    "Next state 10 added to 11",
    "Next state 0 added to 11",
    "Next state 11 added to 0",
    "Next state 3 added to 11",
    "Next state 11 added to 3",
    "Next state 6 added to 11",
    "Next state 11 added to 6",
    "Next state 7 added to 11",
    "Next state 11 added to 7",
    "Cadencer command : footstep...OK",
    "Cadencer command : footstep...OK",
    "Cadencer command : footstep...OK",
    "Cadencer command : jump...OK",
    "Cadencer command : shot...OK",
    "Cadencer command : shot...OK",
    "Bot file robot.bot compiled",
};

bool AnyStartsWith(const std::vector<std::string>& lines, const std::string& prefix)
{
  for (const std::string& line : lines)
    if (line.starts_with(prefix)) return true;
  return false;
}

TEST_F(BotHostingTest, TheDemoBotPrintsItsLinesInOrderAndEntersIdleAtTheNextFrame)
{
  const auto printed = LoadBot("bots/robot/robot.bot");
  EXPECT_THAT(WithoutPrecacheLine(printed), ::testing::ElementsAreArray(DemoBotLines));

  ASSERT_TRUE(form->Bots().Bot().Active());
  EXPECT_TRUE(form->Bots().Bot().HasWeapon());
  EXPECT_EQ(form->Bots().Bot().Automata().Count(), 12);
  EXPECT_EQ(State(), -1) << "state 0 is entered by the first frame, not by the load";
  Frame();
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(form->Bots().Bot().Model().Animation, 0);  // IDLE1
  EXPECT_EQ(form->Bots().Bot().Weapon().Animation, 0);
}

TEST_F(BotHostingTest, LoadingAMissingBotFileIsARuntimeErrorNamingTheFullPath)
{
  const auto printed = LoadBot("bots/robot/nothing.bot");
  ASSERT_FALSE(printed.empty());
  EXPECT_THAT(printed[0], StartsWith("Runtimeerror: "));
  EXPECT_THAT(Joined(printed), HasSubstr("Cannot open file " + quarn::platform::ExeDir() +
                                         "bots/robot/nothing.bot"));
  EXPECT_FALSE(AnyStartsWith(printed, "Bot file "));

  EXPECT_FALSE(form->Bots().Bot().Active());
  EXPECT_EQ(form->Bots().Bot().Automata().Count(), 0);
  EXPECT_FALSE(form->Bots().Bot().Model().IsLoaded());
  EXPECT_NO_THROW(Frame());
  EXPECT_EQ(State(), -1);
}

TEST_F(BotHostingTest, AFolderNamedAsTheBotFileIsNotOpened)
{
  const auto printed = LoadBot(scratchName);
  EXPECT_THAT(Joined(printed),
              HasSubstr("Cannot open file " + scratch.substr(0, scratch.size() - 1)));
  EXPECT_FALSE(form->Bots().Bot().Active());
}

TEST_F(BotHostingTest, ASyntaxErrorPrintsOneLineAndNoBotFileLineAndTheNextLoadWorks)
{
  const std::string name = WriteBot("syntax.bot",
                                    "LoadMD2('bots/robot/robot.md2');\r\n"
                                    "AddState(0, 'Idle', KEY_NONE IDLE1, true);\r\n");
  const auto printed = LoadBot(name);
  ASSERT_EQ(printed.size(), 1u) << Joined(printed);
  EXPECT_THAT(printed[0], StartsWith("Syntaxerror: "));
  EXPECT_THAT(printed[0], HasSubstr("[Position "));
  EXPECT_FALSE(form->Bots().Bot().Active());
  EXPECT_FALSE(form->Bots().Bot().Model().IsLoaded())
      << "nothing runs when the file does not compile";
  Frame();
  EXPECT_EQ(State(), -1);

  EXPECT_THAT(WithoutPrecacheLine(LoadBot("bots/robot/robot.bot")),
              ::testing::ElementsAreArray(DemoBotLines));
  EXPECT_TRUE(form->Bots().Bot().Active());
}

// A bot file that fails while it runs: the lines printed before the failure stay, the failure
// is one unwrapped run-time error line (followed by the reader's reason for a file that is
// there but cannot be read), and the bot stays inactive.
struct FailingBot {
  const char* what;
  const char* text;
  std::vector<std::string> lines;  // as printed, the last one without its position suffix
  const char* reason = "";         // the indented line after the error, when there is one
  // The name of a file that failed to load: the message ends with the paths tried, from the
  // program's folder and, for a file not there, from the bot file's folder.
  const char* file = "";
};

class FailingBotTest : public BotHostingTest, public ::testing::WithParamInterface<FailingBot> {};

TEST_P(FailingBotTest, PrintsItsLinesThenTheErrorAndLeavesAnInactiveBot)
{
  const FailingBot& bot = GetParam();
  const auto printed = LoadBot(WriteBot("failing.bot", bot.text));
  // The error line is exactly the command's message; below it, where the file was looked for
  // and why it could not be read.
  std::vector<std::string> reasons;
  if (*bot.reason) reasons.push_back("  " + std::string(bot.reason));
  if (*bot.file) {
    const std::string first = quarn::platform::ExeDir() + bot.file;
    reasons.push_back("  tried " + first +
                      (std::filesystem::exists(first) ? "" : " and " + scratch + bot.file));
  }
  ASSERT_EQ(printed.size(), bot.lines.size() + reasons.size()) << Joined(printed);
  for (size_t i = 0; i + 1 < bot.lines.size(); ++i) EXPECT_EQ(printed[i], bot.lines[i]);
  EXPECT_THAT(printed[bot.lines.size() - 1], StartsWith(bot.lines.back() + " [Position "));
  for (size_t i = 0; i < reasons.size(); ++i)
    EXPECT_EQ(printed[bot.lines.size() + i], reasons[i]);
  EXPECT_FALSE(form->Bots().Bot().Active());
  Frame();
  EXPECT_EQ(State(), -1);

  // The bot script is left pointing at the failed bot's registry, which LoadBot frees: the
  // next load must still work, with its constants defined again.
  EXPECT_THAT(WithoutPrecacheLine(LoadBot("bots/robot/robot.bot")),
              ::testing::ElementsAreArray(DemoBotLines));
  EXPECT_TRUE(form->Bots().Bot().Active());
}

INSTANTIATE_TEST_SUITE_P(
    BotFiles, FailingBotTest,
    ::testing::Values(
        FailingBot{"missing_model",
                   "LoadMD2('bots/robot/none.md2');\r\n",
                   {"Runtimeerror: Model bots/robot/none.md2 not found"},
                   "",
                   "bots/robot/none.md2"},
        FailingBot{"missing_skin",
                   "LoadMD2('bots/robot/robot.md2');\r\nLoadMD2Skin('bots/robot/none.tga');\r\n",
                   {"Load model bots/robot/robot.md2..OK",
                    "Runtimeerror: Model skinbots/robot/none.tga not found"},
                   "",
                   "bots/robot/none.tga"},
        FailingBot{"skin_that_is_not_an_image",
                   "LoadMD2('bots/robot/robot.md2');\r\nLoadMD2Skin('bots/robot/robot.md2');\r\n",
                   {"Load model bots/robot/robot.md2..OK",
                    "Runtimeerror: Model skinbots/robot/robot.md2 not found"},
                   "no reader for \".md2\" images (.pcx .tga .bmp .jpg .wal .png)",
                   "bots/robot/robot.md2"},
        FailingBot{"model_that_is_an_image",
                   "LoadMD2('bots/robot/robot.tga');\r\n",
                   {"Runtimeerror: Model bots/robot/robot.tga not found"},
                   "ident is not IDP2",
                   "bots/robot/robot.tga"},
        FailingBot{"missing_weapon",
                   "LoadMD2('bots/robot/robot.md2');\r\nLoadWeapon('bots/robot/gun.md2');\r\n",
                   {"Load model bots/robot/robot.md2..OK",
                    "Runtimeerror: Weapon model bots/robot/gun.md2 not found"},
                   "",
                   "bots/robot/gun.md2"},
        FailingBot{
            "missing_weapon_skin",
            "LoadWeapon('bots/robot/weapon.md2');\r\nLoadWeaponSkin('gun.jpg');\r\n",
            {"Load weapon bots/robot/weapon.md2..OK", "Runtimeerror: Weapon skingun.jpg not found"},
            "",
            "gun.jpg"},
        FailingBot{"keys_that_are_not_a_number",
                   "AddState(0, 'Idle', 'none', IDLE1, true);\r\n",
                   {"Runtimeerror: Invalid variant type conversion"}},
        FailingBot{"sound_before_the_model",
                   "SetSound(41, 'footstep', false);\r\n",
                   {"Runtimeerror: Frame 41 is not a frame of the model"}},
        FailingBot{"sound_past_the_last_frame",
                   "LoadMD2('bots/robot/robot.md2');\r\nSetSound(199, 'footstep', false);\r\n",
                   {"Load model bots/robot/robot.md2..OK",
                    "Runtimeerror: Frame 199 is not a frame of the model"}},
        FailingBot{"failure_after_states",
                   "AddState(0, 'Idle', KEY_NONE, IDLE1, true);\r\nAddNextState(0, 0);\r\n"
                   "LoadMD2('none.md2');\r\n",
                   {"State Idle added", "Next state 0 added to 0",
                    "Runtimeerror: Model none.md2 not found"},
                   "",
                   "none.md2"}),
    [](const ::testing::TestParamInfo<FailingBot>& param) {
      return std::string(param.param.what);
    });

TEST_F(BotHostingTest, ABreakOutsideALoopIsReportedAsAnException)
{
  const auto printed =
      LoadBot(WriteBot("break.bot", "AddState(0, 'Idle', KEY_NONE, IDLE1, true);\r\nbreak;\r\n"));
  EXPECT_THAT(printed, ElementsAre("State Idle added", StartsWith("Exception : ")));
  EXPECT_FALSE(form->Bots().Bot().Active());
}

TEST_F(BotHostingTest, ABotFileWithoutAModelLoadsAndFramesDrawNothing)
{
  const auto printed = LoadBot(WriteBot("empty.bot", "// nothing yet\r\n"));
  EXPECT_THAT(printed, ElementsAre("Bot file empty.bot compiled"));
  EXPECT_TRUE(form->Bots().Bot().Active());
  for (int i = 0; i < 5; ++i) EXPECT_NO_THROW(Frame());
  EXPECT_EQ(State(), -1) << "no states: nothing to enter";
}

TEST_F(BotHostingTest, TheBotFileNameIsPrintedWithoutItsFolders)
{
  const auto printed = LoadBot(WriteBot("Named.Bot", "x := 1;"));
  EXPECT_THAT(printed, ElementsAre("Bot file Named.Bot compiled"));
}

TEST_F(BotHostingTest, TheConsoleScriptKeepsItsOwnCommandsAfterALoad)
{
  LoadBot("bots/robot/robot.bot");
  EXPECT_THAT(Run("About"), Contains("Quarn MD2 demo"));
  EXPECT_THAT(Joined(Run("LoadMD2('bots/robot/robot.md2')")), StartsWith("Syntaxerror: "))
      << "bot file commands are not console commands";
}

}  // namespace
