#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace quarn::platform {

// A whole file mapped read-only into memory. The descriptor stays open and the mapping stays
// valid until the object is destroyed or Close is called: unmapped first, then closed.
class TMappedFile {
public:
  enum class TResult { Ok, OpenFailed, StatFailed, MapFailed };

  TMappedFile() = default;
  ~TMappedFile() { Close(); }
  TMappedFile(const TMappedFile&) = delete;
  TMappedFile& operator=(const TMappedFile&) = delete;

  // Opens a regular file and maps all of it. A file shorter than minSize is opened but not
  // mapped (result Ok, Data() null, Size() its length), so the caller can report it as too short
  // instead of as a mapping failure; an empty file cannot be mapped at all.
  TResult Open(const std::string& fileName, size_t minSize);
  void Close();

  const uint8_t* Data() const { return FData; }
  size_t Size() const { return FSize; }

private:
  int FHandle = -1;
  const uint8_t* FData = nullptr;
  size_t FSize = 0;
};

}  // namespace quarn::platform
