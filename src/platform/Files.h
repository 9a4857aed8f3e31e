#pragma once
#include <cstdint>
#include <string>
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

}  // namespace quarn::platform
