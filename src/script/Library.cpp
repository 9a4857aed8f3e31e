// String, conversion, format and date built-ins.
#include "script/Library.h"

#include <charconv>
#include <memory>
#include <vector>

#include "script/DateTime.h"
#include "script/Errors.h"
#include "script/Expr.h"
#include "script/Format.h"
#include "script/Locale.h"
#include "script/MemoryBudget.h"
#include "script/Text.h"
#include "script/TextValue.h"

namespace quarn::script {

namespace {

int32_t IntegerOf(const Variant& v) { return v.IsInteger() ? v.AsInteger() : v.ToInteger(); }
double FloatOf(const Variant& v) { return v.IsFloat() ? v.AsFloat() : v.ToFloat(); }

// The text of a STRING parameter without a copy when it holds a string.
class TTextArg {
public:
  explicit TTextArg(const Variant& v)
  {
    if (v.IsString()) {
      FView = v.AsString();
    } else {
      FOwned = ValueText(v);
      FView = FOwned;
    }
  }
  std::string_view View() const { return FView; }

private:
  std::string FOwned;
  std::string_view FView;
};

// The current value of a VAR parameter.
Variant ReadVariable(TExpr* node)
{
  Variant value;
  node->Eval(value);
  return value;
}

}  // namespace

void EvalLength(TFunction&, int pattern, const TArgList& args, Variant& result)
{
  const Variant* value = &args.Value(0);
  if (pattern == 0) {
    if (!value->IsArray()) throw ERTE(msg::VariantNotArray);
    result.SetInteger(value->AsArray().HighBound(0) + 1);
    return;
  }
  TTextArg text(*value);
  result.SetInteger(static_cast<int32_t>(text.View().size()));
}

void EvalInsert(TFunction&, int, const TArgList& args, Variant&)
{
  TTextArg source(args.Value(0));
  TExpr* target = args.Items(1);
  Variant current = ReadVariable(target);
  TTextArg text(current);
  if (source.View().empty()) return;
  if (source.View().size() + text.View().size() > MaxStringLength) throw ERTE(msg::OutOfMemory);
  ChargeMemory(source.View().size() + text.View().size());
  target->Assign(Variant(TextInsert(source.View(), text.View(), IntegerOf(args.Value(2)))));
}

void EvalDelete(TFunction&, int, const TArgList& args, Variant&)
{
  TExpr* target = args.Items(0);
  Variant current = ReadVariable(target);
  TTextArg text(current);
  int32_t index = IntegerOf(args.Value(1));
  int32_t count = IntegerOf(args.Value(2));
  target->Assign(Variant(TextDelete(text.View(), index, count)));
}

void EvalCopy(TFunction&, int, const TArgList& args, Variant& result)
{
  TTextArg text(args.Value(0));
  result.SetString(TextCopy(text.View(), IntegerOf(args.Value(1)), IntegerOf(args.Value(2))));
}

void EvalPos(TFunction&, int, const TArgList& args, Variant& result)
{
  TTextArg sub(args.Value(0));
  TTextArg text(args.Value(1));
  result.SetInteger(TextPos(sub.View(), text.View()));
}

void EvalStrToInt(TFunction&, int, const TArgList& args, Variant& result)
{
  TTextArg text(args.Value(0));
  result.SetInteger(StrToInt(text.View()));
}

void EvalIntToStr(TFunction&, int, const TArgList& args, Variant& result)
{
  char digits[12];  // a sign and 10 digits
  const auto end = std::to_chars(digits, digits + sizeof digits, IntegerOf(args.Value(0))).ptr;
  result.SetString(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void EvalFormat(TFunction&, int, const TArgList& args, Variant& result)
{
  TTextArg format(args.Value(0));
  // a few arguments (the usual case) need no allocation
  constexpr size_t KeptArgs = 8;
  const size_t count = static_cast<size_t>(args.Count() > 1 ? args.Count() - 1 : 0);
  union TKept {  // left unset: each argument used is made in place below
    TKept() {}
    TFormatArg Items[KeptArgs];
  } kept;
  std::vector<TFormatArg> many(count > KeptArgs ? count : 0);
  TFormatArg* values = count > KeptArgs ? many.data() : kept.Items;
  for (size_t i = 0; i < count; ++i) {
    const Variant& v = args.Value(static_cast<int>(i) + 1);
    TFormatArg* arg = values + i;
    switch (v.Kind()) {
      case TValueKind::Integer: std::construct_at(arg, TFormatArg::OfInteger(v.AsInteger())); break;
      case TValueKind::Float: std::construct_at(arg, TFormatArg::OfFloat(v.AsFloat())); break;
      case TValueKind::String: std::construct_at(arg, TFormatArg::OfString(v.AsString())); break;
      default: std::construct_at(arg, TFormatArg::OfOther()); break;
    }
  }
  // the arguments are other values than result: the text is built in its buffer
  FormatSegments(format.View(), std::span<const TFormatArg>(values, count),
                 TSettingsSource(&FormatSettings), result.SetStringKind());
}

void EvalNow(TFunction&, int, const TArgList&, Variant& result) { result.SetFloat(Now()); }

void EvalFormatDateTime(TFunction&, int, const TArgList& args, Variant& result)
{
  TTextArg pattern(args.Value(0));
  result.SetString(FormatDateTime(pattern.View(), FloatOf(args.Value(1)), FormatSettings()));
}

void EvalCopyright(TFunction&, int, const TArgList&, Variant& result)
{
  result.SetString(CopyrightText());
}

}  // namespace quarn::script
