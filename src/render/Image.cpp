#include "render/Image.h"

#include <filesystem>
#include <fstream>

namespace quarn::render {

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& data)
{
  std::error_code error;
  // Directories open as streams but fail to read.
  if (!std::filesystem::is_regular_file(fileName, error)) return false;
  try {
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    std::vector<uint8_t> contents(static_cast<size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(contents.data()), size);
    if (in.gcount() != size) return false;
    data = std::move(contents);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quarn::render
