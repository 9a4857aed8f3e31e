#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/Console.h"

namespace quarn::render {
namespace {

using ::testing::ElementsAre;

// Plays keys on the console: characters are typed, <L> <R> <H> <E> <D> are Left, Right, Home,
// End and Delete, <U> <N> the history keys, \b backspace and \r Enter.
void Play(TConsole& console, const std::string& keys)
{
  static const struct {
    char Name;
    TConsoleKey Key;
  } KeyLetters[] = {{'L', TConsoleKey::Left},          {'R', TConsoleKey::Right},
                    {'H', TConsoleKey::Home},          {'E', TConsoleKey::End},
                    {'D', TConsoleKey::Delete},        {'U', TConsoleKey::HistoryBack},
                    {'N', TConsoleKey::HistoryForward}};
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == '<' && i + 2 < keys.size() && keys[i + 2] == '>') {
      for (const auto& k : KeyLetters)
        if (k.Name == keys[i + 1]) console.EditKey(k.Key);
      i += 2;
    } else {
      console.KeyChar(keys[i]);
    }
  }
}

TEST(ConsoleEditing, CaretKeysEditWithinTheLineAndNeverTouchThePrompt)
{
  const struct {
    std::string Keys, Line;
    size_t Caret;
  } Cases[] = {
      {"abc", ">abc", 4},
      {"abc<L><L>X", ">aXbc", 3},
      {"abc<H>X", ">Xabc", 2},
      {"abc<H><L><L>X", ">Xabc", 2},
      {"abc<H><D>", ">bc", 1},
      {"abc<E><D><R>", ">abc", 4},
      {"abc<L>\b", ">ac", 2},
      {"ab<H>\b", ">ab", 1},
      {"abc<H><R><R>X<E>Y", ">abXcY", 6},
      {std::string(38, 'z') + "<H>X\b", ">" + std::string(38, 'z'), 1},  // full: nothing fits
      {std::string(38, 'z') + "<L>\bX", ">" + std::string(36, 'z') + "Xz", 38},
  };
  for (const auto& c : Cases) {
    TConsole console(nullptr);
    console.Prepare();
    Play(console, c.Keys);
    EXPECT_EQ(console.Lines().back(), c.Line) << c.Keys;
    EXPECT_EQ(console.Caret(), c.Caret) << c.Keys;
  }
}

TEST(ConsoleEditing, EnterTakesTheWholeLineWhereverTheCaretIs)
{
  std::vector<std::string> entered;
  TConsole console(nullptr);
  console.OnLine = [&](const std::string& line) { entered.push_back(line); };
  console.Prepare();
  Play(console, "About<L><L>\rx");
  EXPECT_THAT(entered, ElementsAre("About"));
  EXPECT_THAT(console.Lines(), ElementsAre("About", ">x"));
  EXPECT_EQ(console.Caret(), 2u);
  EXPECT_FALSE(console.InputFull());
}

TEST(ConsoleEditing, HistoryRecallsEnteredLinesAndReturnsToTheDraft)
{
  TConsole console(nullptr);
  console.Prepare();
  Play(console, "one\rtwo\rtwo\r\r");
  console.EnterLine("LoadBot('bots/demo.bot')");  // --exec lines are remembered too
  EXPECT_THAT(console.History(), ElementsAre("one", "two", "LoadBot('bots/demo.bot')"));

  Play(console, "dra<U>");
  EXPECT_EQ(console.Lines().back(), ">LoadBot('bots/demo.bot')");
  Play(console, "<U><U><U>");
  EXPECT_EQ(console.Lines().back(), ">one") << "the oldest entry stays";
  Play(console, "<N>");
  EXPECT_EQ(console.Lines().back(), ">two");
  Play(console, "<N><N>");
  EXPECT_EQ(console.Lines().back(), ">dra") << "past the newest: the line being typed";
  EXPECT_EQ(console.Caret(), 4u);
  Play(console, "<N>");
  EXPECT_EQ(console.Lines().back(), ">dra");

  Play(console, "<U>x\r<U>");
  EXPECT_EQ(console.Lines().back(), ">LoadBot('bots/demo.bot')x");
}

// A message that arrives while no line runs (a screenshot's result, a frame's error) is added
// after the input line; typing must still edit the input line, not the message.
TEST(ConsoleEditing, AMessageBetweenLinesNeverBecomesTheInputLine)
{
  const std::string message = "Screenshot saved to /tmp/quarn-0002.png";
  const struct {
    const char* Name;
    void (*Report)(TConsole&, const std::string&);
  } Reports[] = {
      {"Add", [](TConsole& c, const std::string& m) { c.Add(m); }},
      {"AddWrapped", [](TConsole& c, const std::string& m) { c.AddWrapped(m); }},
      {"AddAboveInput", [](TConsole& c, const std::string& m) { c.AddAboveInput(m); }},
      {"two messages",
       [](TConsole& c, const std::string& m) {
         c.Add(m);
         c.Add(m);
       }},
  };
  for (const auto& report : Reports) {
    std::vector<std::string> entered;
    TConsole console(nullptr);
    console.OnLine = [&](const std::string& line) { entered.push_back(line); };
    console.Prepare();
    Play(console, "Ab<L>");
    report.Report(console, message);
    Play(console, "<E>out\r");
    EXPECT_THAT(entered, ElementsAre("About")) << report.Name;
    EXPECT_EQ(console.Lines().end()[-3], message) << report.Name;
    EXPECT_EQ(console.Lines().end()[-2], "About") << report.Name;
    EXPECT_EQ(console.Lines().back(), ">") << report.Name;
  }
}

