#include "script/Value.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <clocale>
#include <cmath>
#include <functional>
#include <new>

#include "script/Errors.h"
#include "script/MemoryBudget.h"
#include "script/Rounding.h"

namespace quarn::script {

namespace {

// Element storage above this many bytes is refused instead of exhausting memory.
constexpr size_t MaxArrayBytes = size_t{256} << 20;

size_t ElementSize(TType elementType)
{
  switch (elementType) {
    case TypeInteger: return sizeof(int32_t);
    case TypeFloat: return sizeof(double);
    case TypeString: return sizeof(std::string);
    default: return sizeof(uint8_t);
  }
}

[[noreturn]] void ConversionError() { throw ERTE(msg::InvalidVariantConversion); }

}  // namespace

// ---- Variant ----

Variant::Variant(TArray value)
    : FKind(TValueKind::Array), FInt(0), FArray(std::make_unique<TArray>(std::move(value)))
{
}

Variant::Variant(const Variant& other) : FKind(other.FKind), FInt(0)
{
  switch (other.FKind) {
    case TValueKind::Integer: FInt = other.FInt; break;
    case TValueKind::Float: FFloat = other.FFloat; break;
    case TValueKind::Boolean: FBool = other.FBool; break;
    case TValueKind::String:
      ChargeMemory(other.FStr.size());
      FStr = other.FStr;
      break;
    case TValueKind::Array:
      ChargeMemory(other.FArray->ElementCount() * ElementSize(other.FArray->ElementType()));
      FArray = std::make_unique<TArray>(*other.FArray);
      break;
    case TValueKind::Empty: break;
  }
}

Variant::Variant(Variant&& other) noexcept
    : FKind(other.FKind),
      FFloat(other.FFloat),
      FStr(std::move(other.FStr)),
      FArray(std::move(other.FArray))
{
  other.FKind = TValueKind::Empty;
}

Variant& Variant::AssignSlow(const Variant& other)
{
  if (this == &other) return *this;
  switch (other.FKind) {
    case TValueKind::Integer: SetInteger(other.FInt); break;
    case TValueKind::Float: SetFloat(other.FFloat); break;
    case TValueKind::Boolean: SetBoolean(other.FBool); break;
    case TValueKind::String: SetString(other.FStr); break;
    case TValueKind::Array:
      ChargeMemory(other.FArray->ElementCount() * ElementSize(other.FArray->ElementType()));
      if (FKind == TValueKind::Array) {
        *FArray = *other.FArray;
      } else {
        FArray = std::make_unique<TArray>(*other.FArray);
        FKind = TValueKind::Array;
      }
      break;
    case TValueKind::Empty: Clear(); break;
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept
{
  if (this == &other) return *this;
  FKind = other.FKind;
  FFloat = other.FFloat;
  if (FKind == TValueKind::String) FStr.swap(other.FStr);  // keeps both buffers alive for reuse
  FArray = std::move(other.FArray);
  other.FKind = TValueKind::Empty;
  return *this;
}

void Variant::ClearOutOfLine() noexcept { Clear(); }

void Variant::SetString(std::string_view value)
{
  ReleaseArray();
  ChargeMemory(value.size());
  // Appending to the emptied buffer is the cheaper copy, but only for text that is not
  // already in it (emptying would overwrite that).
  const std::less<const char*> before;
  if (before(value.data(), FStr.data()) || before(FStr.data() + FStr.size(), value.data())) {
    FStr.clear();
    FStr.append(value.data(), value.size());
  } else {
    FStr.assign(value.data(), value.size());
  }
  FKind = TValueKind::String;
}

std::string& Variant::SetStringKind()
{
  ReleaseArray();
  FStr.clear();
  FKind = TValueKind::String;
  return FStr;
}

int32_t Variant::ToInteger() const
{
  int32_t result = 0;
  switch (FKind) {
    case TValueKind::Integer: return FInt;
    case TValueKind::Boolean: return FBool ? -1 : 0;
    case TValueKind::Empty: return 0;
    case TValueKind::Float:
      if (!RoundToInt32(FFloat, result)) ConversionError();
      return result;
    case TValueKind::String: {
      double value = 0;
      if (!ParseNumber(FStr, value) || !RoundToInt32(value, result)) ConversionError();
      return result;
    }
    case TValueKind::Array: break;
  }
  ConversionError();
}

double Variant::ToFloat() const
{
  switch (FKind) {
    case TValueKind::Integer: return FInt;
    case TValueKind::Float: return FFloat;
    case TValueKind::Boolean: return FBool ? -1.0 : 0.0;
    case TValueKind::Empty: return 0.0;
    case TValueKind::String: {
      double value = 0;
      if (!ParseNumber(FStr, value)) ConversionError();
      return value;
    }
    case TValueKind::Array: break;
  }
  ConversionError();
}

TType TypeOf(const Variant& value)
{
  switch (value.Kind()) {
    case TValueKind::Empty: return TypeVoid;
    case TValueKind::Integer: return TypeInteger;
    case TValueKind::Float: return TypeFloat;
    case TValueKind::String: return TypeString;
    case TValueKind::Boolean: return TypeBoolean;
    case TValueKind::Array: return TypeArray | value.AsArray().ElementType();
  }
  return TypeVoid;
}

bool RoundToInt32(double value, int32_t& result)
{
  if (!(value > -2147483649.0 && value < 2147483648.0)) return false;  // NaN fails too
  const double rounded = RoundHalfEven(value);
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return false;
  result = static_cast<int32_t>(rounded);
  return true;
}

bool ParseNumber(std::string_view text, double& value)
{
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.size() > 400) return false;
  std::string buffer(text);
  // The locale's decimal point is read as well as '.'.
  const char* point = std::localeconv()->decimal_point;
  if (point && point[0] && point[0] != '.' && point[1] == 0)
    for (char& c : buffer)
      if (c == point[0]) c = '.';
  const char* first = buffer.data();
  const char* last = first + buffer.size();
  bool negative = false;
  if (*first == '+' || *first == '-') {
    negative = *first == '-';
    ++first;
  }
  if (first == last || *first == '+' || *first == '-') return false;
  double parsed = 0;
  const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
  if (error != std::errc() || end != last) return false;
  value = negative ? -parsed : parsed;
  return true;
}

// ---- value library arithmetic ----

namespace {

bool IsNumeric(const Variant& v)
{
  return v.IsInteger() || v.IsFloat() || v.IsBoolean() || v.IsEmpty();
}

template <typename IntOp, typename FloatOp>
void Arithmetic(const Variant& a, const Variant& b, Variant& result, IntOp intOp, FloatOp floatOp)
{
  if (a.IsArray() || b.IsArray()) throw ERTE(msg::InvalidVariantOperation);
  if (a.IsInteger() && b.IsInteger()) {
    const int64_t exact = intOp(int64_t{a.AsInteger()}, int64_t{b.AsInteger()});
    if (exact >= INT32_MIN && exact <= INT32_MAX)
      result.SetInteger(static_cast<int32_t>(exact));
    else
      result.SetFloat(static_cast<double>(exact));
    return;
  }
  if (!IsNumeric(a) || !IsNumeric(b) || a.IsFloat() || b.IsFloat() || a.IsString() ||
      b.IsString()) {
    result.SetFloat(floatOp(a.ToFloat(), b.ToFloat()));
    return;
  }
  // booleans and empty values with integers: integer arithmetic on their numeric values
  const int64_t exact = intOp(int64_t{a.ToInteger()}, int64_t{b.ToInteger()});
  if (exact >= INT32_MIN && exact <= INT32_MAX)
    result.SetInteger(static_cast<int32_t>(exact));
  else
    result.SetFloat(static_cast<double>(exact));
}

}  // namespace

void VarAdd(const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsString() && b.IsString()) {
    if (a.AsString().size() + b.AsString().size() > MaxStringLength) throw ERTE(msg::OutOfMemory);
    ChargeMemory(&result == &a ? b.AsString().size() : a.AsString().size() + b.AsString().size());
    if (&result == &a) {
      result.AsString() += b.AsString();
    } else if (&result == &b) {
      result.AsString().insert(0, a.AsString());
    } else {
      std::string& text = result.SetStringKind();
      text.reserve(a.AsString().size() + b.AsString().size());
      text += a.AsString();
      text += b.AsString();
    }
    return;
  }
  Arithmetic(
      a, b, result, [](int64_t x, int64_t y) { return x + y; },
      [](double x, double y) { return x + y; });
}

void VarSub(const Variant& a, const Variant& b, Variant& result)
{
  Arithmetic(
      a, b, result, [](int64_t x, int64_t y) { return x - y; },
      [](double x, double y) { return x - y; });
}

void VarMul(const Variant& a, const Variant& b, Variant& result)
{
  Arithmetic(
      a, b, result, [](int64_t x, int64_t y) { return x * y; },
      [](double x, double y) { return x * y; });
}

// ---- TArray ----

TArray::TArray(TType elementType, std::span<const int32_t> counts) : FElementType(elementType)
{
  if (counts.empty()) throw ERTE(msg::ArrayCreateFailed);
  const size_t limit = MaxArrayBytes / ElementSize(elementType);
  size_t total = 1;
  FHighBounds.reserve(counts.size());
  for (int32_t count : counts) {
    if (count < 0) throw ERTE(msg::ArrayCreateFailed);
    FHighBounds.push_back(count - 1);
    if (count != 0 && total > limit / static_cast<size_t>(count)) throw ERTE(msg::OutOfMemory);
    total *= static_cast<size_t>(count);
  }
  Allocate(total);
}

void TArray::Allocate(size_t count)
{
  ChargeMemory(count * ElementSize(FElementType));
  try {
    switch (FElementType) {
      case TypeInteger: FIntegers.resize(count, 0); break;
      case TypeFloat: FFloats.resize(count, 0.0); break;
      case TypeString: FStrings.resize(count); break;
      default: FBooleans.resize(count, 0); break;
    }
  } catch (const std::bad_alloc&) {
    throw ERTE(msg::OutOfMemory);
  } catch (const std::length_error&) {
    throw ERTE(msg::OutOfMemory);
  }
  FCount = count;
}

void TArray::Get(size_t linear, Variant& result) const
{
  switch (FElementType) {
    case TypeInteger: result.SetInteger(FIntegers[linear]); break;
    case TypeFloat: result.SetFloat(FFloats[linear]); break;
    case TypeString: result.SetString(FStrings[linear]); break;
    default: result.SetBoolean(FBooleans[linear] != 0); break;
  }
}

void TArray::SetStringAt(size_t linear, std::string_view text)
{
  ChargeMemory(text.size());
  FStrings[linear].assign(text.data(), text.size());
}

void TArray::Put(size_t linear, const Variant& value)
{
  switch (FElementType) {
    case TypeInteger: FIntegers[linear] = value.ToInteger(); break;
    case TypeFloat: FFloats[linear] = value.ToFloat(); break;
    case TypeString:
      if (value.IsString()) {
        SetStringAt(linear, value.AsString());
      } else if (value.IsInteger()) {
        FStrings[linear] = std::to_string(value.AsInteger());
      } else if (value.IsBoolean()) {
        FStrings[linear] = value.AsBoolean() ? "True" : "False";
      } else if (value.IsEmpty()) {
        FStrings[linear].clear();
      } else {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", value.ToFloat());
        FStrings[linear] = buffer;
      }
      break;
    default:
      if (value.IsBoolean()) {
        FBooleans[linear] = value.AsBoolean();
      } else if (value.IsString()) {
        if (value.AsString() == "True" || value.AsString() == "TRUE" || value.AsString() == "true")
          FBooleans[linear] = 1;
        else if (value.AsString() == "False" || value.AsString() == "FALSE" ||
                 value.AsString() == "false")
          FBooleans[linear] = 0;
        else
          FBooleans[linear] = value.ToFloat() != 0.0;
      } else {
        FBooleans[linear] = value.ToFloat() != 0.0;
      }
      break;
  }
}

void TArray::ResizeLast(int32_t count)
{
  if (count < 0) throw ERTE(msg::ArrayCreateFailed);
  size_t inner = 1;
  for (size_t k = 0; k + 1 < FHighBounds.size(); ++k)
    inner *= static_cast<size_t>(FHighBounds[k] + 1);
  const size_t limit = MaxArrayBytes / ElementSize(FElementType);
  if (inner != 0 && static_cast<size_t>(count) > limit / inner) throw ERTE(msg::OutOfMemory);
  Allocate(inner * static_cast<size_t>(count));
  FHighBounds.back() = count - 1;
}

}  // namespace quarn::script
