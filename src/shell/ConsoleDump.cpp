#include "shell/ConsoleDump.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/Files.h"

namespace quarn::shell {

namespace {

// A dump's last line is short: a longer end than this is not a dump's.
constexpr size_t DumpTailBytes = 512;

// Whether the text ends with a line that starts with DumpLineStart; `whole` when the text is
// the whole file, so its first line has nothing before it.
bool EndsWithDumpLine(std::string_view tail, bool whole)
{
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.remove_suffix(1);
  const size_t lineBreak = tail.find_last_of("\r\n");
  if (lineBreak == std::string_view::npos && !whole) return false;
  const std::string_view last =
      lineBreak == std::string_view::npos ? tail : tail.substr(lineBreak + 1);
  return last.substr(0, DumpLineStart.size()) == DumpLineStart;
}

// Why the existing regular file may not be replaced by a dump, or "" when it may.
std::string ReplaceRefusal(const std::string& fileName, const struct stat& info)
{
  std::string refusal = platform::WriteRefusal(fileName);
  if (!refusal.empty()) return refusal;
  if (info.st_size == 0) return {};
  std::string tail;
  if (!platform::ReadFileTail(fileName, DumpTailBytes, tail)) return "it cannot be read";
  if (!EndsWithDumpLine(tail, tail.size() == size_t(info.st_size)))
    return "it is not empty and not a console dump";
  return {};
}

}  // namespace

std::string SaveConsoleDump(const std::string& fileName, const std::vector<std::string>& lines)
{
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");

  // A link is followed: the file it names must pass, and is replaced with the link kept.
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) {
    if (errno != ENOENT) return "Cannot create file " + fileName + ": " + std::strerror(errno);
    const platform::TCreateResult created = platform::CreateNewFile(fileName, text);
    if (created.Status == platform::TCreateStatus::Written) return {};
    return "Cannot create file " + fileName + ": " + created.Reason;
  }
  // A device or FIFO is never written: a FIFO without a reader would block, a device is no
  // place for a dump.
  if (!S_ISREG(info.st_mode)) return "Cannot create file " + fileName + ": not a regular file";
  if (const std::string refusal = ReplaceRefusal(fileName, info); !refusal.empty())
    return "Cannot replace file " + fileName + ": " + refusal;
  std::string error;
  if (!platform::ReplaceFile(fileName, text, error)) return error;
  return {};
}

}  // namespace quarn::shell
