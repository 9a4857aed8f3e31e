#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

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
                 TWriteCall write)
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

  std::string temporary = target.string() + ".XXXXXX";
  TFd fd(::mkstemp(temporary.data()));
  if (fd.Get() < 0) {
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
  mode_t mode = 0666;
  if (exists) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  ::fchmod(fd.Get(), mode);
  bool written = WriteAll(fd.Get(), contents, write, failure);
  if (written && ::fsync(fd.Get()) != 0 && errno != EINVAL) {
    written = false;
    failure = errno;
  }
  if (::close(fd.Release()) != 0 && written) {
    written = false;
    failure = errno;
  }
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    failure = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    error = "Cannot write file " + fileName + ": " + std::strerror(failure);
    return false;
  }
  return true;
}

}  // namespace quarn::platform
