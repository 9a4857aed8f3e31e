// The script value: empty, 32-bit integer, double, 8-bit string, boolean, or an array of one
// of the four basic kinds with any number of dimensions (indexes from 0). Values have value
// semantics: copying a value copies a whole array.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "script/Types.h"

namespace quarn::script {

// Longest string the engine builds; longer results fail with "Out of memory" instead of
// exhausting the process.
inline constexpr size_t MaxStringLength = size_t{256} << 20;

enum class TValueKind : uint8_t { Empty, Integer, Float, String, Boolean, Array };

class TArray;

class Variant {
public:
  Variant() noexcept : FKind(TValueKind::Empty), FInt(0) {}
  Variant(int32_t value) noexcept : FKind(TValueKind::Integer), FInt(value) {}
  Variant(double value) noexcept : FKind(TValueKind::Float), FFloat(value) {}
  Variant(bool value) noexcept : FKind(TValueKind::Boolean), FBool(value) {}
  Variant(std::string value) : FKind(TValueKind::String), FInt(0), FStr(std::move(value)) {}
  Variant(const char* value) : FKind(TValueKind::String), FInt(0), FStr(value) {}
  Variant(TArray value);
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other)
  {
    // Scalars over a non-array value: copy the kind and the number, keep the string buffer.
    if (other.FKind != TValueKind::String && other.FKind != TValueKind::Array &&
        other.FKind != TValueKind::Empty && FKind != TValueKind::Array) {
      FKind = other.FKind;
      FFloat = other.FFloat;
      return *this;
    }
    return AssignSlow(other);
  }
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  TValueKind Kind() const { return FKind; }
  bool IsEmpty() const { return FKind == TValueKind::Empty; }
  bool IsInteger() const { return FKind == TValueKind::Integer; }
  bool IsFloat() const { return FKind == TValueKind::Float; }
  bool IsString() const { return FKind == TValueKind::String; }
  bool IsBoolean() const { return FKind == TValueKind::Boolean; }
  bool IsArray() const { return FKind == TValueKind::Array; }

  // Unchecked access: the kind must be the one named.
  int32_t AsInteger() const { return FInt; }
  double AsFloat() const { return FFloat; }
  bool AsBoolean() const { return FBool; }
  const std::string& AsString() const { return FStr; }
  std::string& AsString() { return FStr; }  // stays a string; edit in place
  const TArray& AsArray() const { return *FArray; }
  TArray& AsArray() { return *FArray; }

  // Setters keep the string buffer's capacity, so reusing a value does not allocate.
  void Clear() noexcept
  {
    ReleaseArray();
    FKind = TValueKind::Empty;
    FStr.clear();
  }
  // Empties a value unless it is empty already (a statement's result, cleared at every turn).
  void Discard() noexcept
  {
    if (FKind != TValueKind::Empty) [[unlikely]]
      ClearOutOfLine();
  }
  void ClearOutOfLine() noexcept;
  void SetInteger(int32_t value) noexcept
  {
    ReleaseArray();
    FKind = TValueKind::Integer;
    FInt = value;
  }
  void SetFloat(double value) noexcept
  {
    ReleaseArray();
    FKind = TValueKind::Float;
    FFloat = value;
  }
  void SetBoolean(bool value) noexcept
  {
    ReleaseArray();
    FKind = TValueKind::Boolean;
    FBool = value;
  }
  void SetString(std::string_view value);
  std::string& SetStringKind();  // makes the value an empty string and returns its buffer

  // Conversions used where the engine needs a number (indexes, bounds, loop values): integers
  // unchanged, floats rounded to nearest with ties to even, true -1, false and empty 0,
  // strings read as numbers. Raises ERTE "Invalid variant type conversion".
  int32_t ToInteger() const;
  double ToFloat() const;

private:
  Variant& AssignSlow(const Variant& other);
  void ReleaseArray() noexcept
  {
    if (FKind == TValueKind::Array) FArray.reset();
  }

