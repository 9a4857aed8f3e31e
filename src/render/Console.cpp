#include "render/Console.h"

#include <GL/gl.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/Files.h"
#include "render/GLFont.h"
#include "render/Texture.h"

namespace quarn::render {

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char BackspaceChar = 8;
constexpr char EnterChar = 13;
constexpr const char* LineBreak = "\r\n";
constexpr const char* Prompt = ">";
constexpr const char* Cursor = "_";
constexpr uint32_t ConsoleGlyphSet = 1;
constexpr size_t HistoryLimit = 100;         // entered lines kept for recall, the oldest dropped
constexpr int32_t BackdropRowHeight = 24;    // the font's text rows
constexpr int32_t BackdropBottomMargin = 8;  // glyphs reach 8 pixels below their row
constexpr float BackdropOpacity = 0.55f;
constexpr int8_t FullLineCursorColor[4] = {127, 20, 20, 127};  // signed bytes: red
constexpr int8_t WhiteColor[4] = {127, 127, 127, 127};

bool IsBreakChar(char c) { return c == '\t' || c == ' ' || c == '-' || c == '.'; }

bool IsQuoteChar(char c) { return c == '\'' || c == '"'; }

}  // namespace

std::string WrapText(const std::string& text, int maxCol)
{
  // Positions are 1-based; at(p) is the character at position p.
  const size_t len = text.size();
  auto at = [&text](size_t p) { return text[p - 1]; };
  auto copy = [&text](size_t from, size_t to) {  // positions from..to inclusive
    return to >= from ? text.substr(from - 1, to - from + 1) : std::string();
  };

  size_t col = 1, pos = 1, lineStart = 1, breakPos = 0;
  char quote = 0;  // the open quotation mark, or none
  bool existingBreak = false;
  std::string result;
  while (pos <= len) {
    const char c = at(pos);
    if (c == CR) {
      if (quote == 0) {
        existingBreak = pos < len && at(pos + 1) == LF;
        if (existingBreak) {
          ++pos;
          breakPos = pos;
        }
      }
    } else if (IsBreakChar(c)) {
      if (quote == 0) breakPos = pos;
    } else if (IsQuoteChar(c)) {
      if (c == quote)
        quote = 0;
      else if (quote == 0)
        quote = c;
    }
    ++pos;
    ++col;
    if (quote == 0 && (existingBreak || (col > size_t(maxCol) && breakPos > lineStart))) {
      col = pos - breakPos;
      result += copy(lineStart, breakPos);  // the break character ends the line
      if (!IsQuoteChar(c)) {
        while (pos <= len && (IsBreakChar(at(pos)) || at(pos) == CR || at(pos) == LF)) ++pos;
      }
      if (!existingBreak && pos < len) result += LineBreak;
      ++breakPos;
      lineStart = breakPos;
      existingBreak = false;
    }
  }
  result += copy(lineStart, len);
  return result;
}

size_t NextLine(std::string_view text, size_t start, std::string_view& line)
{
  const size_t len = text.size();
  size_t end = start;
  while (end < len && text[end] != CR && text[end] != LF) ++end;
  line = text.substr(start, end - start);
  if (end < len) end += (text[end] == CR && end + 1 < len && text[end + 1] == LF) ? 2 : 1;
  return end;
}

std::vector<std::string> SplitLines(const std::string& text)
{
  std::vector<std::string> lines;
  std::string_view line;
  for (size_t start = 0; start < text.size();) {
    start = NextLine(text, start, line);
    lines.emplace_back(line);
  }
  return lines;
}

void ToCrLfLines(std::string& text)
{
  // Every line break becomes CR LF, and the last line gets one: the text only grows, so it
  // is filled from the back without a second buffer.
  const size_t len = text.size();
  if (len == 0) return;
  size_t size = 0;
  for (size_t i = 0; i < len; ++i) {
    if (text[i] == CR && i + 1 < len && text[i + 1] == LF) ++i;
    size += (text[i] == CR || text[i] == LF) ? 2 : 1;
  }
  if (text[len - 1] != CR && text[len - 1] != LF) size += 2;
  text.resize(size);
  size_t to = size;
  size_t from = len;
  if (text[len - 1] != CR && text[len - 1] != LF) {
    text[--to] = LF;
    text[--to] = CR;
  }
  while (from > 0) {
    const char c = text[--from];
    if (c == CR || c == LF) {
      if (c == LF && from > 0 && text[from - 1] == CR) --from;
      text[--to] = LF;
      text[--to] = CR;
    } else {
      text[--to] = c;
    }
  }
}

