#include "render/Console.h"

#include <algorithm>
#include <vector>

#include "render/GLFont.h"
#include "render/Image.h"
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

bool IsBreakChar(char c)
{
  return c == '\t' || c == ' ' || c == '-' || c == '.';
}

bool IsQuoteChar(char c)
{
  return c == '\'' || c == '"';
}

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
  if (!ReadWholeFile(fileName, data)) return false;
  FLines = SplitLines(std::string(data.begin(), data.end()));
  FCleanLines = 0;
  return true;
}

void TConsole::Prepare()
{
  if (FFont != nullptr) {
    FFont->Width = Width;
    FFont->Height = Height;
  }
  FLines.emplace_back(Prompt);
}

void TConsole::Add(const std::string& line)
{
  FLines.push_back(line);
}

void TConsole::AddWrapped(const std::string& text)
{
  // The list is rebuilt from its whole text, so every piece of the wrapped text becomes one
  // line and any line holding CR or LF is split at them. Without such a line the rebuilt list
  // is the old one plus the wrapped pieces: appending them keeps a long session's errors cheap.
  // Only lines added or edited since the last check need looking at.
  const size_t from = std::min(FCleanLines, FLines.size());
  const bool holdsBreaks =
      std::any_of(FLines.begin() + long(from), FLines.end(), [](const std::string& line) {
        return line.find_first_of("\r\n") != std::string::npos;
      });
  if (!holdsBreaks) {
    for (std::string& piece : SplitLines(WrapText(text, MaxLineLength)))
      FLines.push_back(std::move(piece));
    FCleanLines = FLines.size();
    return;
  }
  std::string all;
  for (const std::string& line : FLines) {
    all += line;
    all += LineBreak;
  }
  all += WrapText(text, MaxLineLength);
  FLines = SplitLines(all);
  FCleanLines = FLines.size();
}

void TConsole::AddAboveInput(const std::string& text)
{
  if (FLines.empty()) return AddWrapped(text);
  std::string input = std::move(FLines.back());
  FLines.pop_back();
  FCleanLines = std::min(FCleanLines, FLines.size());
  AddWrapped(text);
  FLines.push_back(std::move(input));
}

void TConsole::Blink()
{
  if (FOpen) FCursorOn = !FCursorOn;
}

void TConsole::EnterLine(const std::string& line)
{
  if (FLines.empty()) FLines.emplace_back(Prompt);
  FCleanLines = std::min(FCleanLines, FLines.size() - 1);
  FLines.back() = std::string(Prompt) + line;
  KeyChar('\r');
}

void TConsole::KeyChar(char ch)
{
  if (FLines.empty()) FLines.emplace_back(Prompt);
  FCleanLines = std::min(FCleanLines, FLines.size() - 1);
  std::string& input = FLines.back();
  if (ch == BackspaceChar) {
    if (input.size() > 1) input.pop_back();
  } else if (ch == EnterChar) {
    if (!input.empty()) input.erase(0, 1);
    const std::string line = input;  // the handler may append lines
    if (OnLine) OnLine(line);
    FLines.emplace_back(Prompt);
  } else if (input.size() + 1 <= size_t(std::max(MaxLineLength, 0))) {
    input += ch;
  }
}

void TConsole::Draw()
{
  EnableBlending();
  if (!FOpen || FLines.empty() || FFont == nullptr) return;
  const size_t count = FLines.size();
  const size_t visible = size_t(std::max(VisibleLines, 0));
  const size_t first = count > visible ? count - visible : 0;
  FFont->BeginBatch();
  for (size_t i = first; i < count; ++i)
    FFont->Add(0, static_cast<int32_t>(i - first), FLines[i], ConsoleGlyphSet);
  if (FCursorOn) FFont->Append(Cursor);  // right after the input line, as part of it
  FFont->EndBatch();
}

}  // namespace quarn::render
