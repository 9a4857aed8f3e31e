#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "render/OpenGL.h"
#include "shell/DXTimer.h"

namespace quarn::shell {

enum class TScreenChoice { Ask, Windowed, FullScreen };

struct TMainFormOptions {
  TScreenChoice Screen = TScreenChoice::Ask;
};

inline constexpr const char* kCaption = "Quarn MD2 demo";
inline constexpr int kClientWidth = 640;
inline constexpr int kClientHeight = 480;

// The program's only window and the owner of everything that lives for the whole run.
// Construction creates the window and runs FormCreate; destruction runs FormDestroy.
class TMainForm {
public:
  explicit TMainForm(const TMainFormOptions& options = {});
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  void FormCreate();
  void FormDestroy();
  void GLTimerTimer(TDXTimer& sender, int32_t lagCount);
  void FormKeyDown(uint16_t key);
  void FormKeyUp(uint16_t key);
  void FormKeyPress(char key);

  platform::TWindow& Window() { return *FWindow; }
  render::TOpenGL* OpenGL() { return FOpenGL.get(); }
  // Whether the creation handler ran to its end.
  bool Started() const { return FStarted; }

  std::unique_ptr<platform::TWindow> FWindow;  // created first, freed last
  TDXTimer GLTimer;

private:
  bool AskFullScreen() const;
  void SetFixedGLState();

  TMainFormOptions FOptions;
  std::unique_ptr<render::TOpenGL> FOpenGL;
  bool FStarted = false;
  bool FDestroyed = false;
};

}  // namespace quarn::shell
