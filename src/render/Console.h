#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "render/ScreenArea.h"

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

// Editing keys the console acts on; the window decides which keys they are.
enum class TConsoleKey {
  Left,            // caret one character back
  Right,           // caret one character on
  Home,            // caret after the prompt
  End,             // caret after the last character
  Delete,          // the character under the caret
  HistoryBack,     // the previous entered line
  HistoryForward,  // the next entered line, past the newest the line being typed
  PageUp,          // scroll back by a page
  PageDown,        // scroll on by a page
  Clear,           // drop every line but the input line
};

// The drop-down text console: a list of lines, one of them the input line, which starts with
// the prompt ">" and is drawn last. When open it is drawn over the scene from the top of the
// window, the newest lines last, with a blinking "_" cursor at the caret of the input line.
// Reported lines are added at the end and never become the input line: one added after it
// (a message of a frame, not of an entered line) moves above it at the next key or frame.
class TConsole {
public:
  using TLineEvent = std::function<void(const std::string& line)>;

  explicit TConsole(TGLFont* font);  // not owned

  // Replaces every line by the file's lines; false (lines unchanged) when it cannot be read.
  bool LoadFromFile(const std::string& fileName);
  // Hands Width and Height to the font and starts the first input line.
  void Prepare();
  void Add(const std::string& line);            // one line, unchanged
  void AddWrapped(const std::string& text);     // wrapped at MaxLineLength columns
  void AddAboveInput(const std::string& text);  // wrapped, the line being typed moved last

  bool IsOpen() const { return FOpen; }
  void SetOpen(bool value) { FOpen = value; }
  // The 200 ms blink tick: inverts the cursor phase while the console is open.
  void Blink();
  bool CursorOn() const { return FCursorOn; }

  // One typed character: backspace (8) deletes before the caret, carriage return (13) enters
  // the whole line, any other is inserted at the caret while the line has room. The entered
  // line stays as it was typed, without its prompt, and OnLine runs it; keys typed meanwhile
  // start the next input line, which stays below the lines the run adds.
  void KeyChar(char ch);
  void EditKey(TConsoleKey key);
  // A whole line entered as if typed and followed by Enter, without the typing limit.
  void EnterLine(const std::string& line);
  // Switches to additive blending (always), then, if open, draws a dark translucent backdrop
  // and the visible lines over it. The cursor shows red when the input line is full.
  void Draw();

  // Every line in the order added. The input line is the last one, except while an entered
  // line runs and until the next key or frame after a line was added below it.
  const std::vector<std::string>& Lines() const { return FLines; }
  // The translucent dark panel Draw puts behind the given number of text rows. It only
  // darkens, which leaves black as it is: it is drawn only where the frame may hold more than
  // black (`over`, window pixels as GL counts them).
  void DrawBackdrop(int32_t rows, const TScreenArea& over = TScreenArea::Everything()) const;
  // Entered lines, oldest first; empty lines and repeats of the newest are not kept.
  const std::vector<std::string>& History() const { return FHistory; }
  // Index in the input line (prompt included) where the next character goes.
  size_t Caret() const;
  // The input line has no room for another typed character.
  bool InputFull() const;
  bool Scrolled() const { return FScrollEnd != 0 && FScrollEnd < FLines.size(); }
  // The rows Draw shows, top first, without the cursor, once the input line is the last line.
  // While scrolled back the last row is a marker saying how many lines are below, in place of
  // the input line.
  std::vector<std::string> ShownRows() const;

  int32_t VisibleLines = 5;
  int32_t MaxLineLength = 39;  // input line including its prompt; wrapping column
  int32_t Width = 0;           // drawing area in pixels; copied to the font by Prepare
  int32_t Height = 0;
  TLineEvent OnLine;  // each entered line, without its prompt
  // Where the frame may hold anything but black when Draw is called: the backdrop is drawn
  // only there. The frame sets it each time; the whole window by default.
  TScreenArea SceneArea = TScreenArea::Everything();

private:
  static constexpr size_t NoInput = ~size_t{0};

  TGLFont* FFont;
  std::vector<std::string> FLines;
  // Index of the input line in FLines; NoInput before Prepare and while an entered line runs
  // until a key is typed.
  size_t FInputAt = NoInput;
  // Leading lines known to hold no CR or LF; editing the last line in place takes it out.
  size_t FCleanLines = 0;
  bool FOpen = false;
  bool FCursorOn = false;
  // Characters after the caret: 0 keeps the caret at the end, whatever line becomes the input.
  size_t FCaretBack = 0;
  std::vector<std::string> FHistory;
  size_t FHistoryPos = 0;  // the entry shown; FHistory.size() while not browsing
  std::string FDraft;      // the line being typed when browsing started
  // One past the last line shown while scrolled back; 0 when showing the newest lines. An
  // index into FLines, so lines added while the user reads do not move the view.
  size_t FScrollEnd = 0;
  std::string FMarker;  // the scroll marker's text while drawing

  // The input line, made last (and made when there is none) before it is edited.
  std::string& Input();
  // Moves the input line below lines added after it.
  void KeepInputLast();
  void ShowInput(const std::string& line);
  void Remember(const std::string& line);
  void ScrollBy(long lines);
  void DrawCaret(int32_t row, size_t caret);
};

}  // namespace quarn::render
