#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <new>
#include <random>
#include <vector>

namespace quarn::platform {

namespace {

// Closes a descriptor when the read or write ends, however it ends.
class TFd {
public:
  explicit TFd(int fd) : FFd(fd) {}
  ~TFd()
  {
    if (FFd >= 0) ::close(FFd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }
  int Release()
  {
    const int fd = FFd;
    FFd = -1;
    return fd;
  }

private:
  int FFd;
};

std::string SizeText(uint64_t bytes)
{
  if (bytes % (uint64_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

// Reads into `read`; an empty reason when it worked. The size of a regular file is checked
// before any byte is read; a pipe or device is cut off one byte past the limit.
template <class TContents>
std::string ReadInto(const std::string& fileName, TContents& read, uint64_t maxSize,
                     TFileKinds kinds, bool& missing)
{
  missing = false;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(fileName, error);
  if (kinds == TFileKinds::Regular ? !std::filesystem::is_regular_file(status)
                                   : std::filesystem::is_directory(status)) {
    missing = true;
    return {};
  }
  TFd fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    missing = true;
    return {};
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode)) {
    if (static_cast<uint64_t>(info.st_size) > maxSize)
      return "the file is larger than " + SizeText(maxSize);
    try {
      read.reserve(static_cast<size_t>(info.st_size));
    } catch (const std::exception&) {
      return std::strerror(ENOMEM);
    }
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n == 0) return {};
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::strerror(errno);
    }
    if (read.size() + static_cast<uint64_t>(n) > maxSize)
      return "the file is larger than " + SizeText(maxSize);
    try {
      const auto* first = reinterpret_cast<const typename TContents::value_type*>(buffer);
      read.insert(read.end(), first, first + n);
    } catch (const std::exception&) {
      return std::strerror(ENOMEM);
    }
  }
}

template <class TContents>
bool ReadAll(const std::string& fileName, TContents& contents, TFileKinds kinds)
{
  TContents read;
  bool missing;
  const std::string reason = ReadInto(fileName, read, UINT64_MAX, kinds, missing);
  if (missing || !reason.empty()) return false;
  contents = std::move(read);
  return true;
}

bool WriteAll(int fd, std::string_view contents, TWriteCall write, int& error)
{
  while (!contents.empty()) {
    const ssize_t n = write(fd, contents.data(), contents.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

ssize_t PosixWrite(int fd, const void* data, size_t size) { return ::write(fd, data, size); }

constexpr int TemporaryNameTries = 16;

// A file written in a folder before it takes its name. Unnamed (O_TMPFILE) where the file
// system allows: until it is linked in, the process ending in any way frees it. Otherwise it
// has a temporary name, removed again unless the file took the target's place.
class TPendingFile {
public:
  TPendingFile(const std::filesystem::path& target, TTemporary temporary) : FTarget(target)
  {
    std::string folder = target.parent_path().string();
    if (folder.empty()) folder = ".";
    if (temporary == TTemporary::Unnamed) {
      FFd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
      // Refused for the folder itself (missing, not one, not writable): the named way would
      // fail the same.
      if (FFd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return;
    }
    std::string name = target.string() + ".XXXXXX";
    FFd = ::mkstemp(name.data());
    if (FFd >= 0) FName = std::move(name);
  }
  ~TPendingFile()
  {
    if (FFd >= 0) ::close(FFd);
    if (!FName.empty()) ::unlink(FName.c_str());
  }
  TPendingFile(const TPendingFile&) = delete;
  TPendingFile& operator=(const TPendingFile&) = delete;

  int Fd() const { return FFd; }

  // Writes everything and gives the file `mode`; 0 or the error number.
  int Fill(std::string_view contents, TWriteCall write, mode_t mode,
           TDurability durability = TDurability::Synced) const
  {
    int failure = 0;
    if (!WriteAll(FFd, contents, write, failure)) return failure;
    ::fchmod(FFd, mode);  // best effort: some file systems keep no modes
    if (durability == TDurability::Synced && ::fsync(FFd) != 0 && errno != EINVAL) return errno;
    return 0;
  }

  // Gives the written file the target's name; EEXIST when anything has that name already.
  int TakeName()
  {
    if (!FName.empty()) return ::link(FName.c_str(), FTarget.c_str()) == 0 ? 0 : errno;
    return LinkUnnamed(FTarget.string());
  }

  // Puts the written file in the target's place, whatever is there.
  int TakePlace()
  {
    // An unnamed file cannot be renamed over another: it takes a name beside the target for
    // the moment of the rename.
    thread_local std::minstd_rand random(std::random_device{}());
    for (int attempt = 0; attempt < TemporaryNameTries && FName.empty(); ++attempt) {
      char suffix[16];
      std::snprintf(suffix, sizeof suffix, ".%06u", unsigned(random() % 1000000));
      const std::string name = FTarget.string() + suffix;
      const int failure = LinkUnnamed(name);
      if (failure == 0)
        FName = name;
      else if (failure != EEXIST)
        return failure;
    }
    if (FName.empty()) return EEXIST;
    if (::rename(FName.c_str(), FTarget.c_str()) != 0) return errno;
    FName.clear();
    return 0;
  }

private:
  int LinkUnnamed(const std::string& name) const
  {
    const std::string self = "/proc/self/fd/" + std::to_string(FFd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    return errno;
  }

  std::filesystem::path FTarget;
  std::string FName;  // the temporary name, while the file has one
  int FFd = -1;
};

// The process's umask, read without changing it where the kernel tells it (setting and
// putting it back would race with files other threads create meanwhile).
mode_t CurrentUmask()
{
  std::string status;
  if (ReadAll(std::string("/proc/self/status"), status, TFileKinds::AnyButFolder)) {
    const size_t at = status.find("\nUmask:");
    if (at != std::string::npos) return mode_t(std::strtoul(status.c_str() + at + 7, nullptr, 8));
  }
  static std::mutex guard;
  const std::lock_guard<std::mutex> lock(guard);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// The permissions of a new file: what the umask leaves of read and write for everyone. The
// program never changes its umask, so it is read once.
mode_t NewFileMode()
{
  static const mode_t mode = 0666 & ~CurrentUmask();
  return mode;
}

}  // namespace

bool ReadWholeFile(const std::string& fileName, std::string& contents, TFileKinds kinds)
{
  return ReadAll(fileName, contents, kinds);
}

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& contents, TFileKinds kinds)
{
  return ReadAll(fileName, contents, kinds);
}

TReadStatus ReadWholeFile(const std::string& fileName, std::string& contents, uint64_t maxSize,
                          std::string& error, TFileKinds kinds)
{
  std::string read;
  bool missing;
  const std::string reason = ReadInto(fileName, read, maxSize, kinds, missing);
  if (missing) return TReadStatus::Missing;
  if (!reason.empty()) {
    error = "Cannot read file " + fileName + ": " + reason;
    return TReadStatus::Failed;
  }
  contents = std::move(read);
  return TReadStatus::Ok;
}

bool ReplaceFile(const std::string& fileName, std::string_view contents, std::string& error,
                 TWriteCall write, TTemporary temporary, TDurability durability)
{
  if (!write) write = PosixWrite;
  namespace fs = std::filesystem;
  std::error_code ec;
  // A link is followed: the file it names is replaced and the link stays.
  fs::path target = fileName;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  const fs::file_status status = fs::status(target, ec);
  const bool exists = fs::exists(status);
  int failure = 0;

  if (exists && !fs::is_regular_file(status)) {  // a device or FIFO: no file to keep
    TFd fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.Get() < 0) {
      error = "Cannot create file " + fileName;
      return false;
    }
    if (!WriteAll(fd.Get(), contents, write, failure)) {
      error = "Cannot write file " + fileName + ": " + std::strerror(failure);
      return false;
    }
    return true;
  }

  TPendingFile pending(target, temporary);
  if (pending.Fd() < 0) {
    // A folder that takes no new file may still hold a writable one: write it in place.
    if (exists) {
      TFd direct(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
      if (direct.Get() >= 0) {
        if (WriteAll(direct.Get(), contents, write, failure)) return true;
        error = "Cannot write file " + fileName + ": " + std::strerror(failure);
        return false;
      }
    }
    error = "Cannot create file " + fileName;
    return false;
  }
  // The new file keeps the old one's permissions; a new file gets the usual ones.
  mode_t mode = NewFileMode();
  if (exists) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;
  }
  failure = pending.Fill(contents, write, mode, durability);
  // Nothing of that name a moment ago: the file takes the name at once, unless something took
  // it meanwhile.
  if (failure == 0 && !exists) failure = pending.TakeName();
  if (failure == EEXIST || (failure == 0 && exists)) failure = pending.TakePlace();
  if (failure != 0) {
    error = "Cannot write file " + fileName + ": " + std::strerror(failure);
    return false;
  }
  return true;
}

TCreateResult CreateNewFile(const std::string& fileName, std::string_view contents,
                            TWriteCall write, TTemporary temporary)
{
  if (!write) write = PosixWrite;
  // Checked first only to spare the writing: taking the name is what refuses it.
  struct stat info {};
  if (::lstat(fileName.c_str(), &info) == 0) return {TCreateStatus::Exists, "file exists"};
  TPendingFile pending(fileName, temporary);
  if (pending.Fd() < 0) return {TCreateStatus::Failed, std::strerror(errno)};
  int failure = pending.Fill(contents, write, NewFileMode());
  if (failure == 0) failure = pending.TakeName();
  if (failure == EEXIST) return {TCreateStatus::Exists, "file exists"};
  if (failure != 0) return {TCreateStatus::Failed, std::strerror(failure)};
  return {TCreateStatus::Written, {}};
}

std::string WriteRefusal(const std::string& fileName)
{
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return std::strerror(errno);
  mode_t writeBit = S_IWOTH;
  if (info.st_uid == ::geteuid()) {
    writeBit = S_IWUSR;
  } else if (info.st_gid == ::getegid()) {
    writeBit = S_IWGRP;
  } else {
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(size_t(std::max(count, 0)));
    const int got = count > 0 ? ::getgroups(count, groups.data()) : 0;
    for (int i = 0; i < got; ++i)
      if (groups[size_t(i)] == info.st_gid) writeBit = S_IWGRP;
  }
  if ((info.st_mode & writeBit) == 0) return "it is read-only";
  // Access control lists and read-only mounts.
  if (::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) != 0) return std::strerror(errno);
  return {};
}

bool ReadFileTail(const std::string& fileName, size_t maxBytes, std::string& tail)
{
  TFd fd(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat info {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const auto size = static_cast<uint64_t>(info.st_size);
  const size_t length = size < maxBytes ? size_t(size) : maxBytes;
  std::string read(length, '\0');
  size_t done = 0;
  while (done < length) {
    const ssize_t n =
        ::pread(fd.Get(), read.data() + done, length - done, off_t(size - length + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the file shrank: what was read is its end no longer
    done += size_t(n);
  }
  if (done < length) return false;
  tail = std::move(read);
  return true;
}

std::string NotRegularReason(const std::string& fileName)
{
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0)
    return errno == ENOENT || errno == ENOTDIR
               ? std::string()
               : std::string("cannot be examined: ") + std::strerror(errno);
  if (S_ISREG(info.st_mode)) return {};
  if (S_ISDIR(info.st_mode)) return "is a folder";
  if (S_ISFIFO(info.st_mode)) return "is a FIFO";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "is a device";
  return "is not a regular file";
}

std::string UntrustedReason(uid_t ownerUid, mode_t mode)
{
  if (!S_ISREG(mode)) return "is not a regular file";
  if (ownerUid != ::geteuid() && ownerUid != 0)
    return "is owned by another user (uid " + std::to_string(ownerUid) + ")";
  if ((mode & (S_IWGRP | S_IWOTH)) != 0) {
    char octal[8];
    std::snprintf(octal, sizeof octal, "%04o", unsigned(mode & 07777));
    return std::string("can be changed by other users (mode ") + octal + ")";
  }
  return {};
}

}  // namespace quarn::platform
