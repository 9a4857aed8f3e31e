// Reading bot and animation files with a size limit and the reason of a failure; replacing a
// file so that a failed write leaves the old one whole; line ends rewritten in place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Files.h"
#include "render/Console.h"

namespace quarn::platform {
namespace {

namespace fs = std::filesystem;

class TScratch {
public:
  TScratch() : FDir(fs::temp_directory_path() / ("quarn-files-" + std::to_string(::getpid())))
  {
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  ~TScratch() { fs::remove_all(FDir); }
  std::string Path(const char* name) const { return (FDir / name).string(); }
  size_t Entries() const
  {
    return static_cast<size_t>(std::distance(fs::directory_iterator(FDir), {}));
  }

private:
  fs::path FDir;
};

std::string Contents(const std::string& name)
{
  std::string text;
  EXPECT_TRUE(ReadWholeFile(name, text));
  return text;
}

TEST(ReadWholeFileLimited, RefusesALargeFileBeforeReadingAndGivesTheReasonOfAFailure)
{
  TScratch scratch;
  const std::string big = scratch.Path("big.bot");
  {
    std::ofstream create(big);
  }
  fs::resize_file(big, MaxTextFileSize + 1);  // sparse: no disk used
  std::string text = "kept";
  std::string error;
  EXPECT_EQ(ReadWholeFile(big, text, MaxTextFileSize, error), TReadStatus::Failed);
  EXPECT_EQ(error, "Cannot read file " + big + ": the file is larger than 64 MiB");
  EXPECT_EQ(text, "kept");

  // Reading the start of one's own memory fails with an I/O error.
  EXPECT_EQ(ReadWholeFile("/proc/self/mem", text, MaxTextFileSize, error), TReadStatus::Failed);
  EXPECT_EQ(error, "Cannot read file /proc/self/mem: Input/output error");

  EXPECT_EQ(ReadWholeFile(scratch.Path("none"), text, MaxTextFileSize, error),
            TReadStatus::Missing);
  fs::resize_file(big, 3);
  EXPECT_EQ(ReadWholeFile(big, text, MaxTextFileSize, error), TReadStatus::Ok);
  EXPECT_EQ(text, std::string(3, '\0'));
}

// Writes half of what it is given, then fails as a full disk does.
ssize_t HalfThenFull(int fd, const void* data, size_t size)
{
  static bool wrote = false;
  if (!wrote && size > 1) {
    wrote = true;
    return ::write(fd, data, size / 2);
  }
  wrote = false;
  errno = ENOSPC;
  return -1;
}

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileWholeAndNothingBeside)
{
  TScratch scratch;
  const std::string name = scratch.Path("dump.txt");
  std::string error;
  ASSERT_TRUE(ReplaceFile(name, "old contents\r\n", error)) << error;
  EXPECT_FALSE(ReplaceFile(name, std::string(100000, 'n'), error, HalfThenFull));
  EXPECT_EQ(error, "Cannot write file " + name + ": No space left on device");
  EXPECT_EQ(Contents(name), "old contents\r\n");
  EXPECT_EQ(scratch.Entries(), 1u);

  ASSERT_TRUE(ReplaceFile(name, "new", error)) << error;
  EXPECT_EQ(Contents(name), "new");
  EXPECT_FALSE(ReplaceFile("/dev/full", "x", error));
  EXPECT_EQ(error, "Cannot write file /dev/full: No space left on device");
}

TEST(ToCrLfLines, GivesSplitLinesJoinedWithCrLfAndNextLineWalksTheSameLines)
{
  for (const std::string text : {"", "a", "a\r\nb\rc\nd", "a\r\n", "a\n\nb", "\r\n", "a\n\r",
                                 "\n\n\n", "\r\r\n\n", "xy\rz"}) {
    std::string joined;
    for (const std::string& line : render::SplitLines(text)) joined += line + "\r\n";
    std::string converted = text;
    render::ToCrLfLines(converted);
    EXPECT_EQ(converted, joined) << text;

    std::string walked;
    std::string_view line;
    for (size_t at = 0; at < text.size();) {
      at = render::NextLine(text, at, line);
      walked += std::string(line) + "\r\n";
    }
    EXPECT_EQ(walked, joined) << text;
  }
}

}  // namespace
}  // namespace quarn::platform
