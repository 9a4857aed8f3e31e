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

}  // namespace quarn::platform
