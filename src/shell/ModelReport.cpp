#include "shell/ModelReport.h"

#include <algorithm>

#include "bots/Bot.h"
#include "bots/MD2.h"
#include "model/Animations.h"
#include "model/Skins.h"
#include "render/Texture.h"
#include "shell/ModelViewer.h"

namespace quarn::shell {

namespace {

std::string Range(int32_t first, int32_t last)
{
  return std::to_string(first) + "-" + std::to_string(last);
}

std::string Join(const std::vector<std::string>& items, const char* separator)
{
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
  return text;
}

void ModelLines(const char* title, const bots::TMD2& model, std::vector<std::string>& lines)
{
  if (!model.IsLoaded()) {
    lines.push_back(std::string(title) + ": none");
    return;
  }
  lines.push_back(std::string(title) + ": " + model.FileName());
  lines.push_back("  " + std::to_string(model.GetFrameCount()) + " frames, " +
                  std::to_string(model.GetVertexCount()) + " vertices, " +
                  std::to_string(model.GetTriangleCount()) + " triangles");
  lines.push_back("  skin size " + std::to_string(model.SkinWidth()) + "x" +
                  std::to_string(model.SkinHeight()));
  std::vector<std::string> names = model.SkinNames();
  const size_t more = names.size() > model::MaxSkinNames ? names.size() - model::MaxSkinNames : 0;
  names.resize(names.size() - more);
  lines.push_back("  recorded skins: " + (names.empty() ? std::string("none") : Join(names, ", ")) +
                  (more ? " and " + std::to_string(more) + " more" : std::string()));
  const render::TTexture* texture = model.GetTexture(0);
  if (model.SkinFileName().empty() || !texture)
    lines.push_back("  skin in use: none");
  else
    lines.push_back("  skin in use: " + model.SkinFileName() + " (" +
                    std::to_string(texture->Width) + "x" + std::to_string(texture->Height) + ")");
}

}  // namespace

std::vector<std::string> ModelInfoLines(bots::TBot& bot)
{
  std::vector<std::string> lines;
  ModelLines("Body", bot.Model(), lines);
  ModelLines("Weapon", bot.Weapon(), lines);
  return lines;
}

std::vector<std::string> AnimationLines(const bots::TMD2& model)
{
  if (!model.IsLoaded()) return {"No model loaded"};
  const std::vector<model::TAnimation> groups = model::RecordedAnimations(model);
  std::vector<std::string> lines;
  lines.push_back("Frames by recorded name:");
  for (const model::TAnimation& group : groups)
    lines.push_back("  " + group.Name + " " + Range(group.First, group.Last));
  lines.push_back("Built-in animations:");
  const int32_t frames = model.GetFrameCount();
  for (size_t number = 0; number < bots::AnimationTable.size(); ++number) {
    const bots::TAnimationRange& range = bots::AnimationTable[number];
    const int32_t low = std::min(range.Start, range.End), high = std::max(range.Start, range.End);
    std::string line = "  " + std::to_string(number) + ": " + Range(range.Start, range.End);
    if (high >= frames) {
      lines.push_back(line + " past the last frame " + std::to_string(frames - 1));
      continue;
    }
    std::vector<std::string> covered;
    bool exact = false;
    for (const model::TAnimation& group : groups) {
      if (group.Last < low || group.First > high) continue;
      covered.push_back(group.Name);
      exact = group.First == low && group.Last == high;
    }
    exact = exact && covered.size() == 1;
    lines.push_back(line + (exact ? " = " : " ~ ") + Join(covered, "+"));
  }
  return lines;
}

}  // namespace quarn::shell
