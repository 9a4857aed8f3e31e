#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::bots {
class TMD2;
}

namespace quarn::model {

// A run of a model's keyframes under one recorded name: the name its frames share once their
// trailing number is dropped, made safe for a file name (letters, digits, '_' and '-').
struct TAnimation {
  std::string Name;
  int32_t First = 0;
  int32_t Last = 0;

  bool operator==(const TAnimation&) const = default;
};

// The model's recorded animations: runs of consecutive frames whose names share their stem
// once the trailing number is dropped ("run1".."run6"); a break in the numbering starts a new
// run. A name seen again (in any letter case) gets "_2", "_3"; frames without a name are
// "frames". The console, the viewer's keys, --render and the exporters all name them so.
std::vector<TAnimation> RecordedAnimations(const std::vector<std::string>& frameNames);
std::vector<TAnimation> RecordedAnimations(const bots::TMD2& model);

// The animations `name` stands for, in the model's order, matched without regard to case: the
// one of that name, and where the name was repeated, its runs "name_2", "name_3" too ("pain_2"
// stands for that run only). Empty when the model has none of that name.
std::vector<TAnimation> FindAnimations(const std::vector<TAnimation>& recorded,
                                       const std::string& name);

}  // namespace quarn::model
