#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bots/FiniteAutomata.h"
#include "bots/MD2.h"
#include "script/Functions.h"
#include "script/HostCommands.h"
#include "script/SourcePlace.h"

namespace quarn::script {
class TScript;
}
namespace quarn::render {
class TConsole;
}

namespace quarn::bots {

class TSoundManager;

// One frame sound: the wave played when the body model reaches the frame.
struct TCadence {
  std::string SoundName;
  bool Flag = false;  // stored, not used
};

// The animated character: a body model, an optional weapon, the state machine choosing their
// animation, and sounds attached to body frames. Empty when created; filled by running a bot
// file against the bot's own registry of nine commands.
class TBot {
public:
  TBot();
  ~TBot();
  TBot(const TBot&) = delete;
  TBot& operator=(const TBot&) = delete;

  // Runs the bot file with `script` against the bot's commands, reporting on `console`.
  // Raises "Cannot open file <name>" when the file cannot be read; other failures are
  // console lines and a false result, leaving the bot inactive.
  bool Load(script::TScript& script, render::TConsole& console, const std::string& fileName);
  // The same for a bot file's text held in memory; `name` stands for the file in messages.
  bool LoadText(script::TScript& script, render::TConsole& console, const std::string& name,
                std::string text);
  // A load counts the states and next states its file adds and says so in one line, instead
  // of a line for each (for bot files the program writes itself).
  bool SummariseStates = false;
  void Update(uint32_t now);
  void Draw();
  // The window pixels the last Draw may have touched (empty when it drew nothing).
  render::TScreenArea DrawnArea() const;
  // The movement mask held from now on: it selects among the next states of the current state
  // at once, and again each time the bot enters a state (the first one included).
  void SetKeys(uint16_t mask)
  {
    FKeys = mask;
    FAutomata.SelectByKeys(mask);
  }
  uint16_t Keys() const { return FKeys; }

  bool Active() const { return FActive; }
  bool HasWeapon() const { return FHasWeapon; }
  TMD2& Model() { return FModel; }
  TMD2& Weapon() { return FWeapon; }
  TFiniteAutomata& Automata() { return FAutomata; }
  script::TFuncs& Commands() { return FCommands; }
  const std::vector<std::optional<TCadence>>& Cadences() const { return FCadences; }

  // The script error that stopped the last Load and its place in the bot file; Message is
  // empty when the file ran to its end.
  struct TLoadError {
    std::string Message;
    script::TSourcePlace Place;
  };
  const TLoadError& LoadError() const { return FLoadError; }
  // Warning lines the last Load printed: things the bot file asked for that cannot work.
  int32_t WarningCount() const { return FWarningCount; }

  TSoundManager* SoundManager = nullptr;  // not owned; frame sounds are skipped without one
  std::function<void()> OnStateChange;    // the bot entered a state (before its animation)
  // Files named in a bot file are found relative to this directory (with trailing '/');
  // the executable's directory unless a host sets another. A name not found there is looked
  // for in the bot file's own folder next.
  std::string BaseDir;

private:
  void CreateCommands();
  // Runs a bot file's text (Load and LoadText).
  bool Run(script::TScript& script, render::TConsole& console, const std::string& name,
           std::string text);
  void StateEntered(int32_t state);
  void BodyFrameReached(int32_t frame);
  void CycleEnded() { FAutomata.FCanChange = true; }

  void LoadMD2(const script::TArgList& args);
  void LoadWeapon(const script::TArgList& args);
  void LoadMD2Skin(const script::TArgList& args);
  void LoadWeaponSkin(const script::TArgList& args);
  void AddState(const script::TArgList& args);
  void AddNextState(const script::TArgList& args);
  void SetSound(const script::TArgList& args);
  void PrecacheSet(const script::TArgList& args);
  void SetTiming(const script::TArgList& args);
  void Print(const std::string& line);
  void Warn(const std::string& text);
  // Raises `message`; when it stops the load, the console adds each reason on an indented
  // line.
  [[noreturn]] void FailBecause(const std::string& message, std::vector<std::string> reasons);
  // Where the file a bot file names is: from BaseDir, or else from the bot file's folder when it
  // is there. `tried` gets the paths looked at, in order.
  std::string Locate(const std::string& name, std::vector<std::string>& tried) const;
  // Fails with "<what><name> not found"; the reason lines give the reader's `reason`, if any,
  // then the paths tried (when they are not the name itself).
  [[noreturn]] void FailNotFound(const std::string& what, const std::string& name,
                                 const std::vector<std::string>& tried, const std::string& reason);
  // Warns for each frame sound whose wave the precached set lacks.
  void CheckSounds();
  // Warns for a loaded body or weapon that has no skin.
  void CheckSkins();

  TMD2 FModel;
  TMD2 FWeapon;
  script::TFuncs FCommands;
  script::TFuncs* FSavedFunctions = nullptr;
  script::THostCommands FCommandComponents;  // linked to FCommands
  render::TConsole* FConsole = nullptr;
  bool FActive = false;
  bool FDrawn = false;  // the last Draw drew the models
  bool FHasWeapon = false;
  TLoadError FLoadError;
  bool FFromFile = false;  // the text came from a bot file, in the folder FBotDir
  std::string FBotDir;     // with a trailing '/'; empty: the current directory
  struct TFailure {
    std::string Message;
    std::vector<std::string> Reasons;  // the paths tried, the file's reader's words
  } FFailure;
  int32_t FWarningCount = 0;
  int32_t FStatesAdded = 0, FNextStatesAdded = 0;  // counted while SummariseStates
  TFiniteAutomata FAutomata;
  uint16_t FKeys = 0;                              // the mask last handed in by SetKeys
  std::vector<std::optional<TCadence>> FCadences;  // one slot per body frame
};

// The names and values the bot file sees as constants, in the order they are defined.
struct TBotConstant {
  const char* Name;
  int32_t Value;
};
// First the sixteen movement masks, then the animation numbers. The key map's action n moves
// by the n-th mask; there is no mask 8.
inline constexpr TBotConstant BotConstants[25] = {
    {"KEY_NONE", 0},
    {"KEY_FORWARD", 1},
    {"KEY_BACK", 2},
    {"KEY_LEFT", 4},
    {"KEY_RIGHT", 16},
    {"KEY_STRAFELEFT", 32},
    {"KEY_STRAFERIGHT", 64},
    {"KEY_JUMP", 128},
    {"KEY_CROUCH", 256},
    {"KEY_PRIMARYATTACK", 512},
    {"KEY_SECONDARYATTACK", 1024},
    {"KEY_UNUSED1", 2048},
    {"KEY_UNUSED2", 4096},
    {"KEY_UNUSED3", 8192},
    {"KEY_UNUSED4", 16384},
    {"KEY_UNUSED5", 32768},
    {"IDLE1", 0},
    {"JUMP", 4},
    {"CROUCH", 9},
    {"RUN", 1},
    {"RUNBACK", 18},
    {"CROUCH_IDLE", 11},
    {"SHOOT", 16},
    {"CROUCH_SHOOT", 17},
    {"CROUCH_CRAWL", 10},
};
inline constexpr int MovementMaskCount = 16;

// The movement mask of a key-map action; only its low four bits count.
constexpr uint16_t MovementMask(uint8_t action)
{
  return static_cast<uint16_t>(BotConstants[action % MovementMaskCount].Value);
}

}  // namespace quarn::bots
