#include "shell/Screenshots.h"

#include <cstdio>
#include <filesystem>

#include "images/PngWriter.h"
#include "render/Console.h"
#include "render/OpenGL.h"

namespace quarn::shell {

namespace {

constexpr size_t MaxPending = 16;  // a script loop cannot queue a frame's worth of files
constexpr int LastNumber = 9999;   // quarn-0001.png .. quarn-9999.png

std::string Numbered(int number)
{
  char name[32];
  std::snprintf(name, sizeof name, "quarn-%04d.png", number);
  return name;
}

std::string Absolute(const std::string& name)
{
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(name, error);
  return error ? name : path.string();
}

}  // namespace

void TScreenshots::Request(const std::string& fileName, render::TConsole& console)
{
  if (FPending.size() >= MaxPending) {
    console.AddWrapped("Screenshot not saved: " + std::to_string(MaxPending) +
                       " are waiting for the next frame");
    return;
  }
  FPending.push_back(fileName);
}

void TScreenshots::TakePending(int32_t width, int32_t height, render::TConsole& console)
{
  if (FPending.empty()) return;
  const images::TFramePixels pixels = render::ReadFramePixels(width, height);
  for (const std::string& name : FPending) {
    if (!name.empty()) {
      // Never over a file: a script line could otherwise overwrite any file the user may.
      const images::TWriteResult result =
          images::WritePNG(name, pixels, images::TWriteMode::CreateNew);
      if (result.Status == images::TWriteResult::TStatus::Written)
        console.AddWrapped("Screenshot saved to " + name);
      else
        console.AddWrapped("Screenshot not saved: " + name + ": " + result.Reason);
      continue;
    }
    // Numbered names never replace a file: each is created only if it does not exist yet.
    bool done = false;
    for (int number = 1; number <= LastNumber && !done; ++number) {
      const std::string numbered = Numbered(number);
      const images::TWriteResult result =
          images::WritePNG(numbered, pixels, images::TWriteMode::CreateNew);
      if (result.Status == images::TWriteResult::TStatus::Exists) continue;
      done = true;
      if (result.Status == images::TWriteResult::TStatus::Written)
        console.AddWrapped("Screenshot saved to " + Absolute(numbered));
      else
        console.AddWrapped("Screenshot not saved: " + Absolute(numbered) + ": " + result.Reason);
    }
    if (!done)
      console.AddWrapped("Screenshot not saved: quarn-0001.png to quarn-9999.png all exist");
  }
  FPending.clear();
}

}  // namespace quarn::shell
