// The script engine's exception family and the fixed texts of every message it reports.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace quarn::script {

// Common base: carries one message text.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// Base of the two reportable script errors; raised directly by host functions (Position 0).
class EScriptError : public Exception {
public:
  explicit EScriptError(std::string text) : Exception(std::move(text)), FPosition(0) {}
  int32_t Position() const noexcept { return FPosition; }

protected:
  EScriptError(std::string message, int32_t position)
      : Exception(std::move(message)), FPosition(position)
  {
  }

private:
  int32_t FPosition;
};

// "Syntaxerror: <text> [Position <n>]"
class ESyntaxError : public EScriptError {
public:
  ESyntaxError(const std::string& text, int32_t position);
};

// "Runtimeerror: <text> [Position <n>]"
class ERuntimeError : public EScriptError {
public:
  ERuntimeError(const std::string& text, int32_t position);
};

// A run-time failure found where the source position is unknown; the nearest call or array
// element node turns it into an ERuntimeError at its own position.
class ERTE : public Exception {
public:
  explicit ERTE(std::string text) : Exception(std::move(text)) {}
};

// Control signals: empty messages. They share no base with Exception, so the handlers that
// convert errors at call and element nodes never catch them and they unwind in one pass to the
// runner that handles them. (break and continue are no exceptions: they leave a pending jump
// in the run state, and one outside any loop leaves TScript::Run as a plain Exception with an
// empty message.)
class EControlSignal : public std::exception {
public:
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return ""; }

private:
  std::string FMessage;
};
class EStop : public EControlSignal {};
class EExit : public EControlSignal {};

// printf-style formatting into a std::string (the engine's messages are all printf patterns).
std::string FormatMessage(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// The engine's message texts, exactly as users see them.
namespace msg {
// tokenizer
inline constexpr const char* InvalidCharacter = "Invalid character";
inline constexpr const char* NumberExpected = "Number expected";
inline constexpr const char* HexDigitExpected = "Hexadecimal digit expected";
inline constexpr const char* NumberPointOrExponentExpected = "Number, point or exponent expected";
inline constexpr const char* NumberOrExponentExpected = "Number or exponent expected";
inline constexpr const char* NumberOrMinusExpected = "Number or minus expected";
inline constexpr const char* EqualExpected = "\"=\" expected";
inline constexpr const char* GreaterOrEqualExpected = "\">\" or \"=\" expected";
inline constexpr const char* EndOfStringNotFound = "End of string constant not found (end of line)";
inline constexpr const char* InvalidHexConstant = "Invalid hexadezimal constant \"%s\"";
inline constexpr const char* InvalidCharConstant = "Invalid char constant \"%s\"";
inline constexpr const char* InvalidIntegerConstant = "Invalid integer constant \"%s\"";
inline constexpr const char* InvalidFloatConstant = "Invalid floating point constant \"%s\"";
// grammar
inline constexpr const char* ClosingBracketExpected = "Closing bracket \"]\" expected";
inline constexpr const char* FunctionNotFound = "Function %s not found";
inline constexpr const char* AssignExpected = "\":=\" expected.";
inline constexpr const char* SemicolonExpected = "\";\" expected.";
inline constexpr const char* ThenExpected = "THEN expected.";
inline constexpr const char* ToExpected = "TO expected.";
inline constexpr const char* DoExpected = "DO expected.";
inline constexpr const char* OpenBracketExpected = "\"(\" expected.";
inline constexpr const char* CloseBracketExpected = "\")\" expected.";
inline constexpr const char* NameExpected = "Name expected";
inline constexpr const char* VariableExpected = "Variable expected.";
inline constexpr const char* ExpressionExpected = "Expression expected.";
inline constexpr const char* TypeNameExpected = "Name of a type or \")\" expected";
inline constexpr const char* FunctionNotDefined = "Function %s is not defined";
inline constexpr const char* NestingTooDeep = "Nesting too deep (more than %d levels).";
inline constexpr const char* ExpressionTooComplex =
    "Expression too complex (more than %d operations nested).";
// run time
inline constexpr const char* ScriptStopped = "Script stopped.";
inline constexpr const char* VariableNotDefined = "Variable %s is not defined.";
inline constexpr const char* VariableExpectsType =
    "Variable %s expects type %s instead of type %s.";
inline constexpr const char* IndexOutOfBounds =
    "Array index (%d) out of bounds (dimension %d has bounds [0..%d])";
inline constexpr const char* BadNumberOfIndices = "Bad number of indices (%d instead of %d)";
inline constexpr const char* BadArrayType = "Bad array type! (%s) Only basic types allowed.";
inline constexpr const char* TooManyArguments = "Too many arguments for function %s!";
inline constexpr const char* ExpectsTypeAtArgument =
    "Function %s expects type %s instead of type %s at argument %d";
inline constexpr const char* NotEnoughArguments =
    "Not enough arguments for function %s (%d instead of %d).";
inline constexpr const char* PatternMismatch =
    "The arguments don't fit to a parameter pattern:\n\rArguments: %s\n\rParameter patterns:\n\r%s"
    "\n\rFunction: %s";
inline constexpr const char* PatternSeparator = "\n\r";
inline constexpr const char* ReturnsType = "Function %s returns type %s instead of %s";
inline constexpr const char* NoEvalEvent =
    "Can't evaluate function %s. Event OnEval/OnExEval not definied!";
// registry and runner (plain Exception)
inline constexpr const char* FunctionExists =
    "A function with this name (\"%s\") is already existing";
inline constexpr const char* FunctionsNotDefined = "Property \"Functions\" is not defined";
inline constexpr const char* ScriptNotCompiled = "Script isn't compiled!";
inline constexpr const char* InvalidDeclaration = "Invalid expression for declaration \"%s\"";
// value and formatting library
inline constexpr const char* InvalidVariantConversion = "Invalid variant type conversion";
inline constexpr const char* InvalidVariantOperation = "Invalid variant operation";
inline constexpr const char* VariantNotArray = "Variant is not an array";
inline constexpr const char* DivisionByZero = "Division by zero";
inline constexpr const char* InvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* FormatInvalid = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* FormatNoArgument = "No argument for format '%s'";
inline constexpr const char* ArrayCreateFailed = "Error creating variant or safe array";
inline constexpr const char* OutOfMemory = "Out of memory";
inline constexpr const char* ScriptTooLarge =
    "Out of memory: the compiled script would take more than %d MiB";
}  // namespace msg

}  // namespace quarn::script
