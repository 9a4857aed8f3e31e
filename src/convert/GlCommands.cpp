#include "convert/GlCommands.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

namespace quarn::convert {

namespace {

// A corner: its vertex and its texture coordinate entry, as one key.
using TCorner = uint64_t;

TCorner CornerOf(const bots::TMD2Triangle& triangle, size_t k)
{
  return uint64_t(uint16_t(triangle.Vertex[k])) << 16 | uint16_t(triangle.TexCoord[k]);
}

class TStripper {
public:
  explicit TStripper(const bots::TMD2Content& content) : FContent(content)
  {
    const size_t count = content.Triangles.size();
    FDrawn.assign(count, false);
    for (size_t t = 0; t < count; ++t)
      for (size_t k = 0; k < 3; ++k)
        FByEdge.emplace(Edge(Corner(t, k), Corner(t, (k + 1) % 3)), t);
  }

  // A strip or fan: its corners and the triangles they draw.
  struct TRun {
    std::vector<TCorner> Corners;
    std::vector<size_t> Triangles;
    bool Fan = false;
  };

  // The longest strip or fan that starts with triangle t (not drawn yet); its triangles are
  // then drawn.
  TRun Longest(size_t t)
  {
    TRun best;
    for (const bool fan : {false, true})
      for (size_t r = 0; r < 3; ++r) {
        TRun run = Grow(t, r, fan);
        if (run.Corners.size() > best.Corners.size()) best = std::move(run);
      }
    for (const size_t drawn : best.Triangles) FDrawn[drawn] = true;
    return best;
  }

  bool Drawn(size_t t) const { return FDrawn[t]; }
  TCorner Corner(size_t t, size_t k) const { return CornerOf(FContent.Triangles[t], k); }

private:
  static uint64_t Edge(TCorner a, TCorner b) { return a << 32 | b; }

  // The first two corners of triangle k of a run; the third is run[k + 2] for a strip, for a
  // fan run[k + 2] as well, with run[0] in place of the first.
  static std::pair<TCorner, TCorner> Pair(const std::vector<TCorner>& run, size_t k, bool fan)
  {
    if (fan) return {run[0], run[k + 1]};
    // A strip's odd triangles run backwards over their first edge, so all keep one winding.
    return k % 2 == 0 ? std::pair{run[k], run[k + 1]} : std::pair{run[k + 1], run[k]};
  }

  // A triangle not drawn yet (and not in `taken`) whose corners run a, b, x for some x.
  const size_t* Find(TCorner a, TCorner b, const std::vector<size_t>& taken = {}) const
  {
    const auto [first, last] = FByEdge.equal_range(Edge(a, b));
    for (auto it = first; it != last; ++it)
      if (!FDrawn[it->second] &&
          std::find(taken.begin(), taken.end(), it->second) == taken.end())
        return &it->second;
    return nullptr;
  }

  // The third corner of triangle t after a, b.
  TCorner Third(size_t t, TCorner a, TCorner b) const
  {
    for (size_t k = 0; k < 3; ++k)
      if (Corner(t, k) == a && Corner(t, (k + 1) % 3) == b) return Corner(t, (k + 2) % 3);
    return Corner(t, 0);
  }

  TRun Grow(size_t t, size_t rotation, bool fan) const
  {
    TRun run;
    run.Fan = fan;
    run.Corners = {Corner(t, rotation), Corner(t, (rotation + 1) % 3), Corner(t, (rotation + 2) % 3)};
    run.Triangles = {t};
    for (size_t k = 1;; ++k) {
      // Triangle k's first corners are known; its third is the next corner of the run.
      const auto [a, b] = Pair(run.Corners, k, fan);
      const size_t* next = Find(a, b, run.Triangles);
      if (!next) return run;
      run.Triangles.push_back(*next);
      run.Corners.push_back(Third(*next, a, b));
    }
  }

  const bots::TMD2Content& FContent;
  std::vector<bool> FDrawn;
  std::unordered_multimap<uint64_t, size_t> FByEdge;  // directed edge -> triangles along it
};

}  // namespace

std::vector<int32_t> BuildGlCommands(const bots::TMD2Content& content)
{
  std::vector<int32_t> words;
  TStripper stripper(content);
  const auto texCoord = [&](TCorner corner, size_t axis, int32_t size) {
    const size_t entry = size_t(corner & 0xffff);
    const float value = entry < content.TexCoords.size()
                            ? float(content.TexCoords[entry][axis]) / float(size)
                            : 0.0f;
    return std::bit_cast<int32_t>(value);
  };
  for (size_t t = 0; t < content.Triangles.size(); ++t) {
    if (stripper.Drawn(t)) continue;
    const auto run = stripper.Longest(t);
    const int32_t count = int32_t(run.Corners.size());
    words.push_back(run.Fan ? -count : count);
    for (const TCorner corner : run.Corners) {
      words.push_back(texCoord(corner, 0, content.SkinWidth));
      words.push_back(texCoord(corner, 1, content.SkinHeight));
      words.push_back(int32_t(corner >> 16));
    }
  }
  words.push_back(0);
  return words;
}

}  // namespace quarn::convert
