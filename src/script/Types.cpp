#include "script/Types.h"

#include <array>

#include "script/Errors.h"

namespace quarn::script {

namespace {

struct TBaseName {
  TType Bit;
  const char* Text;
};

// The order of words in a type name.
constexpr std::array<TBaseName, 5> BaseNames = {{
    {TypeVoid, "/VOID"},
    {TypeInteger, "/INTEGER"},
    {TypeFloat, "/FLOAT"},
    {TypeString, "/STRING"},
    {TypeBoolean, "/BOOLEAN"},
}};

}  // namespace

std::string TypeName(TType word)
{
  std::string text;
  for (const TBaseName& base : BaseNames)
    if (word & base.Bit) text += base.Text;
  if (!text.empty()) text.erase(0, 1);
  if (word & TypeFunc) text.insert(0, "FUNC ");
  if (word & TypeVar) text.insert(0, "VAR ");
  if (word & TypeArray) text.insert(0, "ARRAY ");
  if (word & TypeOpen) text += " OPEN";
  return text;
}

std::string TypesToString(std::span<const TType> words)
{
  std::string text = "(";
  for (size_t i = 0; i < words.size(); ++i) {
    if (i) text += ", ";
    text += TypeName(words[i]);
  }
  text += ")";
  return text;
}

std::string TTypes::ToString() const { return TypesToString(FItems); }

bool TTypes::Matches(const std::string& name, std::span<const TType> args, TType* actual) const
{
  const size_t count = FItems.size();
  size_t i = 0;
  for (size_t j = 0; j < args.size(); ++j) {
    if (i == count) return false;
    if (!Compatible(FItems[i], args[j])) {
      if (!(FItems[i] & TypeOpen)) return false;
      ++i;
      if (i == count || !Compatible(FItems[i], args[j])) return false;
    }
    actual[j] = args[j] & ((FItems[i] & TypeModifierMask) | TypeAll);
    if (!(FItems[i] & TypeOpen)) ++i;
  }
  for (; i < count; ++i)
    if (!(FItems[i] & TypeOpen)) return false;
  return true;
}

void TTypes::CheckArgs(const std::string& name, std::span<const TType> args, TType* actual) const
{
  const size_t count = FItems.size();
  auto misfit = [&](size_t patternIndex, size_t argIndex) {
    return ERTE(FormatMessage(msg::ExpectsTypeAtArgument, name.c_str(),
                              TypeName(FItems[patternIndex]).c_str(),
                              TypeName(args[argIndex]).c_str(), static_cast<int>(argIndex + 1)));
  };
  size_t i = 0;
  for (size_t j = 0; j < args.size(); ++j) {
    if (i == count) throw ERTE(FormatMessage(msg::TooManyArguments, name.c_str()));
    if (!Compatible(FItems[i], args[j])) {
      if (!(FItems[i] & TypeOpen)) throw misfit(i, j);
      // skip the whole run of open parameters that do not take this argument
      while (FItems[i] & TypeOpen) {
        ++i;
        if (i == count) throw misfit(count - 1, j);
        if (Compatible(FItems[i], args[j])) break;
        if (!(FItems[i] & TypeOpen)) throw misfit(i, j);
      }
    }
    actual[j] = args[j] & ((FItems[i] & TypeModifierMask) | TypeAll);
    if (!(FItems[i] & TypeOpen)) ++i;
  }
  for (; i < count; ++i)
    if (!(FItems[i] & TypeOpen))
      throw ERTE(FormatMessage(msg::NotEnoughArguments, name.c_str(), static_cast<int>(args.size()),
                               static_cast<int>(count)));
}

}  // namespace quarn::script
