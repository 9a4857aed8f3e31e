// One naming and matching rule for a model's recorded animations: the console's Animations,
// Play(name) and `quarn --render --anim name` give the same groups, names and frames, whatever
// the letter case of the name asked for.
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "ViewerFixture.h"

namespace {

// Frame names of the two models: published models repeat a name in runs numbered 101..,
// 201..; others put digits inside their names or restart a run's numbering.
const std::vector<std::string> Repeated = {"stand01", "stand02", "stand03", "pain101",
                                           "pain102", "pain103", "pain201", "pain202",
                                           "pain301", "pain302", "pain303", "pain304"};
const std::vector<std::string> Digits = {"crouch2walk1", "crouch2walk2", "crouch2walk3",
                                         "jump10",       "jump11",       "jump12",
                                         "jump1",        "Flip",         "Flip"};

struct TGroup {
  const char* Name;
  int First;
  int Last;
};

struct TNameCase {
  const std::vector<std::string>* Frames;
  const char* Asked;           // as the user types it
  std::vector<TGroup> Groups;  // what it stands for; Play plays the first
};

const TNameCase Cases[] = {
    {&Repeated, "pain", {{"pain", 3, 5}, {"pain_2", 6, 7}, {"pain_3", 8, 11}}},
    {&Repeated, "PAIN_2", {{"pain_2", 6, 7}}},
    {&Repeated, "Pain_3", {{"pain_3", 8, 11}}},
    {&Repeated, "STAND", {{"stand", 0, 2}}},
    {&Digits, "Crouch2Walk", {{"crouch2walk", 0, 2}}},
    {&Digits, "JUMP", {{"jump", 3, 5}, {"jump_2", 6, 6}}},
    {&Digits, "jump_2", {{"jump_2", 6, 6}}},
    {&Digits, "flip", {{"Flip", 7, 8}}},
};

quarn::bots::TMD2Content Model(const std::vector<std::string>& names)
{
  quarn::bots::TMD2Content content;
  content.SkinWidth = content.SkinHeight = 8;
  content.TexCoords = {{0, 0}, {7, 0}, {4, 7}};
  content.Triangles = {{{0, 1, 2}, {0, 1, 2}}};
  for (size_t frame = 0; frame < names.size(); ++frame) {
    const float lift = float(frame);
    content.Frames.push_back(quarn::bots::QuantizeFrame(
        {quarn::render::Vector(-10, 0, lift), quarn::render::Vector(10, 0, lift),
         quarn::render::Vector(0, 10, 20 + lift)},
        names[frame]));
  }
  return content;
}

std::string Range(const TGroup& group)
{
  return std::to_string(group.First) + "-" + std::to_string(group.Last);
}

// The sprite files --render writes for the groups from one direction, sorted.
std::vector<std::string> SpriteFiles(const std::vector<TGroup>& groups)
{
  std::vector<std::string> files;
  for (const TGroup& group : groups)
    for (int frame = 0; frame <= group.Last - group.First; ++frame) {
      char number[16];
      std::snprintf(number, sizeof number, "%03d", frame);
      files.push_back(std::string(group.Name) + "_dir0_" + number + ".png");
    }
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(ViewerTest, AnimationsPlayAndRenderNameAndMatchTheGroupsAlike)
{
  namespace fs = std::filesystem;
  for (const TNameCase& c : Cases) {
    SCOPED_TRACE(std::string("asked for ") + c.Asked);
    model = folder.Path + (c.Frames == &Repeated ? "repeated.md2" : "digits.md2");
    ASSERT_TRUE(quarn::bots::SaveBytes(model, quarn::bots::WriteMD2(Model(*c.Frames))));
    View();

    const std::vector<std::string> listed = Run("Animations");
    for (const TGroup& group : c.Groups) {
      const std::string line = std::string("  ") + group.Name + " " + Range(group);
      EXPECT_NE(std::find(listed.begin(), listed.end(), line), listed.end()) << line;
    }

    EXPECT_EQ(Said(std::string("Play('") + c.Asked + "')"), "");
    const TGroup& played = c.Groups.front();
    EXPECT_EQ(form->Bots().Playback().First(), played.First);
    EXPECT_EQ(form->Bots().Playback().Last(), played.Last);
    Said("DrawPlayback(true)");
    EXPECT_EQ(form->Bots().FrameNumberText().rfind(std::string("Frame: ") + played.Name + " ", 0),
              0u)
        << form->Bots().FrameNumberText();

    const std::string out = folder.Path + "out_" + c.Asked;
    const std::string command = std::string("'") + QUARN_EXE + "' --render '" + model +
                                "' --anim '" + c.Asked + "' --directions 1 --size 32x32 --out '" +
                                out + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    std::vector<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(out))
      written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, SpriteFiles(c.Groups));
  }
}

}  // namespace
