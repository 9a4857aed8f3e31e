// Writing a file so that nothing is ever left half-written or beside it, never over anything
// when creating, and who may write or be trusted with a file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "support/ScratchFolder.h"

namespace quarn::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Entries(const std::string& folder)
{
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Contents(const std::string& name)
{
  std::string text;
  return ReadWholeFile(name, text) ? text : "<unreadable>";
}

TEST(CreateNewFile, WritesOnlyWhereNothingHasTheNameAndLeavesNothingBeside)
{
  enum class TThere { Nothing, File, Folder, Fifo, DanglingLink };
  const struct {
    const char* Name;
    TThere There;
    TCreateStatus Status;
    const char* Reason;
  } Cases[] = {
      {"a new name", TThere::Nothing, TCreateStatus::Written, ""},
      {"a file", TThere::File, TCreateStatus::Exists, "file exists"},
      {"a folder", TThere::Folder, TCreateStatus::Exists, "file exists"},
      {"a FIFO without a reader", TThere::Fifo, TCreateStatus::Exists, "file exists"},
      {"a link to nothing", TThere::DanglingLink, TCreateStatus::Exists, "file exists"},
  };
  for (const TTemporary temporary : {TTemporary::Unnamed, TTemporary::Named}) {
    for (const auto& c : Cases) {
      test::TScratchFolder scratch;
      const std::string name = scratch.Path + "shot.png";
      switch (c.There) {
        case TThere::Nothing: break;
        case TThere::File: scratch.Write("shot.png", "mine"); break;
        case TThere::Folder: fs::create_directory(name); break;
        case TThere::Fifo: ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); break;
        case TThere::DanglingLink: fs::create_symlink(scratch.Path + "target", name); break;
      }
      const TCreateResult result = CreateNewFile(name, "picture", nullptr, temporary);
      EXPECT_EQ(result.Status, c.Status) << c.Name;
      EXPECT_EQ(result.Reason, c.Reason) << c.Name;
      EXPECT_EQ(Entries(scratch.Path), std::vector<std::string>{"shot.png"}) << c.Name;
      if (c.There == TThere::Nothing) {
        EXPECT_EQ(Contents(name), "picture");
      }
      if (c.There == TThere::File) {
        EXPECT_EQ(Contents(name), "mine");
      }
    }
  }
  const TCreateResult missing = CreateNewFile("/nonexistent-folder/x.png", "p");
  EXPECT_EQ(missing.Status, TCreateStatus::Failed);
  EXPECT_EQ(missing.Reason, "No such file or directory");
}

// Writes half of what it is given, then the process is killed as `kill -9` would.
ssize_t HalfThenKilled(int fd, const void* data, size_t size)
{
  if (::write(fd, data, size / 2) > 0) ::raise(SIGKILL);
  return -1;
}

TEST(FileWrites, AProcessKilledMidWriteLeavesTheOldFileAndNoTemporaryFile)
{
  const struct {
    const char* Name;
    bool Replace;
  } Cases[] = {{"replacing a file", true}, {"creating a file", false}};
  for (const auto& c : Cases) {
    test::TScratchFolder scratch;
    const std::string old = scratch.Path + "old.txt";
    scratch.Write("old.txt", "old contents\r\n");
    const std::string big(8 << 20, 'd');
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::string error;
      if (c.Replace)
        ReplaceFile(old, big, error, HalfThenKilled);
      else
        CreateNewFile(scratch.Path + "new.png", big, HalfThenKilled);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << c.Name;
    EXPECT_EQ(Entries(scratch.Path), std::vector<std::string>{"old.txt"}) << c.Name;
    EXPECT_EQ(Contents(old), "old contents\r\n") << c.Name;
  }
}

TEST(WriteRefusal, TheModeMustLetTheUserWriteEvenForTheSuperuser)
{
  const bool root = ::geteuid() == 0;
  const uid_t stranger = 65534;
  const struct {
    mode_t Mode;
    bool Owned;  // else owned by another user and group: only the superuser can make one
    const char* Refusal;
  } Cases[] = {
      {0644, true, ""},  {0444, true, "it is read-only"},  {0066, true, "it is read-only"},
      {0646, false, ""}, {0664, false, "it is read-only"},
  };
  for (const auto& c : Cases) {
    if (!c.Owned && !root) continue;
    test::TScratchFolder scratch;
    const std::string name = scratch.Path + "file";
    scratch.Write("file", "x");
    if (!c.Owned) {
      ASSERT_EQ(::chown(name.c_str(), stranger, stranger), 0);
    }
    ASSERT_EQ(::chmod(name.c_str(), c.Mode), 0);
    EXPECT_EQ(WriteRefusal(name), c.Refusal) << std::oct << c.Mode << " owned " << c.Owned;
  }
  EXPECT_EQ(WriteRefusal("/nonexistent/file"), "No such file or directory");
}

TEST(UntrustedReason, OnlyTheUserOrTheSuperuserOwnsItAndNoOneElseMayWrite)
{
  const uid_t me = ::geteuid();
  const uid_t other = me == 4321 ? 4322 : 4321;
  const struct {
    uid_t Owner;
    mode_t Mode;
    std::string Reason;
  } Cases[] = {
      {me, S_IFREG | 0644, ""},
      {0, S_IFREG | 0644, ""},
      {me, S_IFREG | 0664, "can be changed by other users (mode 0664)"},
      {0, S_IFREG | 0602, "can be changed by other users (mode 0602)"},
      {other, S_IFREG | 0644, "is owned by another user (uid " + std::to_string(other) + ")"},
      {me, S_IFDIR | 0755, "is not a regular file"},
  };
  for (const auto& c : Cases)
    EXPECT_EQ(UntrustedReason(c.Owner, c.Mode), c.Reason) << c.Owner << " " << std::oct << c.Mode;
}

}  // namespace
}  // namespace quarn::platform
