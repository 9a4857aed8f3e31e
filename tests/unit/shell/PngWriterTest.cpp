#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "images/PngWriter.h"

namespace {

namespace fs = std::filesystem;
using quarn::images::TFramePixels;
using quarn::images::TWriteMode;
using TStatus = quarn::images::TWriteResult::TStatus;

class PngWriterTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string pattern = (fs::temp_directory_path() / "quarn-png-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    FDir = pattern;
  }
  void TearDown() override { fs::remove_all(FDir); }
  std::string File(const char* name) const { return (FDir / name).string(); }

  fs::path FDir;
};

// 2 x 2 pixels as read from GL: the bottom row (red, green) first, then the top (blue, white).
TFramePixels Sample() { return {2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}}; }

TEST_F(PngWriterTest, WritesTheWindowTopRowFirst)
{
  ASSERT_EQ(quarn::images::WritePNG(File("a.png"), Sample(), TWriteMode::Replace).Status,
            TStatus::Written);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, File("a.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(rgb, (std::vector<uint8_t>{0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0}));
}

// The fast encoder writes its own chunks: libpng reads back every byte, RGB and RGBA, with the
// Sub filter's differences wrapping round and the rows top first.
TEST_F(PngWriterTest, FastEncodingReadsBackExactly)
{
  for (const bool alpha : {false, true}) {
    TFramePixels pixels;
    pixels.Width = 37;
    pixels.Height = 5;
    pixels.Alpha = alpha;
    pixels.Rgb.resize(size_t(pixels.Width) * pixels.Height * pixels.PixelBytes());
    for (size_t i = 0; i < pixels.Rgb.size(); ++i) pixels.Rgb[i] = uint8_t(i * 97 + i / 7 * 251);
    std::vector<uint8_t> png;
    std::string reason;
    ASSERT_TRUE(quarn::images::EncodePNG(pixels, png, reason, quarn::images::TPngCompression::Fast))
        << reason;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
    EXPECT_EQ(image.format, alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB);
    std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
    // A negative stride reads the rows bottom up, as the frame keeps them.
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(),
                                      -int(pixels.Width * pixels.PixelBytes()), nullptr))
        << image.message;
    EXPECT_EQ(read, pixels.Rgb) << (alpha ? "RGBA" : "RGB");
  }
}

TEST_F(PngWriterTest, FailuresAreReasonsNotCrashesOrWaits)
{
  std::ofstream(File("taken.png")) << "keep";
  EXPECT_EQ(quarn::images::WritePNG(File("taken.png"), Sample(), TWriteMode::CreateNew).Status,
            TStatus::Exists);
  EXPECT_EQ(fs::file_size(File("taken.png")), 4u);

  const auto missing =
      quarn::images::WritePNG(File("no/such/dir.png"), Sample(), TWriteMode::Replace);
  EXPECT_EQ(missing.Status, TStatus::Failed);
  EXPECT_EQ(missing.Reason, "No such file or directory");

  EXPECT_EQ(quarn::images::WritePNG(FDir.string(), Sample(), TWriteMode::Replace).Status,
            TStatus::Failed);
  ASSERT_EQ(::mkfifo(File("fifo").c_str(), 0600), 0);
  const auto fifo = quarn::images::WritePNG(File("fifo"), Sample(), TWriteMode::Replace);
  EXPECT_EQ(fifo.Status, TStatus::Failed);
  EXPECT_EQ(fifo.Reason, "not a regular file");
  EXPECT_EQ(quarn::images::WritePNG(File("empty.png"), TFramePixels{}, TWriteMode::Replace).Status,
            TStatus::Failed);
}

}  // namespace
