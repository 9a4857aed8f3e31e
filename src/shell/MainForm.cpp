#include "shell/MainForm.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "model/Drawing.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"

namespace quarn::shell {

namespace {

struct TConsoleKeyBinding {
  uint16_t Key;
  uint16_t Ctrl;  // ssCtrl when the binding needs Ctrl held, else 0 (Ctrl not held)
  render::TConsoleKey Action;
};
// Editing keys of the open console. Plain Up and Down stay movement keys.
constexpr TConsoleKeyBinding ConsoleKeys[] = {
    {platform::VK_LEFT, 0, render::TConsoleKey::Left},
    {platform::VK_RIGHT, 0, render::TConsoleKey::Right},
    {platform::VK_HOME, 0, render::TConsoleKey::Home},
    {platform::VK_END, 0, render::TConsoleKey::End},
    {platform::VK_DELETE, 0, render::TConsoleKey::Delete},
    {platform::VK_UP, platform::ssCtrl, render::TConsoleKey::HistoryBack},
    {platform::VK_DOWN, platform::ssCtrl, render::TConsoleKey::HistoryForward},
    {platform::VK_PRIOR, 0, render::TConsoleKey::PageUp},
    {platform::VK_NEXT, 0, render::TConsoleKey::PageDown},
    {'L', platform::ssCtrl, render::TConsoleKey::Clear},
};

// The viewer's opening lines, in place of the demo's console.txt; each fits the console's
// width in the smallest window.
constexpr const char* ViewerWelcome[] = {
    "Welcome to Quarn's model viewer.",     "Every console line runs as a script.",
    "Drag with the left button to turn;",   "the wheel zooms.",
    "Animations lists the animations;",     "Play('name') plays one.",
    "Space pauses; Help lists the keys.",   "Tab hides this console; Escape quits.",
};

}  // namespace

TMainForm::TMainForm(const TMainFormOptions& options) : FOptions(options)
{
  // The window's GL visual is fixed when the window is created.
  render::SetupPixelFormat();
  FWindow = std::make_unique<platform::TWindow>(Caption, FOptions.Width, FOptions.Height);
  if (FOptions.View) FWindow->SetResizable(true);
  platform::Application().SetMainWindow(FWindow.get());
  FWindow->OnKeyDown = [this](uint16_t key) { FormKeyDown(key); };
  FWindow->OnKeyUp = [this](uint16_t key) { FormKeyUp(key); };
  FWindow->OnKeyPress = [this](char key) { FormKeyPress(key); };
  SetUpGLTimer();
  FSounds = std::make_unique<TSoundHost>(*this);
  FCommands = std::make_unique<TConsoleCommands>(TConsoleCommandsHost{
      *FWindow, FConsole, FBots, FScreenshots, *FSounds, FShowFPS, [this] { ForgetPlayError(); }});

  // An exception in the creation handler is reported and the window stays as far as it was
  // built: without frames when the timer was never enabled.
  try {
    FormCreate();
    FStarted = true;
    // From here on an error must not stop play with a box, several a second.
    platform::Application().OnException = [this](const std::string& message) {
      ReportPlayError(message);
    };
  } catch (const std::exception& error) {
    platform::Application().HandleException(error);
  }
  FWindow->Show();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::ExecStartupLines()
{
  if (!FStarted) return;
  RunAutoexec(FOptions.AutoexecFile);
  std::error_code same;
  if (!FOptions.UserAutoexecFile.empty() && !FWindow->Closing() &&
      !std::filesystem::equivalent(FOptions.AutoexecFile, FOptions.UserAutoexecFile, same))
    RunAutoexec(FOptions.UserAutoexecFile);
  if (FOptions.View) {
    // Its lines follow an empty line as if it had been entered, as a typed line's output
    // does; the input line moves below them.
    FConsole->Add(">");
    FBots.ViewModel(*FOptions.View, *FConsole, FSounds->Manager());
  }
  if (!FOptions.BotFile.empty()) {
    // Entered as a console line, so the load reads on the console as if typed. The name is a
    // path from the current directory; LoadBot takes an absolute name as it stands.
    std::string name =
        platform::PathFrom(std::filesystem::current_path().string() + "/", FOptions.BotFile);
    for (size_t quote = name.find('\''); quote != std::string::npos;
         quote = name.find('\'', quote + 2))
      name.insert(quote, 1, '\'');
    FConsole->EnterLine("LoadBot('" + name + "')");
  }
  for (const std::string& line : FOptions.ExecLines) {
    if (FWindow->Closing()) break;
    FConsole->EnterLine(line);
  }
}

void TMainForm::RunAutoexec(const std::string& name)
{
  std::error_code error;
  if (name.empty() || !std::filesystem::exists(name, error)) return;
  const std::string shown = name;
  // Checked before reading: a huge file is neither read nor run.
  const auto size = std::filesystem::file_size(name, error);
  if (error || !std::filesystem::is_regular_file(name, error)) {
    const std::string why = platform::NotRegularReason(name);
    FConsole->AddWrapped("Cannot read " + shown + "; it was not run.");
    FConsole->AddWrapped("  " + shown + " " + (why.empty() ? "is not a regular file" : why));
    return;
  }
  // Its lines run as the user's own: a file someone else controls is not run.
  struct stat info {};
  const std::string untrusted = ::stat(name.c_str(), &info) != 0
                                    ? "cannot be read"
                                    : platform::UntrustedReason(info.st_uid, info.st_mode);
  if (!untrusted.empty()) {
    FConsole->AddWrapped(shown + " " + untrusted + "; it was not run.");
    return;
  }
  if (size > AutoexecMaxBytes) {
    FConsole->AddWrapped(shown + " is larger than " + std::to_string(AutoexecMaxBytes >> 20) +
                         " MiB; it was not run.");
    return;
  }
  std::string text;
  std::string readError;
  if (platform::ReadWholeFile(name, text, AutoexecMaxBytes, readError) != platform::TReadStatus::Ok) {
    FConsole->AddWrapped("Cannot read " + shown + "; it was not run.");
    FConsole->AddWrapped("  " + (readError.empty() ? shown + " cannot be opened" : readError));
    return;
  }
  if (text.find('\0') != std::string::npos) {
    FConsole->AddWrapped(shown + " is not a text file; it was not run.");
    return;
  }
  for (const std::string& line : render::SplitLines(text)) {
    if (FWindow->Closing()) break;
    if (!line.empty()) FConsole->EnterLine(line);
  }
}

void TMainForm::FormCreate()
{
  FOpenGL = std::make_unique<render::TOpenGL>(FWindow->Handle());  // 1 rendering context object
  FOpenGL->Width = FOptions.Width;
  FOpenGL->Height = FOptions.Height;
  FOpenGL->SetFullScreen(AskFullScreen());                              // 2 start-up question
  FOpenGL->CreateContext();                                             // 3 OpenGL context
  SetOverlaySwitches();                                                 // 4 overlay switches
  FBots.CreateCamera(FWindow->ClientWidth(), FWindow->ClientHeight());  // 5 camera
  CreateFontAndConsole();                                               // 6 font and console
  FSounds->CreateSoundManager(FConsole.get());                          // 7 sound manager
  SetFixedGLState();                                                    // 8 fixed OpenGL state
  platform::ShowCursor(false);                                          // 9 hidden cursor
  PrepareConsole();                                                     // 10 console opened
  FBots.CreateKeyMapAndBot();                                           // 11 keys and empty bot
  FGLTimer.SetEnabled(true);                                            // 12 frames start
}

void TMainForm::GLTimerTimer(TDXTimer&, int32_t)
{
  FollowWindowSize();
  const float* background = FBots.Style().Background;
  glClearColor(background[0], background[1], background[2], 0);
  FOpenGL->BeginFrame();                               // 1 clear
  FBots.MouseLook();                                   // 2 mouse look and camera
  FBots.AdvanceAndDrawBot();                           // 3 bot
  DrawFPSOverlay();                                    // 4 frames-per-second overlay
  SetConsoleSceneArea();                               // 5 where the frame holds more than black
  FConsole->Draw();                                    // 6 console
  FBots.DrawFrameNumberOverlay(*FFont, OverlayRow());  // 7 frame-number overlay
  TakeScreenshots();                                   // 8 screenshots of the finished frame
  FOpenGL->EndFrame();                                 // 9 swap
}

void TMainForm::FormDestroy()
{
  if (FDestroyed) return;
  FDestroyed = true;
  platform::Application().OnException = nullptr;
  FGLTimer.SetEnabled(false);
  platform::ShowCursor(true);
  FBots.Release();
  FBlinkTimer.SetEnabled(false);
  FFont.reset();
  FConsole.reset();
  if (FOpenGL) {
    FOpenGL->ReleaseContext();
    FOpenGL.reset();
  }
}

void TMainForm::ReportPlayError(const std::string& message)
{
  if (message == FLastPlayError) return;
  FLastPlayError = message;
  std::fprintf(stderr, "%s: %s\n", platform::Application().Title.c_str(), message.c_str());
  if (FConsole) FConsole->AddAboveInput(message);
  if (const std::string reason = FBots.TakeFailureReason(message); !reason.empty()) {
    std::fprintf(stderr, "  %s\n", reason.c_str());
    if (FConsole) FConsole->AddAboveInput("  " + reason);
  }
}

void TMainForm::FormKeyDown(uint16_t key)
{
  std::string message;
  // In the viewer the open console takes the keys typed into it; the demo's bot hears every
  // key, the console's or not.
  const bool typing = FConsole && FConsole->IsOpen() && FBots.Viewer().Viewing();
  if (key == platform::VK_ESCAPE)
    FWindow->Close();
  else if (FConsole && !FConsole->IsOpen() && FBots.ViewerKey(key, message)) {
    if (!message.empty()) FConsole->AddAboveInput(message);
  } else if (!ConsoleEditKey(key) && !typing)
    FBots.MovementKey(key, true);
  FBots.SteerBot();
}

bool TMainForm::ConsoleEditKey(uint16_t key)
{
  if (!FConsole || !FConsole->IsOpen()) return false;
  const uint16_t ctrl = platform::KeyShiftState() & platform::ssCtrl;
  for (const TConsoleKeyBinding& binding : ConsoleKeys) {
    if (binding.Key == key && binding.Ctrl == ctrl) {
      FConsole->EditKey(binding.Action);
      return true;
    }
  }
  // The viewer's console recalls its history with Up and Down alone, as consoles do.
  if (FBots.Viewer().Viewing() && ctrl == 0 &&
      (key == platform::VK_UP || key == platform::VK_DOWN)) {
    FConsole->EditKey(key == platform::VK_UP ? render::TConsoleKey::HistoryBack
                                             : render::TConsoleKey::HistoryForward);
    return true;
  }
  return false;
}

void TMainForm::FormKeyUp(uint16_t key)
{
  if (key == platform::VK_F12 && FConsole) FScreenshots.Request("", *FConsole);
  if (key == platform::VK_TAB) {
    if (FConsole) {
      FConsole->SetOpen(!FConsole->IsOpen());
      FBlinkTimer.SetEnabled(FConsole->IsOpen());
    }
  } else {
    FBots.MovementKey(key, false);
  }
  FBots.SteerBot();
}

void TMainForm::FormKeyPress(char key)
{
  // Tab only toggles the console: its character would be invisible and take room in the line.
  if (key == '\t') return;
  if (FConsole && FConsole->IsOpen()) FConsole->KeyChar(key);
}

void TMainForm::SetUpGLTimer()
{
  // As stored with the window: ActiveOnly, disabled, ticking on every idle pass.
  FGLTimer.Loading = true;
  FGLTimer.ActiveOnly = true;
  FGLTimer.SetEnabled(false);
  FGLTimer.SetInterval(0);
  FGLTimer.OnTimer = [this](TDXTimer& sender, int32_t lagCount) { GLTimerTimer(sender, lagCount); };
  FGLTimer.Loaded();
}

void TMainForm::SetOverlaySwitches() { FShowFPS = true; }

void TMainForm::CreateFontAndConsole()
{
  FFont = std::make_unique<render::TGLFont>(platform::ExeDir() + "Font.tga");
  FConsole = std::make_unique<render::TConsole>(FFont.get());
  FConsole->VisibleLines = 10;
  if (FOptions.View)
    for (const char* line : ViewerWelcome) FConsole->Add(line);
  else
    FConsole->LoadFromFile(platform::ExeDir() + "console.txt");  // optional: silent when missing
  FConsole->OnLine = [this](const std::string& line) { FCommands->ConsoleLine(line); };
  FConsole->Width = FWindow->ClientWidth();
  FConsole->Height = FWindow->ClientHeight();
  FBlinkTimer.OnTimer = [this] { FConsole->Blink(); };
}

void TMainForm::PrepareConsole()
{
  FConsole->Prepare();
  FConsole->SetOpen(true);
  FBlinkTimer.SetEnabled(true);
}

void TMainForm::DrawFPSOverlay()
{
  if (FShowFPS)
    FFont->Print(FPSColumn + (FFont->Width - 640) / render::TextCellWidth, OverlayRow(),
                 "FPS:" + std::to_string(FGLTimer.FrameRate()), 1);
}

int TMainForm::OverlayRow() const
{
  // As near the bottom in a window of any height as in one 480 pixels high.
  return FPSRow + (FFont->Height - 480) / render::TextCellHeight;
}

void TMainForm::SetConsoleSceneArea()
{
  // The frame was cleared to the clear colour: black outside what the bot and overlay drew.
  GLfloat clear[4] = {1, 1, 1, 1};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  if (clear[0] != 0 || clear[1] != 0 || clear[2] != 0) {
    FConsole->SceneArea = render::TScreenArea::Everything();
    return;
  }
  render::TScreenArea drawn = FBots.DrawnArea();
  if (FShowFPS) drawn = drawn.United(FFont->RowArea(OverlayRow()));
  FConsole->SceneArea = drawn;
}

void TMainForm::FollowWindowSize()
{
  if (!FOptions.View) return;  // only the viewer's window can be resized
  const int width = FWindow->ClientWidth(), height = FWindow->ClientHeight();
  if (width <= 0 || height <= 0 || (width == FConsole->Width && height == FConsole->Height)) return;
  FBots.Resize(width, height);
  FConsole->Width = FFont->Width = width;
  FConsole->Height = FFont->Height = height;
}

void TMainForm::TakeScreenshots()
{
  if (FScreenshots.Pending())
    FScreenshots.TakePending(FWindow->ClientWidth(), FWindow->ClientHeight(), *FConsole);
}

bool TMainForm::AskFullScreen() const
{
  switch (FOptions.Screen) {
    case TScreenChoice::Windowed: return false;
    case TScreenChoice::FullScreen: return true;
    case TScreenChoice::Ask: break;
  }
  return platform::MessageBox("Would you like to run fullscreen ?", "Quarn2 demo",
                              platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
}

void TMainForm::SetFixedGLState() { model::SetModelDrawingState(); }

}  // namespace quarn::shell
