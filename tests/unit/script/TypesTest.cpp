#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/Errors.h"
#include "script/Types.h"
#include "script/Value.h"

namespace quarn::script {
namespace {

constexpr TType V = TypeVar, A = TypeArray, F = TypeFunc, O = TypeOpen;

TEST(TypeName, OrdersWordsAndModifiers)
{
  const std::pair<TType, const char*> cases[] = {
      {TypeAll, "VOID/INTEGER/FLOAT/STRING/BOOLEAN"},
      {A | V | TypeInteger, "ARRAY VAR INTEGER"},
      {F | O | TypeAll, "FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN OPEN"},
      {A | V | TypeFloat, "ARRAY VAR FLOAT"},
      {F | V | TypeInteger, "VAR FUNC INTEGER"},
      {TypeMult, "INTEGER/FLOAT"},
      {TypeBoolean | TypeVoid, "VOID/BOOLEAN"},
      {0, ""},
  };
  for (const auto& [word, text] : cases) EXPECT_EQ(TypeName(word), text) << word;
  EXPECT_EQ(TTypes().ToString(), "()");
  EXPECT_EQ(TTypes({TypeString, TypeAdd | O}).ToString(), "(STRING, INTEGER/FLOAT/STRING OPEN)");
}

TEST(TypeWords, CompatibleAndSameKind)
{
  EXPECT_TRUE(Compatible(V | TypeAll, V | TypeVoid));
  EXPECT_FALSE(Compatible(V | TypeMult, V | TypeVoid));
  EXPECT_FALSE(Compatible(F | TypeBoolean, TypeBoolean));      // a constant carries no FUNC bit
  EXPECT_TRUE(Compatible(TypeMult | O, V | A | TypeInteger));  // extra modifiers in arg are fine
  EXPECT_TRUE(SameKind(V | TypeInteger, TypeInteger));
  EXPECT_FALSE(SameKind(TypeInteger, TypeFloat));
  EXPECT_FALSE(SameKind(A | TypeInteger, TypeInteger));
  EXPECT_FALSE(SameKind(TypeVoid, TypeVoid));
}

struct TMatchCase {
  std::vector<TType> Pattern;
  std::vector<TType> Args;
  bool Matches;
  std::vector<TType> Actual;  // when it matches
  const char* Error;          // CheckArgs' message when it does not
};

const TMatchCase MatchCases[] = {
    {{V | TypeAll, TypeAll}, {V | TypeVoid, TypeInteger}, true, {V | TypeVoid, TypeInteger}, ""},
    {{V | TypeMult},
     {V | TypeVoid},
     false,
     {},
     "Function F expects type VAR INTEGER/FLOAT instead of type VAR VOID at argument 1"},
    {{F | TypeBoolean, F | TypeAll | O}, {F | TypeBoolean}, true, {F | TypeBoolean}, ""},
    {{F | TypeBoolean, F | TypeAll | O},
     {F | TypeBoolean, F | TypeVoid},
     true,
     {F | TypeBoolean, F | TypeVoid},
     ""},
    {{F | TypeBoolean, F | TypeAll | O},
     {F | TypeBoolean, F | TypeVoid, F | TypeInteger},
     true,
     {F | TypeBoolean, F | TypeVoid, F | TypeInteger},
     ""},
    {{F | TypeBoolean, F | TypeAll | O},
     {TypeBoolean, F | TypeVoid},
     false,
     {},
     "Function F expects type FUNC BOOLEAN instead of type BOOLEAN at argument 1"},
    // a variable argument loses its VAR bit for a value parameter: it is evaluated first
    {{TypeString, TypeAdd | O},
     {TypeString, V | TypeInteger, F | TypeFloat},
     true,
     {TypeString, TypeInteger, TypeFloat},
     ""},
    {{TypeInteger}, {TypeInteger, TypeInteger}, false, {}, "Too many arguments for function F!"},
    {{TypeInteger, TypeInteger},
     {TypeInteger},
     false,
     {},
     "Not enough arguments for function F (1 instead of 2)."},
    {{}, {TypeInteger}, false, {}, "Too many arguments for function F!"},
    {{TypeAll | O}, {}, true, {}, ""},
    // an open parameter that does not take an argument hands it to the next one
    {{TypeString | O, TypeInteger},
     {TypeString, TypeString, TypeInteger},
     true,
     {TypeString, TypeString, TypeInteger},
     ""},
    {{TypeString | O, TypeInteger},
     {TypeFloat},
     false,
     {},
     "Function F expects type INTEGER instead of type FLOAT at argument 1"},
    {{TypeString | O, TypeInteger | O},
     {TypeFloat},
     false,
     {},
     "Function F expects type INTEGER OPEN instead of type FLOAT at argument 1"},
};

TEST(TTypes, MatchesAndCheckArgs)
{
  for (const TMatchCase& c : MatchCases) {
    const TTypes pattern{std::span<const TType>(c.Pattern)};
    std::vector<TType> actual(c.Args.size(), 0);
    const std::string label = pattern.ToString() + " with " + TypesToString(c.Args);
    EXPECT_EQ(pattern.Matches("F", c.Args, actual.data()), c.Matches) << label;
    std::string error;
    std::vector<TType> checked(c.Args.size(), 0);
    try {
      pattern.CheckArgs("F", c.Args, checked.data());
    } catch (const ERTE& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.Error) << label;
    if (c.Matches) {
      EXPECT_EQ(actual, c.Actual) << label;
      EXPECT_EQ(checked, c.Actual) << label;
    }
  }
}

// Matches skips one open parameter that does not take an argument, CheckArgs a whole run.
TEST(TTypes, CheckArgsSkipsARunOfOpenParameters)
{
  const TTypes pattern{TypeString | O, TypeInteger | O, TypeFloat};
  const TType args[] = {TypeFloat};
  TType actual[1] = {0};
  EXPECT_FALSE(pattern.Matches("F", args, actual));
  EXPECT_NO_THROW(pattern.CheckArgs("F", args, actual));
  EXPECT_EQ(actual[0], TypeFloat);
}

TEST(TTypes, GetAndSetIgnoreIndexesOutside)
{
  TTypes types{TypeInteger};
  EXPECT_EQ(types.Get(1), TypeVoid);
  EXPECT_EQ(types.Get(-1), TypeVoid);
  types.Set(5, TypeFloat);
  types.Set(0, TypeString);
  EXPECT_EQ(types.Count(), 1);
  EXPECT_EQ(types.Get(0), TypeString);
}

TEST(Variant, TypeOfAndConversions)
{
  EXPECT_EQ(TypeOf(Variant()), TypeVoid);
  EXPECT_EQ(TypeOf(Variant(1)), TypeInteger);
  EXPECT_EQ(TypeOf(Variant(1.0)), TypeFloat);
  EXPECT_EQ(TypeOf(Variant("s")), TypeString);
  EXPECT_EQ(TypeOf(Variant(true)), TypeBoolean);
  const int32_t counts[] = {2, 3};
  EXPECT_EQ(TypeOf(Variant(TArray(TypeString, counts))), TypeArray | TypeString);
  EXPECT_EQ(TypeOf(Normalize(int16_t{-5})), TypeInteger);
  EXPECT_EQ(TypeOf(Normalize(1.5f)), TypeFloat);

  const std::pair<Variant, int32_t> integers[] = {
      {Variant(2.5), 2},   {Variant(3.5), 4}, {Variant(-2.5), -2},   {Variant(true), -1},
      {Variant(false), 0}, {Variant(), 0},    {Variant(" 7.5 "), 8}, {Variant(7), 7},
  };
  for (const auto& [value, expected] : integers) EXPECT_EQ(value.ToInteger(), expected);
  const Variant bad[] = {Variant("x"), Variant(""), Variant(1e10),
                         Variant(TArray(TypeInteger, counts))};
  for (const Variant& value : bad) {
    try {
      (void)value.ToInteger();
      ADD_FAILURE() << "converted";
    } catch (const ERTE& e) {
      EXPECT_EQ(e.Message(), "Invalid variant type conversion");
    }
  }
  EXPECT_EQ(Variant("1e3").ToFloat(), 1000.0);
}

TEST(Variant, ValueLibraryArithmetic)
{
  Variant result;
  VarAdd(Variant(2147483647), Variant(1), result);
  EXPECT_TRUE(result.IsFloat());
  EXPECT_EQ(result.AsFloat(), 2147483648.0);
  VarAdd(Variant(2), Variant(3), result);
  EXPECT_EQ(TypeOf(result), TypeInteger);
  VarSub(Variant(1.5), Variant(1), result);
  EXPECT_EQ(result.AsFloat(), 0.5);
  VarMul(Variant(65536), Variant(65536), result);
  EXPECT_TRUE(result.IsFloat());
  Variant text("ab");
  VarAdd(text, Variant("cd"), text);
  EXPECT_EQ(text.AsString(), "abcd");
}

TEST(Variant, ArraysHaveValueSemanticsAndKeepLinearLayoutOnResize)
{
  const int32_t counts[] = {2, 3};
  Variant a(TArray(TypeInteger, counts));
  for (size_t i = 0; i < 6; ++i) a.AsArray().Put(i, Variant(static_cast<int32_t>(i)));
  Variant b = a;
  b.AsArray().Put(0, Variant(99));
  Variant element;
  a.AsArray().Get(0, element);
  EXPECT_EQ(element.AsInteger(), 0);
  a.AsArray().ResizeLast(5);
  EXPECT_EQ(a.AsArray().HighBound(1), 4);
  EXPECT_EQ(a.AsArray().ElementCount(), 10u);
  a.AsArray().Get(5, element);
  EXPECT_EQ(element.AsInteger(), 5);
  a.AsArray().Get(9, element);
  EXPECT_EQ(element.AsInteger(), 0);
}

}  // namespace
}  // namespace quarn::script
