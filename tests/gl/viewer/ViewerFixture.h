#pragma once
#include <cmath>
#include <string>
#include <vector>

#include "MainFormFixture.h"
#include "bots/MD2Writer.h"
#include "support/FakeClock.h"
#include "support/ScratchFolder.h"

// A main window viewing a small model written for the test: a pyramid whose frames are named
// stand1..stand4, run1..run6 and jump1..jump3 (13 frames, so most built-in ranges lie past
// its end), its apex swinging from frame to frame. The bot's clock is a fake one.
class ViewerTest : public MainFormTest {
protected:
  void SetUp() override
  {
    MainFormTest::SetUp();
    form->Bots().TickClock = quarn::test::TFakeClock::Ticks;
    model = folder.Path + "pyramid.md2";
    ASSERT_TRUE(quarn::bots::SaveBytes(model, quarn::bots::WriteMD2(Pyramid())));
  }

  static quarn::bots::TMD2Content Pyramid()
  {
    quarn::bots::TMD2Content content;
    content.SkinWidth = content.SkinHeight = 64;
    content.TexCoords = {{0, 0}, {63, 0}, {32, 63}};
    content.Triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 1, 2}}, {{0, 3, 4}, {0, 1, 2}},
                         {{0, 4, 1}, {0, 1, 2}}, {{1, 4, 3}, {0, 1, 2}}, {{1, 3, 2}, {0, 1, 2}}};
    const struct {
      const char* Name;
      int Count;
    } groups[] = {{"stand", 4}, {"run", 6}, {"jump", 3}};
    int frame = 0;
    for (const auto& group : groups)
      for (int i = 1; i <= group.Count; ++i, ++frame) {
        const float swing = 10.0f * std::sin(float(frame));
        const std::vector<quarn::render::TVector> positions = {
            quarn::render::Vector(swing, 0, 40), quarn::render::Vector(-20, -20, 0),
            quarn::render::Vector(20, -20, 0), quarn::render::Vector(20, 20, 0),
            quarn::render::Vector(-20, 20, 0)};
        content.Frames.push_back(
            quarn::bots::QuantizeFrame(positions, group.Name + std::to_string(i)));
      }
    return content;
  }

  void View(const std::string& weapon = "")
  {
    form->Bots().ViewModel({model, "", weapon, ""}, *form->Console(), nullptr);
    ASSERT_TRUE(form->Bots().Bot().Active());
  }

  // What running `line` printed, its wrapped lines joined again.
  std::string Said(const std::string& line)
  {
    std::string text;
    for (const std::string& part : Run(line)) text += part;
    return text;
  }

  // One frame of the window after the fake clock moved on by `ms`, `times` over.
  void Frames(int times, uint32_t ms)
  {
    for (int i = 0; i < times; ++i) {
      quarn::test::TFakeClock::Advance(ms);
      form->GLTimerTimer(form->GLTimer(), 0);
    }
  }

  quarn::test::TFakeClock clock{1000};
  quarn::test::TScratchFolder folder;
  std::string model;
};
