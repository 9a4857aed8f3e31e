#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "render/Console.h"

namespace quarn::render {
namespace {

using ::testing::ElementsAre;
using Lines = std::vector<std::string>;

std::string Repeat(const std::string& word, int n, const std::string& separator)
{
  std::string out;
  for (int i = 0; i < n; ++i) out += (i ? separator : "") + word;
  return out;
}

TEST(WrapText, BreaksAfterBreakCharactersAndNeverInsideQuotes)
{
  const std::string thirteen = Repeat("abc", 13, " ");
  ASSERT_EQ(thirteen.size(), 51u);
  const struct {
    const char* Name;
    std::string Text;
    std::string Wrapped;
  } cases[] = {
      {"no break characters stay one line", std::string(60, 'x'), std::string(60, 'x')},
      {"thirteen words", thirteen, thirteen.substr(0, 36) + "\r\n" + thirteen.substr(36)},
      {"short text unchanged", "Hello world.", "Hello world."},
      {"empty", "", ""},
      {"quoted run kept whole", "He said \"aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk\" and left",
       "He said \r\n\"aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk\" \r\nand left"},
      {"single quotes too", "x '" + Repeat("ab", 20, " ") + "' y",
       "x \r\n'" + Repeat("ab", 20, " ") + "' y"},
      {"existing CR LF kept", "one\r\ntwo", "one\r\ntwo"},
      {"trailing CR LF kept", "abc\r\n", "abc\r\n"},
      {"break after a dash", Repeat("abcdefghij", 4, "-") + "-end",
       Repeat("abcdefghij", 3, "-") + "-\r\nabcdefghij-end"},
      {"runs of spaces are skipped over at the break", Repeat("abcdefghi", 4, " ") + "   z",
       Repeat("abcdefghi", 4, " ") + "   z"},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapText(c.Text, 39), c.Wrapped) << c.Name;
}

TEST(WrapText, SkippedBreakCharactersStillStartTheNextPiece)
{
  // After a break the scan skips following spaces, but the next piece starts right after the
  // break position, so a second space opens it.
  const std::string text = std::string(38, 'a') + "   tail";
  EXPECT_EQ(WrapText(text, 39), std::string(38, 'a') + " \r\n  tail");
}

TEST(SplitLines, AtCrLfLoneCrOrLoneLf)
{
  EXPECT_THAT(SplitLines("a\r\nb\rc\nd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(SplitLines("a\r\n"), ElementsAre("a"));
  EXPECT_THAT(SplitLines("a\n\nb"), ElementsAre("a", "", "b"));
  EXPECT_THAT(SplitLines("\r\n"), ElementsAre(""));
  EXPECT_THAT(SplitLines("a\n\r"), ElementsAre("a", ""));
  EXPECT_TRUE(SplitLines("").empty());
}

class Console : public ::testing::Test {
protected:
  TConsole C{nullptr};

  void Type(const std::string& text)
  {
    for (char ch : text) C.KeyChar(ch);
  }
};

TEST_F(Console, PrepareAppendsThePrompt)
{
  C.Add("hello");
  C.Prepare();
  EXPECT_THAT(C.Lines(), ElementsAre("hello", ">"));
  EXPECT_EQ(C.VisibleLines, 5);
  EXPECT_EQ(C.MaxLineLength, 39);
  EXPECT_FALSE(C.IsOpen());
}

TEST_F(Console, TypingBackspaceAndEnter)
{
  Lines entered;
  C.OnLine = [&](const std::string& line) {
    entered.push_back(line);
    C.Add("output of " + line);
  };
  C.Prepare();
  Type("ab\bc");
  EXPECT_THAT(C.Lines(), ElementsAre(">ac"));
  Type("\r");
  EXPECT_THAT(entered, ElementsAre("ac"));
  EXPECT_THAT(C.Lines(), ElementsAre("ac", "output of ac", ">"));

  Type("\b\b");  // the prompt cannot be deleted
  EXPECT_EQ(C.Lines().back(), ">");
  Type("\r");  // an empty line is entered too
  EXPECT_THAT(entered, ElementsAre("ac", ""));
  EXPECT_THAT(C.Lines(), ElementsAre("ac", "output of ac", "", "output of ", ">"));
}

TEST_F(Console, EnterWithoutHandlerStillStartsANewLine)
{
  C.Prepare();
  Type("x\r");
  EXPECT_THAT(C.Lines(), ElementsAre("x", ">"));
}

TEST_F(Console, EnterLineReplacesTheInputAndIgnoresTheTypingLimit)
{
  Lines entered;
  C.OnLine = [&](const std::string& line) { entered.push_back(line); };
  C.Prepare();
  Type("typed");
  const std::string longLine(60, 'w');
  C.EnterLine(longLine);
  EXPECT_THAT(entered, ElementsAre(longLine));
  EXPECT_THAT(C.Lines(), ElementsAre(longLine, ">"));
}

TEST_F(Console, InputLineHoldsAtMost39CharactersWithThePrompt)
{
  C.Prepare();
  Type(std::string(50, 'z'));
  EXPECT_EQ(C.Lines().back(), ">" + std::string(38, 'z'));
  Type("\b\t");  // tab and other control characters are typed like any other
  EXPECT_EQ(C.Lines().back(), ">" + std::string(37, 'z') + "\t");
}

TEST_F(Console, AddKeepsLinesUnchangedAddWrappedRebuildsTheList)
{
  C.Prepare();
  C.Add(std::string(60, 'q'));
  EXPECT_EQ(C.Lines().back(), std::string(60, 'q'));

  C.Add("first\rsecond");  // split by the next rebuild
  C.AddWrapped(Repeat("abc", 13, " ") + "\r\n");
  EXPECT_THAT(C.Lines(), ElementsAre(">", std::string(60, 'q'), "first", "second",
                                     Repeat("abc", 9, " ") + " ", Repeat("abc", 4, " ")));
  C.AddWrapped("");
  EXPECT_EQ(C.Lines().size(), 6u);
}

// Appending the wrapped pieces must give exactly the list a rebuild from the whole text gives.
TEST_F(Console, AddWrappedMatchesARebuildOfTheWholeText)
{
  const std::vector<std::string> before[] = {
      {}, {">"}, {"a", ""}, {"", ""}, {"plain", std::string(60, 'q')}, {"x\ry"}, {"x\n"}};
  const std::string texts[] = {"",
                               "one",
                               "\r\n",
                               "\nlead",
                               "trail\r",
                               "a\r\rb",
                               Repeat("abc", 13, " "),
                               "Syntaxerror: x (\"\r\", 13) [Position 3]"};
  for (const auto& lines : before) {
    for (const std::string& text : texts) {
      TConsole console(nullptr);
      std::string all;
      for (const std::string& line : lines) {
        console.Add(line);
        all += line + "\r\n";
      }
      console.AddWrapped(text);
      EXPECT_EQ(console.Lines(), SplitLines(all + WrapText(text, 39)))
          << ::testing::PrintToString(lines) << " + " << ::testing::PrintToString(text);
    }
  }
}

TEST_F(Console, AddWrappedAfterManyStepsStillSplitsEveryLineWithABreak)
{
  // A line with a break added, typed or entered after earlier wrapped errors is still split.
  TConsole console(nullptr);
  std::vector<std::string> expected;
  auto wrapped = [&](const std::string& text) {
    std::string all;
    for (const std::string& line : console.Lines()) all += line + "\r\n";
    expected = SplitLines(all + WrapText(text, 39));
    console.AddWrapped(text);
    EXPECT_EQ(console.Lines(), expected) << text;
  };
  console.Prepare();
  wrapped("first error");
  console.Add("added\rline");
  wrapped("second error");
  console.KeyChar('a');
  console.KeyChar('\n');  // typed into the input line
  console.KeyChar('b');
  wrapped("third error");
  console.EnterLine("x\ry");
  wrapped("fourth error");
  wrapped("fifth error");
}

TEST_F(Console, BlinkTogglesOnlyWhileOpenAndKeepsThePhase)
{
  C.Blink();
  EXPECT_FALSE(C.CursorOn());
  C.SetOpen(true);
  C.Blink();
  EXPECT_TRUE(C.CursorOn());
  C.SetOpen(false);
  C.Blink();
  EXPECT_TRUE(C.CursorOn());
  C.SetOpen(true);
  C.Blink();
  EXPECT_FALSE(C.CursorOn());
}

TEST_F(Console, LoadFromFileReplacesTheLinesOrLeavesThemAlone)
{
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "quarn_console_test.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "Welcome\r\nsecond line\nthird\r\n";
  }
  C.Add("old");
  EXPECT_TRUE(C.LoadFromFile(path.string()));
  C.Prepare();
  EXPECT_THAT(C.Lines(), ElementsAre("Welcome", "second line", "third", ">"));
  std::filesystem::remove(path);

  EXPECT_FALSE(C.LoadFromFile(path.string()));
  EXPECT_FALSE(C.LoadFromFile(std::filesystem::temp_directory_path().string()));
  EXPECT_EQ(C.Lines().size(), 4u);
}

}  // namespace
}  // namespace quarn::render