TConsole::TConsole(TGLFont* font) : FFont(font) {}

bool TConsole::LoadFromFile(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!platform::ReadWholeFile(fileName, data)) return false;
  FLines = SplitLines(std::string(data.begin(), data.end()));
  FInputAt = NoInput;
  FCleanLines = 0;
  FScrollEnd = 0;
  return true;
}

void TConsole::Prepare()
{
  if (FFont != nullptr) {
    FFont->Width = Width;
    FFont->Height = Height;
  }
  FLines.emplace_back(Prompt);
  FInputAt = FLines.size() - 1;
}

void TConsole::Add(const std::string& line) { FLines.push_back(line); }

void TConsole::AddWrapped(const std::string& text)
{
  // The list becomes the split lines of its whole text joined with CR LF, then the wrapped
  // text: every piece of the wrapped text becomes one line and any line holding CR or LF is
  // split at them. Every line ends in a break in that text, so each splits on its own, and
  // only lines added or edited since the last check can hold a break: appending the pieces
  // keeps a long session's errors cheap.
  const size_t from = std::min(FCleanLines, FLines.size());
  const auto holdsBreak = [](const std::string& line) {
    return line.find_first_of("\r\n") != std::string::npos;
  };
  if (std::any_of(FLines.begin() + long(from), FLines.end(), holdsBreak)) {
    std::vector<std::string> split(std::make_move_iterator(FLines.begin()),
                                   std::make_move_iterator(FLines.begin() + long(from)));
    size_t inputAt = FInputAt < from ? FInputAt : NoInput;
    for (size_t i = from; i < FLines.size(); ++i) {
      if (i == FInputAt) inputAt = split.size();  // its first piece stays the input line
      if (!holdsBreak(FLines[i])) {
        split.push_back(std::move(FLines[i]));
        continue;
      }
      for (std::string& piece : SplitLines(FLines[i] + LineBreak))
        split.push_back(std::move(piece));
    }
    FLines = std::move(split);
    FInputAt = inputAt;
  }
  for (std::string& piece : SplitLines(WrapText(text, MaxLineLength)))
    FLines.push_back(std::move(piece));
  FCleanLines = FLines.size();
}

void TConsole::AddAboveInput(const std::string& text)
{
  AddWrapped(text);
  KeepInputLast();
}

void TConsole::Blink()
{
  if (FOpen) FCursorOn = !FCursorOn;
}

std::string& TConsole::Input()
{
  if (FInputAt == NoInput) {
    FLines.emplace_back(Prompt);
    FInputAt = FLines.size() - 1;
  }
  KeepInputLast();
  FCleanLines = std::min(FCleanLines, FInputAt);
  return FLines[FInputAt];
}

void TConsole::KeepInputLast()
{
  if (FInputAt == NoInput || FInputAt + 1 >= FLines.size()) return;
  std::string input = std::move(FLines[FInputAt]);
  FLines.erase(FLines.begin() + long(FInputAt));
  FLines.push_back(std::move(input));
  if (FScrollEnd > FInputAt) --FScrollEnd;  // the view keeps showing the same lines
  FCleanLines = std::min(FCleanLines, FInputAt);
  FInputAt = FLines.size() - 1;
}

size_t TConsole::Caret() const
{
  if (FInputAt == NoInput) return 1;
  const size_t size = FLines[FInputAt].size();
  return size - std::min(FCaretBack, size > 0 ? size - 1 : 0);
}

bool TConsole::InputFull() const
{
  const size_t size = FInputAt == NoInput ? 1 : FLines[FInputAt].size();
  return size + 1 > size_t(std::max(MaxLineLength, 0));
}

void TConsole::ShowInput(const std::string& line)
{
  Input() = Prompt + line;
  FCaretBack = 0;
}

void TConsole::Remember(const std::string& line)
{
  if (!line.empty() && (FHistory.empty() || FHistory.back() != line)) {
    FHistory.push_back(line);
    if (FHistory.size() > HistoryLimit) FHistory.erase(FHistory.begin());
  }
  FHistoryPos = FHistory.size();
  FDraft.clear();
}

