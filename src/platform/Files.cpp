#include "platform/Files.h"

#include <filesystem>
#include <fstream>

namespace quarn::platform {

namespace {

template <class TContents>
bool ReadInto(const std::string& fileName, TContents& contents, TFileKinds kinds)
{
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(fileName, error);
  if (kinds == TFileKinds::Regular ? !std::filesystem::is_regular_file(status)
                                   : std::filesystem::is_directory(status))
    return false;
  try {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    TContents read;
    if (std::filesystem::is_regular_file(status)) {
      const std::uintmax_t size = std::filesystem::file_size(fileName, error);
      if (!error) read.reserve(static_cast<size_t>(size));
    }
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
      const auto* first = reinterpret_cast<const typename TContents::value_type*>(buffer);
      read.insert(read.end(), first, first + in.gcount());
    }
    if (in.bad()) return false;
    contents = std::move(read);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool ReadWholeFile(const std::string& fileName, std::string& contents, TFileKinds kinds)
{
  return ReadInto(fileName, contents, kinds);
}

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& contents, TFileKinds kinds)
{
  return ReadInto(fileName, contents, kinds);
}

}  // namespace quarn::platform