// Keys typed while an entered line runs (its calls pump events) go to the next input line,
// which stays below the run's output; the output lines are never edited.
TEST(ConsoleEditing, KeysTypedWhileALineRunsEditOnlyTheNextInputLine)
{
  const struct {
    std::string Keys;  // typed between the run's two output lines
    std::vector<std::string> Lines, Entered;
  } Cases[] = {
      {"", {"run", "out 1", "out 2", ">"}, {"run"}},
      {"Ab", {"run", "out 1", "out 2", ">Ab"}, {"run"}},
      {"Ab<H>\b<L><D>", {"run", "out 1", "out 2", ">b"}, {"run"}},
      {"\b\b<D>", {"run", "out 1", "out 2", ">"}, {"run"}},
      {"x\r", {"run", "out 1", "x", "out 2", ">"}, {"run", "x"}},
      {"\r", {"run", "out 1", "", "out 2", ">"}, {"run", ""}},
      {"x\ry", {"run", "out 1", "x", "out 2", ">y"}, {"run", "x"}},
  };
  for (const auto& c : Cases) {
    std::vector<std::string> entered;
    TConsole console(nullptr);
    console.OnLine = [&](const std::string& line) {
      entered.push_back(line);
      if (entered.size() > 1) return;  // a line entered during the run does nothing here
      console.Add("out 1");
      Play(console, c.Keys);
      console.Add("out 2");
    };
    console.Prepare();
    Play(console, "run\r");
    EXPECT_EQ(console.Lines(), c.Lines) << c.Keys;
    EXPECT_EQ(entered, c.Entered) << c.Keys;
    EXPECT_EQ(console.ShownRows().back(), c.Lines.back()) << c.Keys;
  }
}

std::vector<std::string> Numbered(size_t first, size_t last)
{
  std::vector<std::string> lines;
  for (size_t i = first; i <= last; ++i) lines.push_back("line " + std::to_string(i));
  return lines;
}

TEST(ConsoleEditing, PagesScrollBackThroughEveryLineWithAMarkerAndTypingReturns)
{
  TConsole console(nullptr);
  console.VisibleLines = 10;
  for (size_t i = 0; i < 600; ++i) console.Add("line " + std::to_string(i));
  console.Prepare();  // 601 lines: the last is the prompt
  std::vector<std::string> newest = Numbered(591, 599);
  newest.push_back(">");
  EXPECT_EQ(console.ShownRows(), newest);

  console.EditKey(TConsoleKey::PageUp);
  EXPECT_TRUE(console.Scrolled());
  std::vector<std::string> page = Numbered(583, 591);
  page.push_back("--- 9 more below (PageDown) ---");
  EXPECT_EQ(console.ShownRows(), page);

  console.Add("arrives while reading");
  page.back() = "--- 10 more below (PageDown) ---";
  EXPECT_EQ(console.ShownRows(), page) << "new lines do not move the view";

  for (int i = 0; i < 100; ++i) console.EditKey(TConsoleKey::PageUp);
  std::vector<std::string> oldest = Numbered(0, 8);
  oldest.push_back("--- 593 more below (PageDown) ---");
  EXPECT_EQ(console.ShownRows(), oldest);
  console.EditKey(TConsoleKey::PageDown);
  EXPECT_EQ(console.ShownRows().front(), "line 9");

  console.KeyChar('x');
  EXPECT_FALSE(console.Scrolled());
  EXPECT_EQ(console.ShownRows().back(), console.Lines().back()) << "the newest line is the last";

  console.EditKey(TConsoleKey::PageUp);
  for (int i = 0; i < 100; ++i) console.EditKey(TConsoleKey::PageDown);
  EXPECT_FALSE(console.Scrolled());
}

TEST(ConsoleEditing, ClearKeepsOnlyTheInputLineAndFewLinesDoNotScroll)
{
  TConsole console(nullptr);
  console.VisibleLines = 10;
  for (int i = 0; i < 30; ++i) console.Add("old");
  console.Prepare();
  Play(console, "typed<L>");
  console.EditKey(TConsoleKey::PageUp);
  console.EditKey(TConsoleKey::Clear);
  EXPECT_THAT(console.Lines(), ElementsAre(">typed"));
  EXPECT_FALSE(console.Scrolled());
  EXPECT_EQ(console.Caret(), 5u);
  console.EditKey(TConsoleKey::PageUp);
  EXPECT_FALSE(console.Scrolled());
  EXPECT_THAT(console.ShownRows(), ElementsAre(">typed"));
}

}  // namespace
}  // namespace quarn::render
