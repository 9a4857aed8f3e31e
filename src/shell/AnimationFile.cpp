#include "shell/AnimationFile.h"

#include <algorithm>

#include "bots/Bot.h"
#include "platform/Files.h"
#include "render/Console.h"
#include "script/Errors.h"
#include "script/Text.h"

namespace quarn::shell {

namespace {

// Longest piece of a bad line quoted in its message.
constexpr size_t QuotedLineLength = 40;

// Text is what a line of masks is made of: control characters other than line ends and tabs
// (a NUL above all) mean a file of another kind.
bool IsText(std::string_view text)
{
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\n' && c != '\r' && c != '\t') || u == 0x7F;
  });
}

}  // namespace

void TAnimationFile::Load(const std::string& name, bots::TBot& bot, uint16_t heldKeys)
{
  // Only regular files: a device or FIFO would be read forever or block the program.
  // The text is kept whole and read a line at a time, with a limit on its size.
  std::string text;
  std::string error;
  switch (platform::ReadWholeFile(name, text, platform::MaxTextFileSize, error)) {
    case platform::TReadStatus::Missing:
      throw script::EScriptError("Animation file" + name + " not found");
    case platform::TReadStatus::Failed: throw script::EScriptError(error);
    case platform::TReadStatus::Ok: break;
  }
  if (!IsText(text))
    throw script::EScriptError("Animation file " + name + " is not a text file; it was not played");
  FText = std::move(text);
  FName = name;
  FPlaying = true;
  FIndex = 0;
  FNext = 0;
  std::string_view first;
  const size_t second = render::NextLine(FText, 0, first);
  if (second < FText.size()) {  // more than one line
    // A bot that has not reached its first state yet takes the line when it does, and that
    // first state change does not move playback on.
    FWaitsForState = bot.Automata().Current() < 0;
    bot.SetKeys(Mask(first, 0));
    FIndex = 1;
    FNext = second;
  } else {
    Stop(bot, heldKeys);
  }
}

uint16_t TAnimationFile::Mask(std::string_view line, int32_t index)
{
  try {
    return static_cast<uint16_t>(script::StrToInt(line));
  } catch (const script::Exception&) {
    // The conversion's own message; which file and line it came from is said below it.
    const std::string quoted = line.size() > QuotedLineLength
                                   ? std::string(line.substr(0, QuotedLineLength)) + "..."
                                   : std::string(line);
    FFailure = {"'" + quoted + "' is not a valid integer value",
                "Animation file " + FName + " line " + std::to_string(index + 1)};
    throw script::EScriptError(FFailure.Message);
  }
}

std::string TAnimationFile::TakeFailureReason(const std::string& message)
{
  if (FFailure.Message.empty() || message.find(FFailure.Message) == std::string::npos) return {};
  std::string reason = std::move(FFailure.Reason);
  FFailure = {};
  return reason;
}

void TAnimationFile::Stop(bots::TBot& bot, uint16_t heldKeys)
{
  FPlaying = false;
  FWaitsForState = false;
  // The file's last mask is let go as keys are released: the bot goes on with the keys held.
  bot.SetKeys(heldKeys);
}

void TAnimationFile::Clear()
{
  FText.clear();
  FNext = 0;
  FPlaying = false;
}

void TAnimationFile::StateChanged(bots::TBot& bot, uint16_t heldKeys)
{
  if (!FPlaying) return;
  if (FWaitsForState) {
    // The bot's first state: the first line applies now (a bot loaded meanwhile never had it).
    FWaitsForState = false;
    std::string_view first;
    render::NextLine(FText, 0, first);
    bot.SetKeys(Mask(first, 0));
    return;
  }
  std::string_view line;
  const size_t next = FNext < FText.size() ? render::NextLine(FText, FNext, line) : FText.size();
  if (next < FText.size()) {
    bot.SetKeys(Mask(line, FIndex));
    ++FIndex;
    FNext = next;
  } else {
    Stop(bot, heldKeys);
  }
}

}  // namespace quarn::shell
