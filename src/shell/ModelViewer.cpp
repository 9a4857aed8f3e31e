#include "shell/ModelViewer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <unordered_set>

namespace quarn::shell {

namespace {

// Directory part with its trailing '/', "" when there is none.
std::string DirectoryOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseNameOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Splits "dir/name.ext" into "dir/name" and ".ext" (the extension is "" when the base name
// has no dot after its first character).
void SplitExtension(const std::string& path, std::string& stem, std::string& extension)
{
  const size_t base = path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= base) {
    stem = path;
    extension.clear();
  } else {
    stem = path.substr(0, dot);
    extension = path.substr(dot);
  }
}

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
    SplitExtension(path, stem, extension);
    if (!extension.empty() && Try(path)) return true;
    for (const char* other : SkinExtensions)
      if (!SameExtension(extension, other) && Try(stem + other)) return true;
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
  const std::string folder = DirectoryOf(modelPath);
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
    const std::string base = BaseNameOf(name);
    if (base.empty() || base == "." || base == "..") continue;
    if (search.TryWithExtensions(folder + base)) return result;
  }
  std::string stem, extension;
  SplitExtension(modelPath, stem, extension);
  if (!BaseNameOf(stem).empty()) search.TryWithExtensions(stem + SkinExtensions[0]);
  return result;
}

TSkinSearch FindSkinNamed(const std::string& modelPath, const std::string& name)
{
  TSkinSearch result;
  TSearch search(result);
  if (name.empty() || search.TryWithExtensions(name)) return result;
  const std::string base = BaseNameOf(name);
  if (!base.empty() && base != "." && base != "..")
    search.TryWithExtensions(DirectoryOf(modelPath) + base);
  return result;
}

bool QuoteScriptString(const std::string& text, std::string& literal)
{
  literal.clear();
  literal += '\'';
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
    literal += c;
    if (c == '\'') literal += c;
  }
  literal += '\'';
  return true;
}

namespace {

// The demo robot's timing, states and transitions.
constexpr const char* ViewerStates = R"(SetTiming(0, 10);
AddState(0, 'Idle',        KEY_NONE,                         IDLE1,        true);
AddState(1, 'Run',         KEY_FORWARD,                      RUN,          true);
AddState(2, 'RunBack',     KEY_BACK,                         RUNBACK,      true);
AddState(3, 'Jump',        KEY_JUMP,                         JUMP,         false);
AddState(4, 'Crouch',      KEY_CROUCH,                       CROUCH_IDLE,  true);
AddState(5, 'CrouchWalk',  KEY_CROUCH + KEY_FORWARD,         CROUCH_CRAWL, true);
AddState(6, 'Shoot',       KEY_PRIMARYATTACK,                SHOOT,        false);
AddState(7, 'CrouchShoot', KEY_CROUCH + KEY_PRIMARYATTACK,   CROUCH_SHOOT, false);
SetArray(standing, INTEGER, 5);
SetArray(crouching, INTEGER, 3);
standing[0] := 0; standing[1] := 1; standing[2] := 2; standing[3] := 3; standing[4] := 6;
crouching[0] := 4; crouching[1] := 5; crouching[2] := 7;
for i := 0 to 4 do
begin
  for j := 0 to 4 do
    if i <> j then AddNextState(standing[i], standing[j]);
  AddNextState(standing[i], 4);
end;
for i := 0 to 2 do
begin
  for j := 0 to 2 do
    if i <> j then AddNextState(crouching[i], crouching[j]);
  AddNextState(crouching[i], 0);
end;
)";

std::string Call(const char* command, const std::string& name)
{
  std::string literal;
  QuoteScriptString(name, literal);
  return std::string(command) + "(" + literal + ");\r\n";
}

}  // namespace

std::string ViewerBotText(const std::string& model, const std::string& skin,
                          const std::string& weapon, const std::string& weaponSkin)
{
  std::string text = Call("LoadMD2", model);
  if (!skin.empty()) text += Call("LoadMD2Skin", skin);
  if (!weapon.empty()) {
    text += Call("LoadWeapon", weapon);
    if (!weaponSkin.empty()) text += Call("LoadWeaponSkin", weaponSkin);
  }
  for (const char* p = ViewerStates; *p; ++p) {
    if (*p == '\n') text += '\r';
    text += *p;
  }
  return text;
}

}  // namespace quarn::shell
