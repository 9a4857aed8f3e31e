#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::render {
class TConsole;
}
namespace quarn::bots {
class TBot;
}

namespace quarn::shell {

class TAnimationPlayback;

// The key map: the action number of each virtual-key code (0: none).
using TKeyMap = std::array<uint8_t, 256>;

// The viewer's bot for a request: its bot file's text with the skins found, the same without
// skins (for when they cannot be loaded), and the name that stands for it in messages.
struct TViewerBot {
  std::string Name;
  std::string Text;
  std::string PlainText;
  bool Skinned = false;  // Text names a skin
};

// What `quarn --view` shows: file names as given on the command line, relative to the
// current directory. Empty skins are searched for.
struct TViewRequest {
  std::string Model;
  std::string Skin;
  std::string Weapon;
  std::string WeaponSkin;
};

// A script literal holding `text`; false when it holds a character no script string can
// (a line end or another control character).
bool QuoteScriptString(const std::string& text, std::string& literal);

// The bot file the viewer runs: the models and skins named (empty ones left out), the demo
// robot's timing, states and transitions. Every name must quote (QuoteScriptString).
std::string ViewerBotText(const std::string& model, const std::string& skin,
                          const std::string& weapon, const std::string& weaponSkin);

// The viewing of one model: the viewer's bot built from a request, the skins to choose from,
// the viewer's own keys, and the lines about what the model does not have. The bot host loads
// the bot and hands the viewer what it acts on.
class TModelViewer {
public:
  // The viewer's bot for `request`, skins found as model::FindSkin finds them (what the search
  // met is said on the console); false, said on the console, when a name holds a control
  // character.
  bool Prepare(const TViewRequest& request, render::TConsole& console, TViewerBot& viewed) const;
  // The bot of Prepare was loaded for the model at `modelPath`: the cursor shows (the mouse
  // turns the view only while its left button is held), the skins to choose from are found,
  // and the animations the keys of `keyMap` play past the model's end are reported.
  void Shown(const std::string& modelPath, bots::TBot& bot, const TKeyMap& keyMap,
             render::TConsole& console);
  // A bot file replaced the viewed model: the cursor hides and the mouse turns the camera.
  void Leave();
  bool Viewing() const { return FViewing; }

  // The viewed body's skins to choose from (model::SkinChoices), found when it was shown: the
  // numbers Skins shows and Skin takes keep their files until the next model is viewed.
  const std::vector<std::string>& SkinChoices() const;
  // Puts `fileName` on the bot's body instead of its skin; on failure the skin stays and the
  // console says why.
  bool UseSkin(const std::string& fileName, bots::TBot& bot, render::TConsole& console);
  // A viewer key (Space, ',', '.', '[', ']', PageUp, PageDown) acts on the playback; false for
  // any other key or outside the viewer. `message` gets a line to show when the key could not
  // do its job.
  bool ViewerKey(uint16_t key, bots::TBot& bot, TAnimationPlayback& playback, std::string& message);

private:
  // Lines about the animations the keys play that lie past the body's last frame, and about
  // a weapon whose frame count differs from the body's.
  void ReportMisfits(bots::TBot& bot, const TKeyMap& keyMap, render::TConsole& console);

  bool FViewing = false;
  std::string FViewedModel;         // the viewed body's file
  std::vector<std::string> FSkins;  // its skins to choose from, numbered from 1
};

}  // namespace quarn::shell
