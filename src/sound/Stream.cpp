#include "sound/Stream.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace quarn::sound {

int64_t TStream::Size()
{
  const int64_t position = Seek(0, soFromCurrent);
  const int64_t size = Seek(0, soFromEnd);
  Seek(position, soFromBeginning);
  return size;
}

int64_t TStream::Remaining() { return std::max<int64_t>(0, Size() - Position()); }

void TStream::ReadBuffer(void* buffer, int64_t count)
{
  if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
  if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

TMemoryStream::TMemoryStream(const void* data, size_t size)
    : FBytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
}

void TMemoryStream::SetSize(int64_t newSize)
{
  FBytes.resize(static_cast<size_t>(std::max<int64_t>(0, newSize)));
  FPosition = std::min<int64_t>(FPosition, static_cast<int64_t>(FBytes.size()));
}

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
  const int64_t size = static_cast<int64_t>(FBytes.size());
  if (count <= 0 || FPosition >= size) return 0;
  const int64_t n = std::min(count, size - FPosition);
  std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
  if (count <= 0) return 0;
  const int64_t end = FPosition + count;
  if (end > static_cast<int64_t>(FBytes.size())) FBytes.resize(static_cast<size_t>(end));
  std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
  int64_t base = 0;
  if (origin == soFromCurrent) base = FPosition;
  if (origin == soFromEnd) base = static_cast<int64_t>(FBytes.size());
  FPosition = std::max<int64_t>(0, base + offset);
  return FPosition;
}

TFileStream::TFileStream(const std::string& fileName, TMode mode)
{
  // Reading takes only regular files: a FIFO would block the open, a device read forever.
  std::error_code kind;
  if (mode != fmCreate && !std::filesystem::is_regular_file(fileName, kind))
    throw EFOpenError(fileName);
  FFile = std::fopen(fileName.c_str(), mode == fmCreate ? "w+b" : "rb");
  if (!FFile) throw EFOpenError(fileName);
}

TFileStream::~TFileStream() { std::fclose(FFile); }

void TFileStream::SetSize(int64_t newSize)
{
  std::fflush(FFile);
  if (ftruncate(fileno(FFile), std::max<int64_t>(0, newSize)) != 0) throw EWriteError();
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), FFile));
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), FFile));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
  const int whence = origin == soFromBeginning ? SEEK_SET
                     : origin == soFromCurrent ? SEEK_CUR
                                               : SEEK_END;
  if (origin == soFromCurrent && offset == 0) return ftello(FFile);
  if (fseeko(FFile, offset, whence) != 0) return ftello(FFile);
  return ftello(FFile);
}

}  // namespace quarn::sound
