#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Signals.h"

namespace quarn::platform {

namespace {

bool noDialogs = [] {
  const char* value = std::getenv("QUARN_NO_DIALOGS");
  return value && std::strcmp(value, "0") != 0 && *value;
}();

int DefaultButton(unsigned flags) { return (flags & 0xF) == MB_YESNO ? IDYES : IDOK; }

}  // namespace

void SetNoDialogs(bool value) { noDialogs = value; }
bool NoDialogs() { return noDialogs; }

int MessageBox(const std::string& text, const std::string& title, unsigned flags)
{
  if (noDialogs) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return DefaultButton(flags);
  }

  Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
  switch (flags & 0xF0) {
    case MB_ICONERROR: kind = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONWARNING: kind = SDL_MESSAGEBOX_WARNING; break;
    default: break;
  }
  SDL_MessageBoxButtonData yesNo[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
  };
  SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
       "OK"},
  };
  const bool isYesNo = (flags & 0xF) == MB_YESNO;
  SDL_MessageBoxData data{};
  data.flags = kind;
  data.title = title.c_str();
  data.message = text.c_str();
  data.numbuttons = isYesNo ? 2 : 1;
  data.buttons = isYesNo ? yesNo : ok;

  int button = 0;
  int shown;
  {
    const TModalSection modal;  // Ctrl+C and SIGTERM still end the program
    shown = SDL_ShowMessageBox(&data, &button);
  }
  if (shown != 0 || button < 0) {
    // No window system to show it on: report it like the no-dialog mode does.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return DefaultButton(flags);
  }
  return button;
}

}  // namespace quarn::platform