void TConsole::EnterLine(const std::string& line)
{
  ShowInput(line);
  KeyChar('\r');
}

void TConsole::KeyChar(char ch)
{
  std::string& input = Input();
  FScrollEnd = 0;
  const size_t caret = Caret();
  if (ch == BackspaceChar) {
    if (caret > 1) input.erase(caret - 1, 1);
  } else if (ch == EnterChar) {
    if (!input.empty()) input.erase(0, 1);
    const std::string line = input;  // the handler may append lines
    FInputAt = NoInput;              // the entered line stays as typed
    FCaretBack = 0;
    Remember(line);
    if (OnLine) OnLine(line);
    if (FInputAt == NoInput) {
      FLines.emplace_back(Prompt);
      FInputAt = FLines.size() - 1;
    }
    KeepInputLast();  // keys typed while it ran made the next line
  } else if (!InputFull()) {
    input.insert(caret, 1, ch);
  }
}

void TConsole::EditKey(TConsoleKey key)
{
  const long page = std::max(VisibleLines, 2) - 1;
  switch (key) {
    case TConsoleKey::PageUp: ScrollBy(-page); return;
    case TConsoleKey::PageDown: ScrollBy(page); return;
    case TConsoleKey::Clear: {
      const std::string input = Input();
      FLines.assign(1, input);
      FInputAt = 0;
      FCleanLines = 0;
      FScrollEnd = 0;
      return;
    }
    default: break;
  }
  FScrollEnd = 0;
  std::string& input = Input();
  const size_t first = std::min<size_t>(1, input.size());  // the caret never goes before the prompt
  size_t caret = Caret();
  switch (key) {
    case TConsoleKey::Left: caret = std::max(first, caret - std::min<size_t>(caret, 1)); break;
    case TConsoleKey::Right: caret = std::min(input.size(), caret + 1); break;
    case TConsoleKey::Home: caret = first; break;
    case TConsoleKey::End: caret = input.size(); break;
    case TConsoleKey::Delete:
      if (caret < input.size()) input.erase(caret, 1);
      break;
    case TConsoleKey::HistoryBack:
      if (FHistoryPos > 0) {
        if (FHistoryPos >= FHistory.size()) FDraft = input.substr(first);
        FHistoryPos = std::min(FHistoryPos, FHistory.size()) - 1;
        ShowInput(FHistory[FHistoryPos]);
      }
      return;
    case TConsoleKey::HistoryForward:
      if (FHistoryPos < FHistory.size()) {
        ++FHistoryPos;
        ShowInput(FHistoryPos == FHistory.size() ? FDraft : FHistory[FHistoryPos]);
      }
      return;
    default: return;
  }
  FCaretBack = input.size() - caret;
}

void TConsole::ScrollBy(long lines)
{
  // A scrolled view shows VisibleLines - 1 lines ending before FScrollEnd, then the marker.
  const size_t count = FLines.size();
  const long shown = std::max(VisibleLines, 2) - 1;
  if (count <= size_t(std::max(VisibleLines, 0))) {
    FScrollEnd = 0;
    return;
  }
  const long end = Scrolled() ? long(FScrollEnd) : long(count);
  const long moved = std::max(end + lines, shown);
  FScrollEnd = moved >= long(count) ? 0 : size_t(moved);
}

std::vector<std::string> TConsole::ShownRows() const
{
  const size_t count = FLines.size();
  const size_t visible = size_t(std::max(VisibleLines, 0));
  if (!Scrolled() || visible < 2) {
    const size_t first = count > visible ? count - visible : 0;
    return {FLines.begin() + long(first), FLines.end()};
  }
  const size_t first = FScrollEnd > visible - 1 ? FScrollEnd - (visible - 1) : 0;
  std::vector<std::string> rows(FLines.begin() + long(first), FLines.begin() + long(FScrollEnd));
  rows.push_back("--- " + std::to_string(count - FScrollEnd) + " more below (PageDown) ---");
  return rows;
}

