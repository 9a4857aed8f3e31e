// ConDump's file: a dump replaces only an empty file or an earlier dump, never anything else
// the user may have, and says why it left a file alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/Files.h"
#include "shell/ConsoleDump.h"
#include "support/ScratchFolder.h"

namespace quarn::shell {
namespace {

namespace fs = std::filesystem;

const std::string EarlierDump =
    "About\r\nQuarn MD2 demo\r\nConsole dump at 07/12/2026 20:10:00\r\n";
const std::vector<std::string> Lines = {"About", "Console dump at 07/12/2026 21:00:00"};
const std::string Saved = "About\r\nConsole dump at 07/12/2026 21:00:00\r\n";

TEST(SaveConsoleDump, ReplacesOnlyAnEmptyFileOrAnEarlierDump)
{
  enum class TThere { Nothing, File, Folder, Fifo, LinkToFile, DanglingLink };
  const std::string keys = "ssh-ed25519 AAAAC3Nza user@host\n";
  const struct {
    const char* Name;
    TThere There;
    std::string Old;
    mode_t Mode;
    std::string Error;  // "" when saved; NAME stands for the file's name
  } Cases[] = {
      {"a new file", TThere::Nothing, "", 0, ""},
      {"an empty file", TThere::File, "", 0600, ""},
      {"an earlier dump", TThere::File, EarlierDump, 0644, ""},
      {"a long earlier dump", TThere::File, std::string(100000, 'x') + "\r\n" + EarlierDump, 0644,
       ""},
      {"a link to a dump", TThere::LinkToFile, EarlierDump, 0644, ""},
      {"someone's keys", TThere::File, keys, 0600,
       "Cannot replace file NAME: it is not empty and not a console dump"},
      {"a dump line not at the end", TThere::File, EarlierDump + "echo hi\n", 0644,
       "Cannot replace file NAME: it is not empty and not a console dump"},
      {"a last line too long for a dump", TThere::File, "Console dump at " + std::string(1000, '0'),
       0644, "Cannot replace file NAME: it is not empty and not a console dump"},
      {"a read-only dump", TThere::File, EarlierDump, 0444,
       "Cannot replace file NAME: it is read-only"},
      {"a link to keys", TThere::LinkToFile, keys, 0600,
       "Cannot replace file NAME: it is not empty and not a console dump"},
      {"a link to nothing", TThere::DanglingLink, "", 0, "Cannot create file NAME: file exists"},
      {"a folder", TThere::Folder, "", 0, "Cannot create file NAME: not a regular file"},
      {"a FIFO", TThere::Fifo, "", 0, "Cannot create file NAME: not a regular file"},
  };
  for (const auto& c : Cases) {
    test::TScratchFolder scratch;
    const std::string name = scratch.Path + "console.txt";
    const std::string target = scratch.Path + "target";
    switch (c.There) {
      case TThere::Nothing: break;
      case TThere::File: scratch.Write("console.txt", c.Old); break;
      case TThere::Folder: fs::create_directory(name); break;
      case TThere::Fifo: ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); break;
      case TThere::LinkToFile: scratch.Write("target", c.Old); [[fallthrough]];
      case TThere::DanglingLink: fs::create_symlink(target, name); break;
    }
    const std::string file = c.There == TThere::LinkToFile ? target : name;
    if (c.Mode != 0) {
      ASSERT_EQ(::chmod(file.c_str(), c.Mode), 0);
    }

    std::string error = c.Error;
    if (const size_t at = error.find("NAME"); at != std::string::npos) error.replace(at, 4, name);
    EXPECT_EQ(SaveConsoleDump(name, Lines), error) << c.Name;

    std::string after;
    const bool regular = c.There == TThere::File || c.There == TThere::LinkToFile;
    if (regular || c.There == TThere::Nothing) {
      ASSERT_TRUE(platform::ReadWholeFile(file, after)) << c.Name;
      EXPECT_EQ(after, error.empty() ? Saved : c.Old) << c.Name;
    }
    if (regular) {
      struct stat info {};
      ASSERT_EQ(::stat(file.c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, c.Mode) << c.Name << ": the mode is kept";
    }
    EXPECT_EQ(fs::is_symlink(name),
              c.There == TThere::LinkToFile || c.There == TThere::DanglingLink)
        << c.Name;
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path), {}),
              c.There == TThere::LinkToFile ? 2 : 1)
        << c.Name << ": nothing is left beside it";
  }
}

}  // namespace
}  // namespace quarn::shell
