// Loading bots over and over keeps nothing of the bots replaced: their skins' pixels, texture
// objects and whatever the driver made for them go with them.
#include <malloc.h>

#include "MainFormFixture.h"
#include "render/Console.h"

namespace {

TEST_F(MainFormTest, RepeatedLoadsOfTheDemoBotLeaveTheHeapAsItWas)
{
  // Each load draws a frame with the new bot, then clears the console, which keeps every
  // line it printed.
  auto load = [&] {
    Run("LoadBot('bots/robot/robot.bot')");
    form->GLTimerTimer(form->GLTimer(), 0);
    form->Console()->EditKey(quarn::render::TConsoleKey::Clear);
  };
  for (int i = 0; i < 5; ++i) load();  // caches the first loads fill
  ASSERT_TRUE(form->Bots().Bot().Active());
  const size_t before = mallinfo2().uordblks;
  constexpr int Loads = 50;
  for (int i = 0; i < Loads; ++i) load();
  const size_t after = mallinfo2().uordblks;
  // A 128 x 128 skin's pixels are 64 KiB: far less than that stays from each load.
  EXPECT_LT(after, before + Loads * size_t(4096)) << "grew by " << after - before;
}

}  // namespace
