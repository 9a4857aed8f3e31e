#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace quarn::model {

// The outcome of a skin search: the first image found ("" for none), every name tried in
// order, the recorded names that were not followed and how many were left out.
struct TSkinSearch {
  std::string Found;
  std::vector<std::string> Tried;
  std::vector<std::string> Refused;  // each "<name>: <why>"
  size_t Skipped = 0;                // recorded names past MaxSkinNames, not looked at
  std::string Unusable;  // the first name tried that exists but is no regular file, and why
};

// Recorded names looked at: MD2 readers conventionally take at most 32 skins, and a model
// recording thousands would otherwise cost a dozen file look-ups and console lines each.
inline constexpr size_t MaxSkinNames = 32;

// Finds the skin of the model at `modelPath` from the first MaxSkinNames non-empty names
// recorded in it. For each name: the recorded path, then its base name in the model's folder,
// each as recorded and then with every other image extension (images::ImageFormats' order); after
// all names, an image with the model's own base name beside it. Absolute names and names with ".."
// are not followed as paths (their base name still is), so a model cannot point outside the current
// directory or its own folder.
TSkinSearch FindSkin(const std::string& modelPath, const std::vector<std::string>& recordedNames);

// Finds a skin the user names for the model at `modelPath`: the name as given, then its base
// name in the model's folder, each as given and then with every other image extension.
TSkinSearch FindSkinNamed(const std::string& modelPath, const std::string& name);

// What a user is told of a skin search for the model at `modelPath`: the recorded names not
// followed, those left out, and when none was found, that the model is drawn untextured and
// every name tried. The viewer puts them on the console, `quarn --render` on stderr.
std::vector<std::string> SkinSearchLines(const std::string& modelPath, const TSkinSearch& search);

// The skins to choose from for the model at `modelPath`: the images its recorded names lead
// to, then `inUse`, then the other images beside it, each once, at most MaxSkinChoices.
std::vector<std::string> SkinChoices(const std::string& modelPath,
                                     const std::vector<std::string>& recordedNames,
                                     const std::string& inUse);

// Image files beside a model looked at for its skins, and the skins offered, at most: a
// folder of thousands of files costs one look each, not a console line each.
inline constexpr size_t MaxFolderEntries = 4096;
inline constexpr size_t MaxSkinChoices = 64;

}  // namespace quarn::model
