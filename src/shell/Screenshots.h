#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::render {
class TConsole;
}

namespace quarn::shell {

// Window screenshots as PNG files, taken from a finished frame before it is shown.
class TScreenshots {
public:
  // Saves the next frame to the new file `fileName` (never over anything of that name), or
  // with an empty name to the first free quarn-NNNN.png in the current directory.
  void Request(const std::string& fileName, render::TConsole& console);
  // Saves every requested shot from the frame just drawn, reporting each on `console`.
  void TakePending(int32_t width, int32_t height, render::TConsole& console);
  bool Pending() const { return !FPending.empty(); }

private:
  std::vector<std::string> FPending;
};

}  // namespace quarn::shell
