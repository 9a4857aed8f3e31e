#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "MainFormFixture.h"
#include "platform/Application.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TempPath(const std::string& name)
{
  return (std::filesystem::temp_directory_path() /
          ("quarn-test-" + std::to_string(getpid()) + name))
      .string();
}

TEST_F(MainFormTest, StartsWithTheConsoleOpenEndingInAPrompt)
{
  EXPECT_TRUE(form->Console()->IsOpen());
  EXPECT_EQ(Lines().back(), ">");
  EXPECT_TRUE(form->ShowFPS());
}

TEST_F(MainFormTest, ASyntaxErrorPrintsOneWrappedMessageAndRunsNothing)
{
  const auto printed = Run("About; x := ");
  ASSERT_FALSE(printed.empty());
  EXPECT_THAT(printed[0], StartsWith("Syntaxerror: "));
  for (const std::string& line : printed) {
    EXPECT_LE(line.size(), 39u) << line;
    EXPECT_NE(line, "Quarn MD2 demo") << "About ran despite the syntax error";
  }
}

TEST_F(MainFormTest, ARuntimeErrorIsPrintedWithItsPosition)
{
  const auto printed = Run("x := 1 div 0");
  ASSERT_FALSE(printed.empty());
  EXPECT_THAT(printed[0], StartsWith("Runtimeerror: "));
  std::string all;
  for (const auto& line : printed) all += line;
  EXPECT_THAT(all, HasSubstr("Division by zero"));
}

TEST_F(MainFormTest, BreakAlonePrintsAnEmptyException)
{
  EXPECT_THAT(Run("break"), ElementsAre("Exception : "));
}

TEST_F(MainFormTest, EnteredLinesStayInTheConsoleAndGetANewPrompt)
{
  Enter("About");
  const auto& lines = Lines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[lines.size() - 5], "About");
  EXPECT_EQ(lines[lines.size() - 4], "Quarn MD2 demo");
  EXPECT_EQ(lines.back(), ">");
}

TEST_F(MainFormTest, ConDumpSavesEveryLineWithCrLfIncludingEarlierDumps)
{
  const std::string first = TempPath("dump1.txt"), second = TempPath("dump2.txt");
  Run("ConDump('" + first + "')");
  const std::string dumpLine = Lines().back();
  EXPECT_THAT(dumpLine, StartsWith("Console dump at "));
  Run("ConDump('" + second + "')");

  const std::string text = ReadFile(second);
  EXPECT_THAT(text, HasSubstr(dumpLine + "\r\n"));
  size_t lines = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') {
      ++lines;
      EXPECT_EQ(text[i - 1], '\r');
    }
  EXPECT_EQ(lines, Lines().size());
  std::filesystem::remove(first);
  std::filesystem::remove(second);
}

TEST_F(MainFormTest, ConDumpToADirectoryPrintsTheErrorAndGoesOn)
{
  const auto printed = Run("ConDump('/tmp'); About");
  ASSERT_EQ(printed.size(), 5u);
  EXPECT_THAT(printed[0], StartsWith("Console dump at "));
  EXPECT_THAT(printed[1], HasSubstr("/tmp"));
  EXPECT_EQ(printed[2], "Quarn MD2 demo");
}

TEST_F(MainFormTest, DrawFPSSwitchesTheOverlay)
{
  Run("DrawFPS(false)");
  EXPECT_FALSE(form->ShowFPS());
  Run("DrawFPS(1 < 2)");
  EXPECT_TRUE(form->ShowFPS());
}

TEST_F(MainFormTest, GLExtensionsNumbersEachItem)
{
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "GL_X_" + std::to_string(i) + " ";
  form->Commands().FExtensionsOverride = text;
  const auto printed = Run("GLExtensions");
  ASSERT_EQ(printed.size(), 40u);
  EXPECT_EQ(printed[0], "1. GL_X_1 ");
  EXPECT_EQ(printed[1], "2.  GL_X_2");
  EXPECT_EQ(printed[39], "40.  GL_X_40");

  form->Commands().FExtensionsOverride = "";
  EXPECT_TRUE(Run("GLExtensions").empty());
}

TEST_F(MainFormTest, GLRendererPrintsOneLine)
{
  const auto printed = Run("GLRenderer");
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_FALSE(printed[0].empty());
}

TEST_F(MainFormTest, QuitClosesTheWindowAndStopsTheRestOfTheLine)
{
  const auto printed = Run("Quit; About");
  EXPECT_TRUE(form->Window().Closing());
  EXPECT_TRUE(quarn::platform::Application().Terminated());
  ASSERT_FALSE(printed.empty());
  EXPECT_THAT(printed[0], StartsWith("Runtimeerror: Script stopped."));
  for (const auto& line : printed) EXPECT_NE(line, "Quarn MD2 demo");
}

TEST_F(MainFormTest, EscapeStopsAnEndlessScriptThroughTheMessagePump)
{
  SDL_Event escape{};
  escape.type = SDL_KEYDOWN;
  escape.key.keysym.sym = SDLK_ESCAPE;
  SDL_PushEvent(&escape);
  const auto printed = Run("x := 0; while true do x := 1");
  EXPECT_TRUE(quarn::platform::Application().Terminated());
  std::string all;
  for (const auto& line : printed) all += line;
  EXPECT_THAT(all, StartsWith("Runtimeerror: Script stopped."));
}

}  // namespace

namespace {

TEST_F(MainFormTest, ALineEnteredWhileAnotherRunsIsReportedNotLost)
{
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::snprintf(text.text.text, sizeof text.text.text, "About");
  SDL_Event enter{};
  enter.type = SDL_KEYDOWN;
  enter.key.keysym.sym = SDLK_RETURN;
  SDL_Event escape{};
  escape.type = SDL_KEYDOWN;
  escape.key.keysym.sym = SDLK_ESCAPE;
  SDL_PushEvent(&text);
  SDL_PushEvent(&enter);
  SDL_PushEvent(&escape);

  const auto printed = Run("while true do x := 1");
  std::string all;
  for (const auto& line : printed) all += line + "\n";
  EXPECT_THAT(all, HasSubstr("still running"));
  EXPECT_THAT(all, ::testing::Not(HasSubstr("Quarn MD2 demo")));
}

}  // namespace