  TValueKind FKind;
  union {
    int32_t FInt;
    double FFloat;
    bool FBool;
  };
  std::string FStr;                // kept across kinds so its capacity is reused
  std::unique_ptr<TArray> FArray;  // set only while the kind is Array
};

// An array of one basic element kind; dimension k has the bounds [0..HighBound(k)]. Elements
// are laid out with the first index varying fastest.
class TArray {
public:
  // Creates an array with the given element counts per dimension, every element false, 0,
  // 0.0 or ''. elementType is TypeBoolean, TypeInteger, TypeFloat or TypeString. Raises ERTE
  // when the counts are negative or the array is too large to allocate.
  TArray(TType elementType, std::span<const int32_t> counts);

  TType ElementType() const { return FElementType; }
  int DimCount() const { return static_cast<int>(FHighBounds.size()); }
  int32_t HighBound(int dimension) const { return FHighBounds[static_cast<size_t>(dimension)]; }
  size_t ElementCount() const { return FCount; }

  void Get(size_t linear, Variant& result) const;
  // The elements of an INTEGER array by linear position; empty for the other kinds.
  std::span<int32_t> Integers() { return FIntegers; }
  // Unchecked reads and writes of the element kind's own storage.
  int32_t IntegerAt(size_t linear) const { return FIntegers[linear]; }
  double FloatAt(size_t linear) const { return FFloats[linear]; }
  bool BooleanAt(size_t linear) const { return FBooleans[linear] != 0; }
  const std::string& StringAt(size_t linear) const { return FStrings[linear]; }
  void SetIntegerAt(size_t linear, int32_t value) { FIntegers[linear] = value; }
  void SetFloatAt(size_t linear, double value) { FFloats[linear] = value; }
  void SetBooleanAt(size_t linear, bool value) { FBooleans[linear] = value; }
  // A STRING array's element; the text is charged to the memory budget.
  void SetStringAt(size_t linear, std::string_view text);
  // The value is converted to the element kind (ERTE on a failed conversion).
  void Put(size_t linear, const Variant& value);
  // Sets the last dimension's element count, keeping elements by linear position.
  void ResizeLast(int32_t count);

  bool operator==(const TArray& other) const = default;

private:
  void Allocate(size_t count);

  TType FElementType;
  std::vector<int32_t> FHighBounds;
  size_t FCount = 0;
  std::vector<int32_t> FIntegers;
  std::vector<double> FFloats;
  std::vector<std::string> FStrings;
  std::vector<uint8_t> FBooleans;
};

// Inline, now that TArray is complete: scratch values live on the stack of the hot paths.
inline Variant::~Variant() = default;

// The type word of a value: VOID, BOOLEAN, INTEGER, FLOAT, STRING, or ARRAY plus the element's.
TType TypeOf(const Variant& value);

// Host values entering the engine: narrow integers become 32-bit integers, single floats
// doubles; the engine's own kinds pass unchanged.
inline Variant Normalize(const Variant& value) { return value; }
inline Variant Normalize(int16_t value) { return Variant(static_cast<int32_t>(value)); }
inline Variant Normalize(uint8_t value) { return Variant(static_cast<int32_t>(value)); }
inline Variant Normalize(float value) { return Variant(static_cast<double>(value)); }

// Text of a number as the value library reads it: blanks around, optional sign, digits with
// "." (or the locale's decimal point) and an exponent. False when it is not a number.
bool ParseNumber(std::string_view text, double& value);

// Round to nearest, ties to even; false when the result does not fit 32 bits (or NaN).
bool RoundToInt32(double value, int32_t& result);

// The value library's arithmetic (used by inc, dec and for): INTEGER with INTEGER computes
// exactly and gives FLOAT when the result leaves 32 bits; a FLOAT operand gives FLOAT;
// STRING + STRING concatenates. result may be the same object as a.
void VarAdd(const Variant& a, const Variant& b, Variant& result);
void VarSub(const Variant& a, const Variant& b, Variant& result);
void VarMul(const Variant& a, const Variant& b, Variant& result);

}  // namespace quarn::script
