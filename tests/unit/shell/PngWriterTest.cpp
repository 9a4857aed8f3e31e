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
