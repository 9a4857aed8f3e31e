#pragma once
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarn::sound {

// Failures of the byte streams below. A short read through ReadBuffer is EReadError; a file that
// cannot be opened is EFOpenError.
class EStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
};
class EFOpenError : public EStreamError {
public:
  explicit EFOpenError(const std::string& fileName) : EStreamError("Cannot open file " + fileName)
  {
  }
};

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// An abstract byte stream. Positions are 64-bit so that no size read from a file can overflow
// them; a position past the end is allowed and reads nothing there.
class TStream {
public:
  virtual ~TStream() = default;

  virtual void SetSize(int64_t newSize) = 0;
  virtual int64_t Read(void* buffer, int64_t count) = 0;  // bytes actually read
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;  // the new position

  int64_t Position() { return Seek(0, soFromCurrent); }
  void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
  int64_t Size();
  // Bytes between the position and the end (0 when past the end).
  int64_t Remaining();

  void ReadBuffer(void* buffer, int64_t count);         // all or EReadError
  void WriteBuffer(const void* buffer, int64_t count);  // all or EWriteError
};

// Bytes in memory, growing as written.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}
  TMemoryStream(const void* data, size_t size);

  void SetSize(int64_t newSize) override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
  std::vector<uint8_t> FBytes;
  int64_t FPosition = 0;
};

// A file on disk, opened for reading or created (truncated) for writing.
class TFileStream : public TStream {
public:
  enum TMode { fmOpenRead, fmCreate };
  TFileStream(const std::string& fileName, TMode mode);  // EFOpenError
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  void SetSize(int64_t newSize) override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  std::FILE* FFile = nullptr;
};

}  // namespace quarn::sound
