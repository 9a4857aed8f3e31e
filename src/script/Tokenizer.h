// The table-driven tokenizer shared by the compiler and the declaration reader, with the
// parser interface (one current token and one token of lookahead).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarn::script {

class TRunState;

// Token kinds; the numbers are fixed (2..4 come from literals, 5..57 from Classify).
enum class TTokenKind : uint8_t {
  None = 0,
  StringLit = 2,
  IntegerLit,
  FloatLit,
  Identifier,
  KwScript = 6,
  KwConst,
  KwBegin,
  KwEnd,
  KwIf,
  KwThen,
  KwElse,
  KwWhile,
  KwRepeat,
  KwUntil,
  KwFor,
  KwTo,
  KwDownTo,
  KwDo,
  KwTrue,
  KwFalse,
  KwAnd,
  KwOr,
  KwXor,
  KwDiv,
  KwMod,
  KwNot,
  Plus = 28,
  Minus,
  Star,
  Slash,
  Equal,
  NotEqual,
  Greater,
  GreaterEqual,
  Less,
  LessEqual,
  Semicolon = 38,
  Comma,
  Colon,
  Assign,
  OpenParen,
  CloseParen,
  OpenBracket,
  CloseBracket,
  KwVar = 46,
  KwFunc,
  KwOpen,
  KwInteger,
  KwFloat,
  KwString,
  KwBoolean,
  KwAdd,
  KwMult,
  KwArray,
  KwVoid,
  KwAll = 57,
};

struct TToken {
  TTokenKind Kind = TTokenKind::None;
  int32_t Position = 0;  // 1-based; for a chained string literal, of its last piece
  std::string Text;      // identifier in upper case, or a string literal's value
  double FloatValue = 0;
  int32_t IntValue = 0;
};

class TTokenizer {
public:
  // The text is read in place: it must outlive the tokenizer.
  explicit TTokenizer(std::string_view text);
  // Takes a stop check of the run state every StopCheckBytes characters read, so that reading
  // a long text (one comment, one string) can be stopped.
  void SetStopCheck(TRunState* state) { FStopCheck = state; }
  static constexpr int32_t StopCheckBytes = 1 << 16;

  // The next token, or nothing when only blanks and comments remain. Raises ESyntaxError.
  std::optional<TToken> ReadToken();
  // The kind of a finished word or symbol.
  static TTokenKind Classify(std::string_view text);

  void Advance();
  const TToken* Current() const { return FCurrent ? &*FCurrent : nullptr; }
  // Moves the current token's text out (a long string literal is then not copied).
  std::string TakeText() { return FCurrent ? std::move(FCurrent->Text) : std::string(); }
  bool Is(TTokenKind kind);
  bool Accept(TTokenKind kind);
  bool PeekIs(TTokenKind kind);
  bool HasToken();
  [[noreturn]] void Fail(const std::string& message) const;

  int32_t TokenPos() const { return FTokenPos; }
  // Position of the token most recently taken by Accept.
  int32_t LastAcceptedPos() const { return FLastAcceptedPos; }
  int32_t Pos() const { return FPos; }

private:
  std::string_view FSource;  // read as if one carriage return followed it
  TRunState* FStopCheck = nullptr;
  int32_t FPos = 1;
  int32_t FTokenPos = -1;
  int32_t FLastAcceptedPos = -1;
  std::optional<TToken> FCurrent;
  std::optional<TToken> FLookahead;
};

}  // namespace quarn::script