void TConsole::Draw()
{
  EnableBlending();
  if (!FOpen || FLines.empty() || FFont == nullptr) return;
  KeepInputLast();
  const bool input = FInputAt != NoInput;
  const size_t count = FLines.size();
  const size_t visible = size_t(std::max(VisibleLines, 0));
  const bool scrolled = Scrolled() && visible >= 2;
  // Scrolled back, the rows end before FScrollEnd and the marker takes the input line's row.
  const size_t end = scrolled ? FScrollEnd : count;
  const size_t shown = scrolled ? visible - 1 : visible;
  const size_t first = end > shown ? end - shown : 0;
  const auto lastRow = static_cast<int32_t>(end - first) - (scrolled ? 0 : 1);
  DrawBackdrop(lastRow + 1, SceneArea);

  FFont->BeginBatch();
  for (size_t i = first; i < end; ++i)
    FFont->Add(0, static_cast<int32_t>(i - first), FLines[i], ConsoleGlyphSet);
  if (scrolled) {
    // Built in a kept string: a batch holds views of its text until EndBatch.
    FMarker.assign("--- ");
    FMarker += std::to_string(count - end);
    FMarker += " more below (PageDown) ---";
    FFont->Add(0, lastRow, FMarker, ConsoleGlyphSet);
  }
  const size_t caret = Caret();
  const bool cursor = FCursorOn && !scrolled && input;
  const bool plainCursor = cursor && caret >= FLines.back().size() && !InputFull();
  if (plainCursor) FFont->Append(Cursor);  // right after the input line, as part of it
  FFont->EndBatch();
  if (cursor && !plainCursor) DrawCaret(lastRow, caret);
}

void TConsole::DrawBackdrop(int32_t rows, const TScreenArea& over) const
{
  // Under the text rows and the lower half of the last row's glyphs, across the whole width.
  const int32_t bottom = rows * BackdropRowHeight + BackdropBottomMargin;
  // Black with source-alpha weights leaves a black pixel black (its alpha is masked off), so
  // the panel is needed only where the frame may hold more. The scissor keeps each pixel's
  // fragment exactly as the whole panel would make it.
  const TScreenArea panel{0, Height - bottom, Width, Height};  // the viewport's top rows
  const TScreenArea drawn = panel.Crossed(over);
  // A caller's own scissor is left as it is, with the whole panel.
  const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  const bool part = !scissor && (drawn.X0 > panel.X0 || drawn.Y0 > panel.Y0 ||
                                 drawn.X1 < panel.X1 || drawn.Y1 < panel.Y1);
  GLint box[4] = {0, 0, 0, 0};
  if (part) {
    glGetIntegerv(GL_SCISSOR_BOX, box);
    glEnable(GL_SCISSOR_TEST);
    glScissor(drawn.X0, drawn.Y0, std::max(drawn.X1 - drawn.X0, 0),
              std::max(drawn.Y1 - drawn.Y0, 0));
  }
  const GLboolean depth = glIsEnabled(GL_DEPTH_TEST), texture = glIsEnabled(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);  // over whatever the scene drew, and no depth left to hide the text
  glDisable(GL_TEXTURE_2D);
  UsePixelSpace(Width, Height);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);  // the frame's alpha stays as it was
  glColor4f(0, 0, 0, BackdropOpacity);
  if (!part || !drawn.Empty()) glRecti(0, 0, Width, bottom);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (part) {
    glScissor(box[0], box[1], box[2], box[3]);
    glDisable(GL_SCISSOR_TEST);
  }
  glColor4f(1, 1, 1, 1);
  EnableBlending();
  if (texture) glEnable(GL_TEXTURE_2D);
  if (depth) glEnable(GL_DEPTH_TEST);
}

void TConsole::DrawCaret(int32_t row, size_t caret)
{
  // Drawn apart from the line: under a character its quad lies on the character's, which
  // depth testing would hide. Red when the line has no room left.
  const GLboolean depth = glIsEnabled(GL_DEPTH_TEST);
  glDisable(GL_DEPTH_TEST);
  if (InputFull()) FFont->SetColor(FullLineCursorColor);
  FFont->BeginBatch();
  FFont->AddAfter(0, row, static_cast<int32_t>(caret), Cursor, ConsoleGlyphSet);
  FFont->EndBatch();
  FFont->SetColor(WhiteColor);
  if (depth) glEnable(GL_DEPTH_TEST);
}

}  // namespace quarn::render
