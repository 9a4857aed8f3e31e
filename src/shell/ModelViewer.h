#pragma once
#include <string>
#include <vector>

namespace quarn::shell {

// What `quarn --view` shows: file names as given on the command line, relative to the
// current directory. Empty skins are searched for.
struct TViewRequest {
  std::string Model;
  std::string Skin;
  std::string Weapon;
  std::string WeaponSkin;
};

// The outcome of a skin search: the first image found ("" for none), every name tried in
// order, the recorded names that were not followed and how many were left out.
struct TSkinSearch {
  std::string Found;
  std::vector<std::string> Tried;
  std::vector<std::string> Refused;  // each "<name>: <why>"
  size_t Skipped = 0;                // recorded names past MaxSkinNames, not looked at
};

// Recorded names looked at: MD2 readers conventionally take at most 32 skins, and a model
// recording thousands would otherwise cost a dozen file look-ups and console lines each.
inline constexpr size_t MaxSkinNames = 32;

// Image extensions tried for a skin whose recorded file is missing, in this order.
inline constexpr const char* SkinExtensions[] = {".pcx", ".tga", ".bmp", ".jpg", ".wal"};

// Finds the skin of the model at `modelPath` from the first MaxSkinNames non-empty names
// recorded in it. For each name: the recorded path, then its base name in the model's folder,
// each as recorded and then with every other image extension; after all names, an image with
// the model's own base name beside it. Absolute names and names with ".." are not followed as paths
// (their base name still is), so a model cannot point outside the current directory or its own
// folder.
TSkinSearch FindSkin(const std::string& modelPath, const std::vector<std::string>& recordedNames);

// Finds a skin the user names for the model at `modelPath`: the name as given, then its base
// name in the model's folder, each as given and then with every other image extension.
TSkinSearch FindSkinNamed(const std::string& modelPath, const std::string& name);

// A script literal holding `text`; false when it holds a character no script string can
// (a line end or another control character).
bool QuoteScriptString(const std::string& text, std::string& literal);

// The bot file the viewer runs: the models and skins named (empty ones left out), the demo
// robot's timing, states and transitions. Every name must quote (QuoteScriptString).
std::string ViewerBotText(const std::string& model, const std::string& skin,
                          const std::string& weapon, const std::string& weaponSkin);

}  // namespace quarn::shell
