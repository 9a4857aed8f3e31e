#include <gtest/gtest.h>

#include "render/OpenGL.h"

using quarn::render::GetExtension;
using quarn::render::GetExtensionCount;

namespace {

struct ItemCase {
  const char* text;
  int n;
  const char* item;
};

// Item 0 keeps the space after it, later items the space before them; a trailing space makes
// one last item that is a lone space.
constexpr ItemCase Items[] = {
    {"X Y Z ", 0, "X "}, {"X Y Z ", 1, " Y"}, {"X Y Z ", 2, " Z"}, {"X Y Z ", 3, " "},
    {"X Y Z ", 4, ""},   {"X Y Z ", 9, ""},   {"X Y Z", 0, "X "},  {"X Y Z", 2, " Z"},
    {"X Y Z", 3, ""},    {"", 0, ""},         {"GL_A", 0, "GL_A"}, {"GL_A", 1, ""},
    {" A", 0, ""},       {" A", 1, " A"},     {"AB  CD", 1, " "},  {"AB  CD", 2, " CD"},
};

TEST(Extensions, ItemsOfTheExtensionsText)
{
  for (const ItemCase& c : Items)
    EXPECT_EQ(GetExtension(c.text, c.n), c.item) << '"' << c.text << "\" item " << c.n;
}

TEST(Extensions, CountStopsAtTheFirstEmptyOrBlankItem)
{
  EXPECT_EQ(GetExtensionCount("X Y Z "), 3);
  EXPECT_EQ(GetExtensionCount("X Y Z"), 3);
  EXPECT_EQ(GetExtensionCount(""), 0);
  EXPECT_EQ(GetExtensionCount("GL_ARB_multitexture"), 1);
  EXPECT_EQ(GetExtensionCount(" A"), 0) << "a leading space leaves item 0 empty";
  EXPECT_EQ(GetExtensionCount("AB  CD"), 1) << "a double space ends the list";
}

TEST(Extensions, FortyNamesCountForty)
{
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "GL_EXT_" + std::to_string(i) + " ";
  ASSERT_EQ(GetExtensionCount(text), 40);
  EXPECT_EQ(GetExtension(text, 0), "GL_EXT_1 ");
  EXPECT_EQ(GetExtension(text, 39), " GL_EXT_40");
}

}  // namespace
