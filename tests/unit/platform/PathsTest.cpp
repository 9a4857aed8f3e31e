// The path helpers every folder and file name of the program goes through.
#include <gtest/gtest.h>

#include "platform/Paths.h"

namespace {

TEST(Paths, SplitFolderBaseNameAndExtension)
{
  const struct {
    const char* Path;
    const char* Folder;
    const char* Base;
    const char* Stem;
    const char* Extension;
  } cases[] = {
      {"models/robot.md2", "models/", "robot.md2", "models/robot", ".md2"},
      {"robot.md2", "", "robot.md2", "robot", ".md2"},
      {"a.b/robot", "a.b/", "robot", "a.b/robot", ""},  // a dot in the folder is no extension
      {"skins/.hidden", "skins/", ".hidden", "skins/.hidden", ""},
      {"x.tar.gz", "", "x.tar.gz", "x.tar", ".gz"},
      {"dir/", "dir/", "", "dir/", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    EXPECT_EQ(quarn::platform::FolderOf(c.Path), c.Folder);
    EXPECT_EQ(quarn::platform::BaseNameOf(c.Path), c.Base);
    std::string stem, extension;
    quarn::platform::SplitExtension(c.Path, stem, extension);
    EXPECT_EQ(stem, c.Stem);
    EXPECT_EQ(extension, c.Extension);
  }
}

TEST(Paths, JoinPutsOneSlashBetween)
{
  EXPECT_EQ(quarn::platform::JoinPath("out", "a.png"), "out/a.png");
  EXPECT_EQ(quarn::platform::JoinPath("out/", "a.png"), "out/a.png");
  EXPECT_EQ(quarn::platform::JoinPath("", "a.png"), "a.png");
}

}  // namespace
