#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarn::platform {

TMappedFile::TResult TMappedFile::Open(const std::string& fileName, size_t minSize)
{
  Close();
  // O_NONBLOCK: a FIFO given as a model name must not hang the program; it is refused below.
  FHandle = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (FHandle < 0) return TResult::OpenFailed;
  struct stat info {};
  if (::fstat(FHandle, &info) != 0) return TResult::StatFailed;
  if (!S_ISREG(info.st_mode)) {
    Close();
    return TResult::OpenFailed;
  }
  FSize = static_cast<size_t>(info.st_size);
  if (FSize < minSize || FSize == 0) return TResult::Ok;
  void* view = ::mmap(nullptr, FSize, PROT_READ, MAP_PRIVATE, FHandle, 0);
  if (view == MAP_FAILED) return TResult::MapFailed;
  FData = static_cast<const uint8_t*>(view);
  return TResult::Ok;
}

void TMappedFile::Close()
{
  if (FData) ::munmap(const_cast<uint8_t*>(FData), FSize);
  if (FHandle >= 0) ::close(FHandle);
  FData = nullptr;
  FSize = 0;
  FHandle = -1;
}

}  // namespace quarn::platform
