#include "shell/BotHost.h"

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "script/Errors.h"
#include "script/Text.h"

namespace quarn::shell {

namespace {

struct KeyBinding {
  uint16_t key;
  uint8_t action;
};
// The default key map; every other key has action 0 (no movement).
constexpr KeyBinding DefaultKeyMap[] = {
    {platform::VK_UP, 1},    // forward
    {platform::VK_DOWN, 2},  // back
    {platform::VK_SPACE, DefaultJumpAction},
    {platform::VK_NUMPAD0, 8},  // crouch
    {platform::VK_RETURN, 9},   // primary attack
};

}  // namespace

TBotHost::TBotHost() : FViewer(*this)
{
  FBotScript.Exceptions = true;
  FBotScript.Blocking = false;
}

TBotHost::~TBotHost() = default;

void TBotHost::CreateCamera(int viewportWidth, int viewportHeight)
{
  FCameraControl.Create(viewportWidth, viewportHeight);
}

void TBotHost::MouseLook()
{
  // The viewer shows the cursor and turns the camera only while the left button is held, so
  // the mouse can go to the window's edges without turning the model.
  FCameraControl.MouseLook(FViewer.Viewing());
}

bool TBotHost::FitCamera(std::string& reason) { return FCameraControl.Fit(*FBot, reason); }

void TBotHost::CreateKeyMapAndBot()
{
  std::fill(std::begin(FKeyMap), std::end(FKeyMap), uint8_t{0});
  for (const KeyBinding& binding : DefaultKeyMap) FKeyMap[binding.key] = binding.action;
  FAnimText.clear();
  FAnimNext = 0;
  FAnimPlaying = false;
  FBot = NewBot();
}

void TBotHost::Release()
{
  FAnimText.clear();
  FAnimNext = 0;
  FBot.reset();
  FCameraControl.Release();
}

std::unique_ptr<bots::TBot> TBotHost::NewBot()
{
  auto bot = std::make_unique<bots::TBot>();
  bot->OnStateChange = [this] { BotStateChanged(); };
  bot->SetKeys(FKeyState);  // keys held while it loads count from its first state
  return bot;
}

void TBotHost::AdvanceAndDrawBot()
{
  FDrawnArea = {};
  if (!FBot->Active()) return;
  FPlayback.Advance(*FBot, TickClock());
  if (FFitPending) {
    FFitPending = false;
    std::string reason;
    if (FitCamera(reason)) {
      FCameraControl.KeepStartView();  // ResetCamera comes back to it
      FCameraControl.Camera().Apply();
    }
  }
  FBot->Model().Style = FStyle;
  FBot->Weapon().Style = FStyle;
  FBot->Draw();
  FDrawnArea = FBot->DrawnArea();
}

void TBotHost::DrawFrameNumberOverlay(render::TGLFont& font, int32_t row)
{
  if (FShowFrameNumber) font.Print(0, FShowPlayback ? row - 1 : row, FrameNumberText(), 1);
}

std::string TBotHost::FrameNumberText() const
{
  if (!FBot->Active()) return "Frame:-";
  const bots::TMD2& model = FBot->Model();
  if (FShowPlayback) {
    std::string group;
    for (const model::TAnimation& g : FGroups)
      if (model.CurrentFrame >= g.First && model.CurrentFrame <= g.Last) group = g.Name;
    return "Frame: " + FPlayback.Text(model, group.empty() ? "-" : group);
  }
  if (FShowFrameName)
    return "Frame: " + std::to_string(model.CurrentFrame) + " " +
           model.FrameName(model.CurrentFrame);
  return "Frame:" + std::to_string(model.CurrentFrame);
}

void TBotHost::MovementKey(uint16_t key, bool down)
{
  const uint16_t bits = key < 256 ? bots::MovementMask(FKeyMap[key]) : 0;
  FKeyState =
      down ? static_cast<uint16_t>(FKeyState | bits) : static_cast<uint16_t>(FKeyState & ~bits);
}

void TBotHost::SetKeyAction(uint16_t key, uint8_t action)
{
  if (key >= 256) return;
  FKeyState = static_cast<uint16_t>(FKeyState & ~bots::MovementMask(FKeyMap[key]));
  FKeyMap[key] = action;
}

void TBotHost::SetCulling(bool value)
{
  FStyle.Culling = value;
  if (FBot) FBot->Model().Culling = FBot->Weapon().Culling = value;
}

void TBotHost::SteerBot()
{
  if (FBot) FBot->SetKeys(FKeyState);
}

void TBotHost::LoadBot(const std::string& fileName, render::TConsole& console,
                       bots::TSoundManager* sounds)
{
  FBot = NewBot();
  FBot->SoundManager = sounds;
  FFitPending = false;
  FCameraControl.ForgetStartView();
  SetCulling(false);
  FViewer.Leave();
  try {
    FBot->Load(FBotScript, console, fileName);
  } catch (...) {
    BotLoaded();
    throw;
  }
  BotLoaded();
}

void TBotHost::BotLoaded()
{
  FPlayback.Reset();
  FGroups = FBot->Model().IsLoaded() ? model::RecordedAnimations(FBot->Model())
                                     : std::vector<model::TAnimation>{};
  // A load frees the last bot's decoded models and skins and makes the new one's: the heap's
  // free pieces would otherwise be kept by the allocator and grow with every load.
  malloc_trim(0);
}

void TBotHost::LoadBotText(const std::string& name, const std::string& text,
                           const std::string& baseDir, render::TConsole& console,
                           bots::TSoundManager* sounds)
{
  FBot = NewBot();
  FBot->SoundManager = sounds;
  FBot->BaseDir = baseDir;
  FBot->SummariseStates = true;  // the program's own bot file: its states are no news
  FBot->LoadText(FBotScript, console, name, text);
  BotLoaded();
}

void TBotHost::ViewModel(const TViewRequest& request, render::TConsole& console,
                         bots::TSoundManager* sounds)
{
  FViewer.View(request, console, sounds);
}

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

void TBotHost::LoadAnimationFile(const std::string& name)
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
  FAnimText = std::move(text);
  FAnimName = name;
  FAnimPlaying = true;
  FAnimIndex = 0;
  FAnimNext = 0;
  std::string_view first;
  const size_t second = render::NextLine(FAnimText, 0, first);
  if (second < FAnimText.size()) {  // more than one line
    // A bot that has not reached its first state yet takes the line when it does, and that
    // first state change does not move playback on.
    FAnimWaitsForState = FBot->Automata().Current() < 0;
    FBot->SetKeys(AnimationMask(first, 0));
    FAnimIndex = 1;
    FAnimNext = second;
  } else {
    StopAnimation();
  }
}

