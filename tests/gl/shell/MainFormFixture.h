#pragma once
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "shell/MainForm.h"

// A real main window (windowed, no dialogs) on the test display, driven by calling its
// handlers directly.
class MainFormTest : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    quarn::platform::SetNoDialogs(true);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  void SetUp() override
  {
    quarn::shell::TMainFormOptions options;
    options.Screen = quarn::shell::TScreenChoice::Windowed;
    form = std::make_unique<quarn::shell::TMainForm>(options);
    ASSERT_TRUE(form->Started());
  }
  void TearDown() override { form.reset(); }

  const std::vector<std::string>& Lines() { return form->Console()->Lines(); }

  // Types a line as the user would: the characters, then Enter.
  void Enter(const std::string& line)
  {
    for (char c : line) form->FormKeyPress(c);
    form->FormKeyDown(13);
    form->FormKeyPress(13);
    form->FormKeyUp(13);
  }

  // The lines printed by running `line` through the console line handler.
  std::vector<std::string> Run(const std::string& line)
  {
    const size_t before = Lines().size();
    form->Commands().ConsoleLine(line);
    return {Lines().begin() + static_cast<long>(before), Lines().end()};
  }

  std::unique_ptr<quarn::shell::TMainForm> form;
};
