#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::render {
class TConsole;
}
namespace quarn::bots {
class TSoundManager;
}

namespace quarn::shell {

class TBotHost;

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

// The viewing of one model on the bot host: the viewer's bot built from a request, the skins
// to choose from, the viewer's own keys, and the lines about what the model does not have.
class TModelViewer {
public:
  explicit TModelViewer(TBotHost& host) : FHost(host) {}
  TModelViewer(const TModelViewer&) = delete;
  TModelViewer& operator=(const TModelViewer&) = delete;

  // Replaces the bot by the viewer's bot for `request` (skins found as FindSkin says) and
  // frames it; every problem is a console line. The cursor shows: the mouse turns the view
  // only while its left button is held.
  void View(const TViewRequest& request, render::TConsole& console, bots::TSoundManager* sounds);
  // A bot file replaced the viewed model: the cursor hides and the mouse turns the camera.
  void Leave();
  bool Viewing() const { return FViewing; }

  // The viewed body's skins to choose from (model::SkinChoices), found when it was loaded: the
  // numbers Skins shows and Skin takes keep their files until the next model is viewed.
  const std::vector<std::string>& SkinChoices() const;
  // Puts `fileName` on the body instead of its skin; on failure the skin stays and the
  // console says why.
  bool UseSkin(const std::string& fileName, render::TConsole& console);
  // A viewer key (Space, ',', '.', '[', ']', PageUp, PageDown) acts on the playback and
  // switches the overlay to its playback form; false for any other key or outside the viewer.
  // `message` gets a line to show when the key could not do its job.
  bool ViewerKey(uint16_t key, std::string& message);

private:
  // Lines about the animations the keys play that lie past the body's last frame, and about
  // a weapon whose frame count differs from the body's.
  void ReportMisfits(render::TConsole& console);

  TBotHost& FHost;
  bool FViewing = false;
  std::string FViewedModel;         // the viewed body's file
  std::vector<std::string> FSkins;  // its skins to choose from, numbered from 1
};

}  // namespace quarn::shell
