#pragma once
#include <string>

namespace quarn::platform {

// Directory of the running executable (from /proc/self/exe), with a trailing '/'. Files the
// program loads by name (Font.tga, console.txt, bots) are found by putting this directly in
// front of the name.
const std::string& ExeDir();

// The user's configuration folder for the program, with a trailing '/': quarn/ in
// $XDG_CONFIG_HOME, or in ~/.config when that is unset or not an absolute path; "" when
// neither it nor $HOME is known.
std::string UserConfigDir();

// `name` found from `base` (a directory with its trailing '/'): an absolute name stands as it is.
std::string PathFrom(const std::string& base, const std::string& name);

// The folder part of `path` with its trailing '/', "" when it has none ("a/b.md2" -> "a/").
std::string FolderOf(const std::string& path);
// The part after the last '/' ("a/b.md2" -> "b.md2").
std::string BaseNameOf(const std::string& path);
// Splits "dir/name.ext" into "dir/name" and ".ext"; the extension is "" when the base name
// has no dot after its first character (".hidden" has none).
void SplitExtension(const std::string& path, std::string& stem, std::string& extension);
// `name` in `folder`: "" stands for the current directory, a trailing '/' is not doubled.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace quarn::platform
