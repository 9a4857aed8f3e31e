// The texture loaders' reports on files that never reach the GL upload (no context needed).
#include <gtest/gtest.h>

#include <filesystem>

#include "ImageFiles.h"
#include "images/LoadStop.h"
#include "platform/MessageBox.h"
#include "render/Texture.h"

namespace quarn::render {
namespace {

using namespace images;

namespace fs = std::filesystem;

class TextureFiles : public ::testing::Test {
protected:
  void SetUp() override
  {
    platform::SetNoDialogs(true);
    Dir = fs::temp_directory_path() /
          ("quarn_texture_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string Write(const std::string& name, const testing::Bytes& data)
  {
    const std::string path = (Dir / name).string();
    fs::create_directories(fs::path(path).parent_path());
    testing::WriteFile(path, data);
    return path;
  }

  // What the loader showed in its message boxes (no-dialog mode writes them to stderr).
  template <typename F>
  std::string Messages(F load, bool expectedResult = false)
  {
    ::testing::internal::CaptureStderr();
    const bool result = load();
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, expectedResult);
    return shown;
  }

  fs::path Dir;
  TTexture Texture;
};

TEST(FileNameParts, ExtensionFromTheLastDotAndDirectoryWithSeparator)
{
  EXPECT_EQ(ExtractFileExt("skins/robot.Jpg"), ".Jpg");
  EXPECT_EQ(ExtractFileExt("a.b.wal"), ".wal");
  EXPECT_EQ(ExtractFileExt("noext"), "");
  EXPECT_EQ(ExtractFileExt("dir.v2/noext"), "");
  EXPECT_EQ(ExtractFilePath("/opt/bots/robot/skin.wal"), "/opt/bots/robot/");
  EXPECT_EQ(ExtractFilePath("skin.wal"), "");
}

TEST_F(TextureFiles, UnknownExtensionsAreRefusedWithoutLookingAtTheFile)
{
  const std::string tga = Write("skin.tga", testing::MakeTga(2, 2, 24));
  for (const char* name : {"skin.jpeg", "skin.png", "skin", "skin.tga.bak", "skin.TGA2"}) {
    const std::string path = Write(name, testing::MakeTga(2, 2, 24));
    EXPECT_EQ(Messages([&] { return Texture.LoadFromFile(path); }), "") << name;
  }
  EXPECT_EQ(Texture.GetID(), 0u);
  EXPECT_EQ(Texture.Width, 0);
}

TEST_F(TextureFiles, ExtensionChoosesTheReaderInAnyCase)
{
  // A TGA under JPEG names reaches the JPEG reader, which reports it.
  const testing::Bytes tga = testing::MakeTga(2, 2, 24);
  for (const char* name : {"a.jpg", "b.Jpg", "c.JPG"}) {
    const std::string path = Write(name, tga);
    EXPECT_EQ(Messages([&] { return Texture.LoadFromFile(path); }),
              "BMP Unit: Couldn't load JPG - \"" + path + "\"\n");
  }
  // Under a BMP name the BMP reader reports the header it cannot read.
  const std::string bmp = Write("d.Bmp", testing::Bytes(10, 0));
  EXPECT_EQ(Messages([&] { return Texture.LoadFromFile(bmp); }),
            "BMP Unit: Error reading bitmap data\n");
}

TEST_F(TextureFiles, BmpReaderMessages)
{
  const std::string missing = (Dir / "missing.bmp").string();
  EXPECT_EQ(Messages([&] { return Texture.LoadBMP(missing); }),
            "BMP Unit: Error opening " + missing + "\n");

  testing::BmpOptions paletted;
  paletted.Bits = 8;
  testing::Bytes file = testing::MakeBmp(4, 4, paletted);
  const std::string shortPalette =
      Write("palette.bmp", testing::Bytes(file.begin(), file.begin() + 54 + 100));
  EXPECT_EQ(Messages([&] { return Texture.LoadBMP(shortPalette); }),
            "BMP Unit: Error reading palette\n");

  const std::string shortData = Write("data.bmp", testing::Bytes(file.begin(), file.end() - 1));
  EXPECT_EQ(Messages([&] { return Texture.LoadBMP(shortData); }),
            "BMP Unit: Error reading bitmap data\n");

  testing::BmpOptions fourBits;
  fourBits.Bits = 4;
  const std::string refused = Write("four.bmp", testing::MakeBmp(4, 4, fourBits));
  EXPECT_EQ(Messages([&] { return Texture.LoadBMP(refused); }), "");
  EXPECT_EQ(Texture.GetID(), 0u);
}

TEST_F(TextureFiles, JpegReaderMessageQuotesTheName)
{
  const std::string missing = (Dir / "none.jpg").string();
  EXPECT_EQ(Messages([&] { return Texture.LoadJPG(missing); }),
            "BMP Unit: Couldn't load JPG - \"" + missing + "\"\n");
}

TEST_F(TextureFiles, TgaWalAndPcxFailuresAreSilent)
{
  EXPECT_EQ(Messages([&] { return Texture.LoadTGA((Dir / "none.tga").string()); }), "");
  const std::string bad = Write("bad.tga", testing::Bytes(18, 0));
  EXPECT_EQ(Messages([&] { return Texture.LoadTGA(bad); }), "");
  EXPECT_EQ(Messages([&] { return Texture.LoadFromFile((Dir / "none.pcx").string()); }), "");
  const std::string badPcx = Write("bad.PCX", testing::Bytes(200, 0x0A));
  EXPECT_EQ(Messages([&] { return Texture.LoadFromFile(badPcx); }), "");
  EXPECT_EQ(Texture.GetID(), 0u);

  // The palette is looked for next to the WAL file only.
  const std::string wal = Write("wall.wal", testing::MakeWal(2, 2));
  testing::WriteFile("palette.pal", testing::MakePalette());  // in the working directory
  EXPECT_EQ(Messages([&] { return Texture.LoadFromFile(wal); }), "");
  fs::remove("palette.pal");
  EXPECT_EQ(Messages([&] { return Texture.LoadWAL((Dir / "none.wal").string(), wal); }), "");
}

// A JPEG start of scan marker's offset (FF DA), or the end.
size_t ScanStart(const testing::Bytes& jpeg)
{
  for (size_t i = 2; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i;
  return jpeg.size();
}

TEST_F(TextureFiles, CutWalAndCorruptJpegFailWithTheirReason)
{
  const testing::Bytes wal = testing::MakeWal(4, 4), palette = testing::MakePalette();
  const testing::Bytes jpeg = testing::MakeJpeg(64, 64);
  ASSERT_LT(ScanStart(jpeg) + 40, jpeg.size());
  const struct {
    const char* Name;  // in a folder of its own, with its palette.pal
    testing::Bytes File, Palette;
    std::string Reason;  // "@" stands for the palette's path
  } cases[] = {
      {"short.wal", testing::Bytes(wal.begin(), wal.end() - 3), palette,
       "WAL pixel data is cut short"},
      {"header.wal", testing::Bytes(wal.begin(), wal.begin() + 50), palette,
       "WAL header is cut short"},
      {"palette.wal", wal, testing::Bytes(palette.begin(), palette.end() - 1),
       "the palette @ is cut short"},
      {"cut.jpg",
       testing::Bytes(jpeg.begin(), jpeg.begin() + long(ScanStart(jpeg) + 40)),
       {},
       "Premature end of JPEG file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string folder = std::string(c.Name) + "-dir/";
    const std::string palettePath = Write(folder + "palette.pal", c.Palette);
    const std::string path = Write(folder + c.Name, c.File);
    Messages([&] {
      bool loaded = true;
      EXPECT_NO_THROW(loaded = Texture.LoadFromFile(path));
      return loaded;
    });
    std::string reason = c.Reason;
    if (const size_t at = reason.find('@'); at != std::string::npos)
      reason.replace(at, 1, palettePath);
    EXPECT_EQ(Texture.FailReason, reason);
    EXPECT_EQ(Texture.GetID(), 0u);
  }
}

TEST_F(TextureFiles, FilesLargerThanAnyImageOfTheirFormatAreRefusedUnread)
{
  // Sparse files: the size is there, the bytes are not.
  const struct {
    const char* Name;
    uint64_t Largest;
    const char* Reason;
  } cases[] = {
      {"a.tga", MaxTgaFileSize, "TGA file is too large: "},
      {"b.bmp", MaxBmpFileSize, "BMP file is too large: "},
      {"c.pcx", MaxPcxFileSize, "PCX file is too large: "},
      {"d.png", MaxPngFileSize, "PNG file is too large: "},
      {"e.jpg", MaxJpegFileSize, "JPEG file is too large: "},
      {"f.wal", MaxWalFileSize, "WAL file is too large: "},
  };
  Write("palette.pal", testing::MakePalette());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = Write(c.Name, testing::MakeTga(2, 2, 24));
    fs::resize_file(path, c.Largest + 1);
    Messages([&] { return Texture.LoadFromFile(path); });
    EXPECT_EQ(Texture.FailReason, c.Reason + std::to_string(c.Largest + 1) + " bytes, at most " +
                                      std::to_string(c.Largest));
    fs::remove(path);
  }
  // The largest image of each format fits: a 32-bit TGA of 8192 x 8192 pixels in one-pixel
  // packets, with an image ID and a colour map.
  EXPECT_GE(MaxTgaFileSize, 18 + 255 + 65535 * 4 + 5 * MaxImagePixels);

  // A WAL file's palette is read whole too.
  const std::string wal = Write("g.wal", testing::MakeWal(2, 2));
  fs::resize_file(Dir / "palette.pal", MaxPaletteFileSize + 1);
  Messages([&] { return Texture.LoadFromFile(wal); });
  EXPECT_EQ(Texture.FailReason,
            "cannot read the palette " + (Dir / "palette.pal").string() +
                ": palette is too large: " + std::to_string(MaxPaletteFileSize + 1) +
                " bytes, at most " + std::to_string(MaxPaletteFileSize));
}

// Set while a test asks loads to stop; counts how often the loads asked.
int stopPolls = 0;
bool StopNow()
{
  ++stopPolls;
  return true;
}

TEST(LoadStop, LargeImagesStopWhenThePollSaysSo)
{
  // Each image is past StopPollWork pixels, so every decoder asks the poll at least once.
  const int width = 1100, height = 1000;
  const struct {
    const char* Format;
    testing::Bytes File;
    TDecodeResult (*Decode)(TBytes, TImage&, std::string*);
  } cases[] = {
      {"TGA", testing::MakeTga(width, height, 24), DecodeTGA},
      {"BMP", testing::MakeBmp(width, height, {}), DecodeBMP},
      {"JPEG", testing::MakeJpeg(width, height), DecodeJPG},
      {"WAL", testing::MakeWal(width, height),
       [](TBytes wal, TImage& image, std::string* reason) {
         return DecodeWAL(wal, testing::MakePalette(), image, reason);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Format);
    TImage image;
    std::string reason;
    SetStopPoll(StopNow);
    stopPolls = 0;
    EXPECT_NE(c.Decode(c.File, image, &reason), TDecodeResult::Ok);
    SetStopPoll(nullptr);
    EXPECT_EQ(reason, StoppedReason);
    EXPECT_EQ(stopPolls, 1);
    EXPECT_TRUE(image.Pixels.empty());
    EXPECT_EQ(c.Decode(c.File, image, &reason), TDecodeResult::Ok);  // without a poll
  }
}

TEST_F(TextureFiles, FileReadsStopWhenThePollSaysSoWithoutAMessageBox)
{
  const struct {
    const char* Name;
    testing::Bytes Data;
  } files[] = {
      {"big.tga", testing::MakeTga(1100, 1000, 24)},
      {"small.jpg", testing::MakeJpeg(8, 8)},
      {"small.bmp", testing::MakeBmp(2, 2, {})},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.Name);
    const std::string path = Write(f.Name, f.Data);
    SetStopPoll(StopNow);
    EXPECT_EQ(Messages([&] { return Texture.LoadFromFile(path); }), "");
    SetStopPoll(nullptr);
    EXPECT_EQ(Texture.FailReason, StoppedReason);
    EXPECT_EQ(Texture.GetID(), 0u);
  }
}

}  // namespace
}  // namespace quarn::render
