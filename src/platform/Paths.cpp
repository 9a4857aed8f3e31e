#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quarn::platform {

const std::string& ExeDir()
{
  static const std::string dir = [] {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::string("./");
    std::string result = exe.parent_path().string();
    if (result.empty() || result.back() != '/') result += '/';
    return result;
  }();
  return dir;
}

std::string UserConfigDir()
{
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/quarn/";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/quarn/";
  return {};
}

std::string PathFrom(const std::string& base, const std::string& name)
{
  return !name.empty() && name.front() == '/' ? name : base + name;
}

std::string FolderOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseNameOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SplitExtension(const std::string& path, std::string& stem, std::string& extension)
{
  const size_t slash = path.find_last_of('/');
  const size_t base = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= base) {
    stem = path;
    extension.clear();
  } else {
    stem = path.substr(0, dot);
    extension = path.substr(dot);
  }
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace quarn::platform
