#pragma once
#include <string>

namespace quarn::platform {

// Buttons and icons, combined with |. Values as the window system defines them.
enum MessageBoxFlags : unsigned {
  MB_OK = 0x0,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};

// Button results.
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A modal message box without owner window; returns the button pressed. In no-dialog mode
// (SetNoDialogs(true), or QUARN_NO_DIALOGS=1 in the environment) it writes the title and text
// to stderr and answers the default button (the first: OK or Yes) without blocking. When no
// window system is available it behaves the same way.
int MessageBox(const std::string& text, const std::string& title, unsigned flags);

void SetNoDialogs(bool value);
bool NoDialogs();

}  // namespace quarn::platform
