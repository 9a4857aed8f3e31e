// Type words (bit sets describing values, expressions and parameters) and TTypes, an ordered
// list of type words used both as a parameter pattern and as the argument types of a call.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace quarn::script {

using TType = int32_t;

inline constexpr TType TypeVoid = 1;
inline constexpr TType TypeBoolean = 2;
inline constexpr TType TypeInteger = 4;
inline constexpr TType TypeFloat = 8;
inline constexpr TType TypeString = 16;
inline constexpr TType TypeVar = 32;    // a variable or element reference, passed unevaluated
inline constexpr TType TypeArray = 64;  // an array value, or an element reference
inline constexpr TType TypeFunc = 128;  // a call node, passed unevaluated
inline constexpr TType TypeOpen = 256;  // the parameter takes any number of arguments

inline constexpr TType TypeAll = 31;   // the five basic bits
inline constexpr TType TypeAdd = 28;   // INTEGER/FLOAT/STRING
inline constexpr TType TypeMult = 12;  // INTEGER/FLOAT
inline constexpr TType TypeBaseMask = TypeAll;
inline constexpr TType TypeModifierMask = TypeVar | TypeArray | TypeFunc;

// "VOID/INTEGER/...", preceded by "ARRAY ", "VAR ", "FUNC " and followed by " OPEN".
std::string TypeName(TType word);

// param's OPEN bit is ignored: the base parts share a bit and every modifier of param is in arg.
constexpr bool Compatible(TType param, TType arg)
{
  return (param & arg & TypeBaseMask) != 0 && (param & TypeModifierMask & ~arg) == 0;
}

// Both or neither are arrays, and they share one of BOOLEAN, INTEGER, FLOAT, STRING.
constexpr bool SameKind(TType a, TType b)
{
  constexpr TType kinds = TypeBoolean | TypeInteger | TypeFloat | TypeString;
  return ((a ^ b) & TypeArray) == 0 && (a & b & kinds) != 0;
}

class TTypes {
public:
  TTypes() = default;
  explicit TTypes(int count) : FItems(static_cast<size_t>(count > 0 ? count : 0), 0) {}
  TTypes(std::initializer_list<TType> words) : FItems(words) {}
  explicit TTypes(std::span<const TType> words) : FItems(words.begin(), words.end()) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  void Add(TType word) { FItems.push_back(word); }
  TType Get(int index) const
  {
    return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)] : TypeVoid;
  }
  void Set(int index, TType word)
  {
    if (index >= 0 && index < Count()) FItems[static_cast<size_t>(index)] = word;
  }
  std::span<const TType> Items() const { return FItems; }

  // "(" + the type names joined by ", " + ")".
  std::string ToString() const;

  // Whether this pattern accepts the argument types args; actual receives one word per
  // argument: its base type with only the modifiers this pattern asks for.
  bool Matches(const std::string& name, std::span<const TType> args, TType* actual) const;
  // As Matches, but raises ERTE describing the first misfit.
  void CheckArgs(const std::string& name, std::span<const TType> args, TType* actual) const;

private:
  std::vector<TType> FItems;
};

std::string TypesToString(std::span<const TType> words);

}  // namespace quarn::script
