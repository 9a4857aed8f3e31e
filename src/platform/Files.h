#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace quarn::platform {

// Which files a whole-file read accepts. A folder is never read: it opens as a stream and
// reads as empty.
enum class TFileKinds {
  Regular,      // regular files only: a device or FIFO would be read forever or block
  AnyButFolder  // pipes and devices too, read to their end (`<(...)`, /dev/stdin)
};

// Reads a whole file; false, with `contents` unchanged, when it cannot be opened or read.
bool ReadWholeFile(const std::string& fileName, std::string& contents,
                   TFileKinds kinds = TFileKinds::Regular);
bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& contents,
                   TFileKinds kinds = TFileKinds::Regular);

// Largest bot or animation file the program reads: their text is held whole while it is
// compiled or played.
inline constexpr uint64_t MaxTextFileSize = uint64_t{64} << 20;

enum class TReadStatus {
  Ok,
  Missing,  // cannot be opened, or not of the accepted kind
  Failed    // larger than the limit, or reading failed part-way: `error` says why
};

// A whole-file read with a size limit, checked before reading where the size is known.
// `error` is "Cannot read file NAME: <reason>" when Failed; `contents` changes only when Ok.
TReadStatus ReadWholeFile(const std::string& fileName, std::string& contents, uint64_t maxSize,
                          std::string& error, TFileKinds kinds = TFileKinds::Regular);

// The write call ReplaceFile uses; tests give one that fails part-way.
using TWriteCall = ssize_t (*)(int fd, const void* data, size_t size);

// Writes `contents` as the whole file. A regular file (or a new one) is written beside it
// under a temporary name and renamed over it, so after a failure the old file is untouched;
// a device or FIFO is written directly. False with `error` "Cannot create file NAME" or
// "Cannot write file NAME: <reason>".
bool ReplaceFile(const std::string& fileName, std::string_view contents, std::string& error,
                 TWriteCall write = nullptr);

}  // namespace quarn::platform
