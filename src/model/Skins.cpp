#include "model/Skins.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <unordered_set>

#include "images/ImageFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace quarn::model {

namespace {

bool SameExtension(const std::string& a, const char* b)
{
  return std::equal(
      a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == y; });
}

bool HasParentStep(const std::string& path)
{
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    if (path.compare(start, end - start, "..") == 0 && end - start == 2) return true;
    start = end + 1;
  }
  return false;
}

class TSearch {
public:
  explicit TSearch(TSkinSearch& result) : FResult(result) {}

  // Tries `path` as it is, then with every other image extension; true once one is found.
  bool TryWithExtensions(const std::string& path)
  {
    std::string stem, extension;
    platform::SplitExtension(path, stem, extension);
    if (!extension.empty() && Try(path)) return true;
    for (const images::TImageFormat& format : images::ImageFormats())
      if (!SameExtension(extension, format.Extension) && Try(stem + format.Extension)) return true;
    return false;
  }

private:
  bool Try(const std::string& path)
  {
    if (!FTried.insert(path).second) return false;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
      FResult.Found = path;
      return true;
    }
    FResult.Tried.push_back(path);
    // Something of that name that is no image file: said as what it is, not as missing.
    if (const std::string why = platform::NotRegularReason(path); !why.empty()) {
      FResult.Tried.back() += " (" + why + ")";
      if (FResult.Unusable.empty()) FResult.Unusable = path + " " + why;
    }
    return false;
  }

  TSkinSearch& FResult;
  std::unordered_set<std::string> FTried;  // FResult.Tried, for look-ups in constant time
};

}  // namespace

TSkinSearch FindSkin(const std::string& modelPath, const std::vector<std::string>& recordedNames)
{
  TSkinSearch result;
  TSearch search(result);
  const std::string folder = platform::FolderOf(modelPath);
  size_t looked = 0;
  for (std::string name : recordedNames) {
    std::replace(name.begin(), name.end(), '\\', '/');  // names written by tools on Windows
    if (name.empty()) continue;
    if (looked == MaxSkinNames) {
      ++result.Skipped;
      continue;
    }
    ++looked;
    if (name.front() == '/')
      result.Refused.push_back(name + ": absolute path, not followed");
    else if (HasParentStep(name))
      result.Refused.push_back(name + ": leads out through .., not followed");
    else if (search.TryWithExtensions(name))
      return result;
    const std::string base = platform::BaseNameOf(name);
    if (base.empty() || base == "." || base == "..") continue;
    if (search.TryWithExtensions(folder + base)) return result;
  }
  std::string stem, extension;
  platform::SplitExtension(modelPath, stem, extension);
  if (!platform::BaseNameOf(stem).empty())
    search.TryWithExtensions(stem + images::ImageFormats()[0].Extension);
  return result;
}

TSkinSearch FindSkinNamed(const std::string& modelPath, const std::string& name)
{
  TSkinSearch result;
  TSearch search(result);
  if (name.empty() || search.TryWithExtensions(name)) return result;
  const std::string base = platform::BaseNameOf(name);
  if (!base.empty() && base != "." && base != "..")
    search.TryWithExtensions(platform::FolderOf(modelPath) + base);
  return result;
}

std::vector<std::string> SkinSearchLines(const std::string& modelPath, const TSkinSearch& search)
{
  std::vector<std::string> lines;
  for (const std::string& refused : search.Refused) lines.push_back("Skin name " + refused);
  if (search.Skipped > 0)
    lines.push_back("Skin names: " + std::to_string(search.Skipped) + " more recorded in " +
                    modelPath + " were not looked for (only the first " +
                    std::to_string(MaxSkinNames) + " are)");
  if (!search.Found.empty()) return lines;
  lines.push_back("No skin found for " + modelPath + "; " + modelPath +
                  " is drawn untextured. Tried:");
  for (const std::string& tried : search.Tried) lines.push_back("  " + tried);
  return lines;
}

std::vector<std::string> SkinChoices(const std::string& modelPath,
                                     const std::vector<std::string>& recordedNames,
                                     const std::string& inUse)
{
  std::vector<std::string> choices;
  std::set<std::string> seen;
  auto offer = [&](const std::string& path) {
    if (!path.empty() && choices.size() < MaxSkinChoices && seen.insert(path).second)
      choices.push_back(path);
  };
  size_t looked = 0;
  for (const std::string& name : recordedNames) {
    if (name.empty()) continue;
    if (++looked > MaxSkinNames) break;
    offer(FindSkin(modelPath, {name}).Found);
  }
  offer(inUse);
  const std::string folder = platform::FolderOf(modelPath);
  std::vector<std::string> beside;
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error), end;
  for (size_t n = 0; !error && entries != end && n < MaxFolderEntries;
       entries.increment(error), ++n) {
    const std::string name = entries->path().filename().string();
    std::error_code kind;
    if (images::FindImageFormat(name) && entries->is_regular_file(kind))
      beside.push_back(folder + name);
  }
  std::sort(beside.begin(), beside.end());
  for (const std::string& path : beside) offer(path);
  return choices;
}

}  // namespace quarn::model
