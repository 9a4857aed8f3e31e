#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarn::render {

class TGLFont;

// Breaks text at maxCol columns after a break character (tab, space, '-', '.'), never inside
// quotes, keeping existing CR LF breaks; pieces are joined with CR LF.
std::string WrapText(const std::string& text, int maxCol);

// Splits text into lines at CR LF, a lone CR or a lone LF; a final line break adds no line.
std::vector<std::string> SplitLines(const std::string& text);
// The line that starts at `start` (before text.size()) and where the next one starts: the
// same lines as SplitLines, one at a time, without a copy.
size_t NextLine(std::string_view text, size_t start, std::string_view& line);
// Rewrites the text in place as SplitLines' lines, each followed by CR LF.
void ToCrLfLines(std::string& text);

// The drop-down text console: a list of lines whose last one is the input line, starting
// with the prompt ">". When open it is drawn over the scene from the top of the window, the
// newest lines last, with a blinking "_" cursor on the input line.
class TConsole {
public:
  using TLineEvent = std::function<void(const std::string& line)>;

  explicit TConsole(TGLFont* font);  // not owned

  // Replaces every line by the file's lines; false (lines unchanged) when it cannot be read.
  bool LoadFromFile(const std::string& fileName);
  // Hands Width and Height to the font and starts the first input line.
  void Prepare();
  void Add(const std::string& line);          // one line, unchanged
  void AddWrapped(const std::string& text);   // wrapped at MaxLineLength columns
  void AddAboveInput(const std::string& text);  // wrapped, the line being typed kept last

  bool IsOpen() const { return FOpen; }
  void SetOpen(bool value) { FOpen = value; }
  // The 200 ms blink tick: inverts the cursor phase while the console is open.
  void Blink();
  bool CursorOn() const { return FCursorOn; }

  // One typed character: backspace (8), carriage return (13) or any other to append.
  void KeyChar(char ch);
  // A whole line entered as if typed and followed by Enter, without the typing limit.
  void EnterLine(const std::string& line);
  // Switches to additive blending (always), then draws the visible lines if open.
  void Draw();

  const std::vector<std::string>& Lines() const { return FLines; }

  int32_t VisibleLines = 5;
  int32_t MaxLineLength = 39;  // input line including its prompt; wrapping column
  int32_t Width = 0;           // drawing area in pixels; copied to the font by Prepare
  int32_t Height = 0;
  TLineEvent OnLine;           // each entered line, without its prompt

private:
  TGLFont* FFont;
  std::vector<std::string> FLines;
  // Leading lines known to hold no CR or LF; editing the last line in place takes it out.
  size_t FCleanLines = 0;
  bool FOpen = false;
  bool FCursorOn = false;
};

}  // namespace quarn::render
