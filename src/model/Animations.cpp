#include "model/Animations.h"

#include <strings.h>

#include <charconv>

#include "bots/MD2.h"

namespace quarn::model {

namespace {

// The name without its trailing digits, and their value (-1 when there are none).
void SplitNumber(const std::string& name, std::string& stem, long& number)
{
  size_t end = name.size();
  while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
  stem = name.substr(0, end);
  number = -1;
  if (end < name.size()) {
    const std::string digits = name.substr(end, 9);  // no overflow
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
  }
}

// Only characters that are safe in a file name on any system.
std::string FileSafe(const std::string& stem)
{
  std::string name;
  for (const char c : stem) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-';
    name += safe ? c : '_';
  }
  while (!name.empty() && name.back() == '_') name.pop_back();
  return name.empty() ? "frames" : name;
}

// Names match without regard to case: "RUN" is "run".
bool SameName(const std::string& a, const std::string& b)
{
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// "pain_2" is a repeat of "pain": the base, '_' and a number.
bool RepeatOf(const std::string& name, const std::string& base)
{
  return name.size() > base.size() + 1 && SameName(name.substr(0, base.size()), base) &&
         name[base.size()] == '_' &&
         name.find_first_not_of("0123456789", base.size() + 1) == std::string::npos;
}

}  // namespace

std::vector<TAnimation> RecordedAnimations(const std::vector<std::string>& frameNames)
{
  std::vector<TAnimation> groups;
  std::string previousStem;
  long previousNumber = -1;
  for (size_t frame = 0; frame < frameNames.size(); ++frame) {
    std::string stem;
    long number = -1;
    SplitNumber(frameNames[frame], stem, number);
    const bool sameRun = !groups.empty() && stem == previousStem &&
                         (number < 0 ? previousNumber < 0 : number == previousNumber + 1);
    if (sameRun) {
      groups.back().Last = int32_t(frame);
    } else {
      const std::string base = FileSafe(stem);
      std::string name = base;
      for (int n = 2;; ++n) {
        bool taken = false;
        for (const TAnimation& group : groups) taken = taken || SameName(group.Name, name);
        if (!taken) break;
        name = base + "_" + std::to_string(n);
      }
      groups.push_back({name, int32_t(frame), int32_t(frame)});
    }
    previousStem = stem;
    previousNumber = number;
  }
  return groups;
}

std::vector<TAnimation> RecordedAnimations(const bots::TMD2& model)
{
  std::vector<std::string> names;
  for (int32_t frame = 0; frame < model.GetFrameCount(); ++frame)
    names.push_back(model.FrameName(frame));
  return RecordedAnimations(names);
}

std::vector<TAnimation> FindAnimations(const std::vector<TAnimation>& recorded,
                                       const std::string& name)
{
  std::vector<TAnimation> found;
  const bool base = FileSafe(name) == name;
  for (const TAnimation& group : recorded)
    if (SameName(group.Name, name) || (base && RepeatOf(group.Name, name))) found.push_back(group);
  return found;
}

}  // namespace quarn::model
