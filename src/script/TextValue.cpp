#include "script/TextValue.h"

#include "script/Errors.h"
#include "script/FormatFloat.h"
#include "script/Locale.h"
#include "script/Text.h"

namespace quarn::script {

namespace {

bool EqualsNoCase(std::string_view text, std::string_view lower)
{
  if (text.size() != lower.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace

std::string ValueText(const Variant& value)
{
  switch (value.Kind()) {
    case TValueKind::String: return value.AsString();
    case TValueKind::Integer: return IntToStr(value.AsInteger());
    case TValueKind::Float:
      return FloatToText(value.AsFloat(), TFloatForm::General, -1, FormatSettings());
    case TValueKind::Boolean: return value.AsBoolean() ? "True" : "False";
    case TValueKind::Empty: return std::string();
    case TValueKind::Array: break;
  }
  throw ERTE(msg::InvalidVariantConversion);
}

bool ValueBoolean(const Variant& value)
{
  switch (value.Kind()) {
    case TValueKind::Boolean: return value.AsBoolean();
    case TValueKind::Integer: return value.AsInteger() != 0;
    case TValueKind::Float: return value.AsFloat() != 0.0;
    case TValueKind::Empty: return false;
    case TValueKind::String:
      if (EqualsNoCase(value.AsString(), "true")) return true;
      if (EqualsNoCase(value.AsString(), "false")) return false;
      break;
    case TValueKind::Array: break;
  }
  throw ERTE(msg::InvalidVariantConversion);
}

}  // namespace quarn::script