uint16_t TBotHost::AnimationMask(std::string_view line, int32_t index)
{
  try {
    return static_cast<uint16_t>(script::StrToInt(line));
  } catch (const script::Exception&) {
    // The conversion's own message; which file and line it came from is said below it.
    const std::string quoted = line.size() > QuotedLineLength
                                   ? std::string(line.substr(0, QuotedLineLength)) + "..."
                                   : std::string(line);
    FAnimFailure = {"'" + quoted + "' is not a valid integer value",
                    "Animation file " + FAnimName + " line " + std::to_string(index + 1)};
    throw script::EScriptError(FAnimFailure.Message);
  }
}

std::string TBotHost::TakeFailureReason(const std::string& message)
{
  if (FAnimFailure.Message.empty() || message.find(FAnimFailure.Message) == std::string::npos)
    return {};
  std::string reason = std::move(FAnimFailure.Reason);
  FAnimFailure = {};
  return reason;
}

void TBotHost::StopAnimation()
{
  FAnimPlaying = false;
  FAnimWaitsForState = false;
  // The file's last mask is let go as keys are released: the bot goes on with the keys held.
  if (FBot) FBot->SetKeys(FKeyState);
}

void TBotHost::BotStateChanged()
{
  if (!FAnimPlaying) return;
  if (FAnimWaitsForState) {
    // The bot's first state: the first line applies now (a bot loaded meanwhile never had it).
    FAnimWaitsForState = false;
    std::string_view first;
    render::NextLine(FAnimText, 0, first);
    FBot->SetKeys(AnimationMask(first, 0));
    return;
  }
  // The last line is never applied: playback ends at the state change after the one before it.
  std::string_view line;
  const size_t next = FAnimNext < FAnimText.size() ? render::NextLine(FAnimText, FAnimNext, line)
                                                   : FAnimText.size();
  if (next < FAnimText.size()) {
    FBot->SetKeys(AnimationMask(line, FAnimIndex));
    ++FAnimIndex;
    FAnimNext = next;
  } else {
    StopAnimation();
  }
}

}  // namespace quarn::shell
