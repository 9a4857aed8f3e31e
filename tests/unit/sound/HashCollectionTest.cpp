#include <gtest/gtest.h>

#include "sound/WaveCollection.h"

namespace quarn::sound {
namespace {

TEST(HashCollection, HashOfAName)
{
  const struct {
    const char* name;
    int hash;
  } cases[] = {
      {"ab", 226},  // 2 × 16 + 'a' + 'a'
      {"AB", 226},  // lower-cased first
      {"", 0},
      {"x", 16},  // one character: the length alone
      {"step", 64 + 's' + 'e' - 256},
      {"footstep", (128 + 'f' + 'e') % 256},
  };
  for (const auto& c : cases) EXPECT_EQ(THashCollection::Hash(c.name), c.hash) << c.name;
}

TEST(HashCollection, FindIgnoresLetterCase)
{
  TWaveCollection waves;
  waves.Add().SetName("Footstep");
  waves.Add().SetName("shot");
  EXPECT_EQ(&waves.Find("FOOTSTEP"), &waves.Items(0));
  EXPECT_EQ(&waves.Find("Shot"), &waves.Items(1));
  EXPECT_EQ(waves.IndexOf("footsteps"), -1);
}

TEST(HashCollection, FindOfAMissingNameRaises)
{
  TWaveCollection waves;
  waves.Add().SetName("jump");
  try {
    waves.Find("step");
    FAIL();
  } catch (const EWaveCollectionError& e) {
    EXPECT_STREQ(e.what(), "Wave 'step' not found");
  }
}

TEST(HashCollection, OfTwoEqualNamesTheOneNamedLastIsFound)
{
  TWaveCollection waves;
  waves.Add().SetName("pain");
  waves.Add().SetName("PAIN");
  EXPECT_EQ(waves.IndexOf("pain"), 1);
  // Renaming the first again makes it the newest of its chain.
  waves.Items(0).SetName("Pain");
  EXPECT_EQ(waves.IndexOf("pain"), 0);
}

TEST(HashCollection, RenamingAndDeletingKeepLookupsRight)
{
  TWaveCollection waves;
  for (const char* name : {"a", "b", "c", "ba"}) waves.Add().SetName(name);
  waves.Items(1).SetName("renamed");
  EXPECT_EQ(waves.IndexOf("b"), -1);
  EXPECT_EQ(waves.IndexOf("renamed"), 1);

  waves.Delete(0);
  ASSERT_EQ(waves.Count(), 3);
  EXPECT_EQ(waves.IndexOf("a"), -1);
  EXPECT_EQ(waves.IndexOf("renamed"), 0);
  EXPECT_EQ(waves.IndexOf("c"), 1);
  EXPECT_EQ(waves.IndexOf("ba"), 2);
  EXPECT_EQ(waves.Items(2).Index(), 2);
  waves.Clear();
  EXPECT_EQ(waves.IndexOf("c"), -1);
}

TEST(HashCollection, AssignCopiesItemsAndTheirSettings)
{
  TWaveCollection source;
  TWaveCollectionItem& item = source.Add();
  item.SetName("loop");
  item.SetLooped(true);
  item.SetMaxPlayingCount(-3);
  EXPECT_EQ(item.MaxPlayingCount(), 0);
  item.SetMaxPlayingCount(4);
  item.Wave().SetPCMFormat(1, 8000, 8);
  item.Wave().SetSize(10);

  TWaveCollection copy;
  copy.Add().SetName("old");
  copy.Assign(source);
  ASSERT_EQ(copy.Count(), 1);
  const TWaveCollectionItem& copied = copy.Find("LOOP");
  EXPECT_TRUE(copied.Looped());
  EXPECT_EQ(copied.MaxPlayingCount(), 4);
  EXPECT_EQ(copied.Wave().Size(), 10);
  EXPECT_EQ(copy.IndexOf("old"), -1);
}

}  // namespace
}  // namespace quarn::sound
