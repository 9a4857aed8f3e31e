// Choosing the viewed model's skin at run time: the skins its recorded names lead to and the
// images beside it, by number, or any file; a skin that cannot be loaded leaves the one shown.
#include <sys/stat.h>

#include <filesystem>

#include "ViewerFixture.h"

namespace {

// An 8 x 8 true-colour TGA of one colour.
std::string Tga(uint8_t r, uint8_t g, uint8_t b)
{
  std::string bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 24, 0x20};
  for (int i = 0; i < 64; ++i) bytes += {char(b), char(g), char(r)};
  return bytes;
}

TEST_F(ViewerTest, SkinsListsTheRecordedAndNearbySkinsAndSkinAndLoadSkinSwitch)
{
  quarn::bots::TMD2Content content = Pyramid();
  content.SkinNames = {"models/pyramid/green.tga"};
  ASSERT_TRUE(quarn::bots::SaveBytes(model, quarn::bots::WriteMD2(content)));
  folder.Write("green.tga", Tga(0, 255, 0));
  folder.Write("blue.tga", Tga(0, 0, 255));
  folder.Write("broken.tga", "not an image");
  folder.Write("notes.txt", "not a skin");
  View();
  const std::string& p = folder.Path;
  const quarn::bots::TMD2& body = form->Bots().Bot().Model();
  ASSERT_EQ(body.SkinFileName(), p + "green.tga");

  // The recorded skin first, then the other images beside the model, sorted.
  EXPECT_THAT(form->Bots().Viewer().SkinChoices(),
              ::testing::ElementsAre(p + "green.tga", p + "blue.tga", p + "broken.tga"));
  EXPECT_EQ(Said("Skins"), "1 " + p + "green.tga (in use)2 " + p + "blue.tga3 " + p + "broken.tga");
  struct TStep {
    std::string Line;
    std::string Said;  // what it printed
    std::string Skin;  // the skin on the body afterwards
  };
  const TStep Steps[] = {
      {"Skin(2)", "Skin " + p + "blue.tga on " + model, p + "blue.tga"},
      {"Skin(3)",
       "Skin " + p + "broken.tga was not loaded: TGA header is cut short; the model keeps its skin",
       p + "blue.tga"},
      {"Skin(4)", "Skin: choose 1 to 3; Skins lists them", p + "blue.tga"},
      // A recorded-style name is looked for beside the model, with the image extensions.
      {"LoadSkin('green')", "Skin " + p + "green.tga on " + model, p + "green.tga"},
      {"LoadSkin('" + p + "blue.tga')", "Skin " + p + "blue.tga on " + model, p + "blue.tga"},
      {"LoadSkin('" + p + "missing.png')",
       "Skin " + p + "missing.png not found; the model keeps its skin. Tried:  " + p +
           "missing.png  " + p + "missing.pcx  " + p + "missing.tga  " + p + "missing.bmp  " + p +
           "missing.jpg  " + p + "missing.wal",
       p + "blue.tga"},
      // Something of that name that is no image file is said to be what it is.
      {"LoadSkin('" + p + "zero.png')",
       "Skin " + p + "zero.png was not loaded: " + p + "zero.png is a device; the model keeps its skin",
       p + "blue.tga"},
      {"LoadSkin('" + p + "pipe.png')",
       "Skin " + p + "pipe.png was not loaded: " + p + "pipe.png is a FIFO; the model keeps its skin",
       p + "blue.tga"},
      {"LoadSkin('" + p + "folder.png')",
       "Skin " + p + "folder.png was not loaded: " + p +
           "folder.png is a folder; the model keeps its skin",
       p + "blue.tga"},
  };
  std::filesystem::create_symlink("/dev/zero", p + "zero.png");
  ASSERT_EQ(::mkfifo((p + "pipe.png").c_str(), 0600), 0);
  std::filesystem::create_directory(p + "folder.png");
  for (const TStep& step : Steps) {
    EXPECT_EQ(Said(step.Line), step.Said) << step.Line;
    EXPECT_EQ(body.SkinFileName(), step.Skin) << step.Line;
  }
  Frames(2, 10);  // the skin in use draws
}

TEST_F(ViewerTest, SkinNumbersKeepTheirFilesUntilTheNextModelIsViewed)
{
  // No recorded skin: the one named after the model is found and listed first, whichever
  // skin is put on afterwards.
  folder.Write("pyramid.tga", Tga(255, 0, 0));
  folder.Write("a.tga", Tga(0, 255, 0));
  folder.Write("b.tga", Tga(0, 0, 255));
  View();
  const std::string& p = folder.Path;
  const quarn::bots::TMD2& body = form->Bots().Bot().Model();
  const struct {
    const char* Line;
    std::string Said;
  } Steps[] = {
      {"Skins", "1 " + p + "pyramid.tga (in use)2 " + p + "a.tga3 " + p + "b.tga"},
      {"Skin(2)", "Skin " + p + "a.tga on " + model},
      {"Skin(2)", "Skin " + p + "a.tga on " + model},
      {"Skins", "1 " + p + "pyramid.tga2 " + p + "a.tga (in use)3 " + p + "b.tga"},
      {"Skin(3)", "Skin " + p + "b.tga on " + model},
      {"Skin(1)", "Skin " + p + "pyramid.tga on " + model},
  };
  for (const auto& step : Steps) EXPECT_EQ(Said(step.Line), step.Said) << step.Line;
  EXPECT_EQ(body.SkinFileName(), p + "pyramid.tga");

  // A new image counts from the next model viewed.
  folder.Write("0.tga", Tga(0, 0, 0));
  EXPECT_EQ(Said("Skin(4)"), "Skin: choose 1 to 3; Skins lists them");
  View();
  EXPECT_EQ(Said("Skin(2)"), "Skin " + p + "0.tga on " + model);
}

}  // namespace
