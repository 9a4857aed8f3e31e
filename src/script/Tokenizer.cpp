#include "script/Tokenizer.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "script/Errors.h"
#include "script/RunState.h"

namespace quarn::script {

namespace {

// ---- character sets ----

struct TCharSet {
  std::array<uint64_t, 4> Bits{};

  constexpr bool Has(unsigned char c) const { return (Bits[c >> 6] >> (c & 63)) & 1; }
  constexpr TCharSet& Add(unsigned char c)
  {
    Bits[c >> 6] |= uint64_t{1} << (c & 63);
    return *this;
  }
  constexpr TCharSet& AddRange(unsigned char first, unsigned char last)
  {
    for (unsigned c = first; c <= last; ++c) Add(static_cast<unsigned char>(c));
    return *this;
  }
  constexpr TCharSet& AddChars(std::string_view chars)
  {
    for (char c : chars) Add(static_cast<unsigned char>(c));
    return *this;
  }
  constexpr TCharSet& AddSet(const TCharSet& other)
  {
    for (size_t i = 0; i < Bits.size(); ++i) Bits[i] |= other.Bits[i];
    return *this;
  }
};

constexpr TCharSet Chars(std::string_view chars) { return TCharSet{}.AddChars(chars); }

constexpr TCharSet Blank = TCharSet{}.AddChars("\t\n\r ");
constexpr TCharSet Letter = TCharSet{}.AddRange('A', 'Z').AddRange('a', 'z').Add('_');
constexpr TCharSet Digit = TCharSet{}.AddRange('0', '9');
constexpr TCharSet HexDigit = TCharSet{}.AddRange('0', '9').AddRange('A', 'F').AddRange('a', 'f');
constexpr TCharSet IdentChar = TCharSet{}.AddSet(Letter).AddSet(Digit);
constexpr TCharSet Delimiter = TCharSet{}.AddSet(Blank).AddChars("()*+,-/:;<=>[]");
constexpr TCharSet OperatorFollower =
    TCharSet{}.AddSet(Blank).AddSet(Letter).AddSet(Digit).AddChars("#$'()*+,-/:;<=>[]");
constexpr TCharSet StringChar = [] {
  TCharSet set{};
  set.AddRange(0, 255);
  set.Bits['\r' >> 6] &= ~(uint64_t{1} << ('\r' & 63));
  set.Bits['\'' >> 6] &= ~(uint64_t{1} << ('\'' & 63));
  return set;
}();
constexpr TCharSet CarriageReturn = Chars("\r");

// ---- the state table ----

enum class TStateId : uint8_t {
  Start,
  BraceComment,
  Slash,
  LineComment,
  CharCode,
  DecCharCode,
  HexCharStart,
  HexCharCode,
  Identifier,
  IntegerPart,
  FractionPart,
  ExponentStart,
  ExponentSign,
  ExponentDigits,
  HexStart,
  HexDigits,
  InString,
  StringQuote,
  Colon,
  Greater,
  Less,
  None,  // no next state: the transition finishes the token
};
constexpr size_t StateCount = 21;

// What a transition does to the input is decided by its class alone.
enum class TTransClass : uint8_t {
  Check,    // looks at the character only
  Seek,     // skips it
  Consume,  // collects it
  Error,    // raises a syntax error
};

enum class TAction : uint8_t {
  None,
  Clear,
  Classify,
  Hex,
  Integer,
  Float,
  DecChar,
  HexChar,
  String
};

struct TTransition {
  TCharSet Chars{};
  TTransClass Class = TTransClass::Error;
  TStateId Next = TStateId::None;
  bool MarkStart = false;
  bool Finish = false;
  TAction Action = TAction::None;
  const char* Message = nullptr;  // error transitions only
};

constexpr size_t MaxTransitions = 13;

struct TState {
  std::array<TTransition, MaxTransitions> Transitions{};
  uint8_t Count = 0;
  TTransition Default{};
};

using S = TStateId;
using C = TTransClass;
using Act = TAction;

constexpr TTransition T(TCharSet set, C cls, S next, bool mark = false, bool finish = false,
                        Act action = Act::None)
{
  return {set, cls, next, mark, finish, action, nullptr};
}
constexpr TTransition Error(const char* message)
{
  return {{}, C::Error, S::None, false, false, Act::None, message};
}
constexpr bool Mark = true, Finish = true;

template <typename... Ts>
constexpr TState State(TTransition defaultTransition, Ts... transitions)
{
  TState state{};
  const TTransition list[] = {transitions...};
  for (const TTransition& t : list) state.Transitions[state.Count++] = t;
  state.Default = defaultTransition;
  return state;
}

// Each state's transitions are tried in the order listed; the first holding the character wins.
constexpr std::array<TState, StateCount> Table = {{
    /* Start */ State(
        Error(msg::InvalidCharacter), T(Blank, C::Seek, S::Start),
        T(Letter, C::Consume, S::Identifier, Mark), T(Digit, C::Consume, S::IntegerPart, Mark),
        T(Chars("'"), C::Seek, S::InString, Mark), T(Chars("#"), C::Seek, S::CharCode, Mark),
        T(Chars(":"), C::Consume, S::Colon, Mark),
        T(Chars("*+-="), C::Consume, S::None, Mark, Finish, Act::Classify),
        T(Chars("(),;[]"), C::Consume, S::None, Mark, Finish, Act::Classify),
        T(Chars("/"), C::Consume, S::Slash, Mark), T(Chars("<"), C::Consume, S::Less, Mark),
        T(Chars(">"), C::Consume, S::Greater, Mark), T(Chars("{"), C::Seek, S::BraceComment),
        T(Chars("$"), C::Consume, S::HexStart, Mark)),
    /* BraceComment */ State(T({}, C::Seek, S::BraceComment), T(Chars("}"), C::Seek, S::Start)),
    /* Slash */
    State(T({}, C::Check, S::None, false, Finish, Act::Classify),
          T(Chars("/"), C::Seek, S::LineComment)),
    /* LineComment */
    State(T({}, C::Seek, S::LineComment),
          T(CarriageReturn, C::Seek, S::Start, false, false, Act::Clear)),
    /* CharCode */
    State(Error(msg::NumberExpected), T(Digit, C::Consume, S::DecCharCode),
          T(Chars("$"), C::Consume, S::HexCharStart)),
    /* DecCharCode */
    State(Error(msg::InvalidCharacter), T(Digit, C::Consume, S::DecCharCode),
          T(Chars("'"), C::Check, S::Start, false, false, Act::DecChar),
          T(Chars("#"), C::Check, S::Start, false, false, Act::DecChar),
          T(Delimiter, C::Check, S::None, false, Finish, Act::DecChar)),
    /* HexCharStart */ State(Error(msg::HexDigitExpected), T(HexDigit, C::Consume, S::HexCharCode)),
    /* HexCharCode */
    State(Error(msg::HexDigitExpected), T(HexDigit, C::Consume, S::HexCharCode),
          T(Chars("'"), C::Check, S::Start, false, false, Act::HexChar),
          T(Chars("#"), C::Check, S::Start, false, false, Act::HexChar),
          T(Delimiter, C::Check, S::None, false, Finish, Act::HexChar)),
    /* Identifier */
    State(Error(msg::InvalidCharacter), T(IdentChar, C::Consume, S::Identifier),
          T(Delimiter, C::Check, S::None, false, Finish, Act::Classify)),
    /* IntegerPart */
    State(Error(msg::NumberPointOrExponentExpected), T(Digit, C::Consume, S::IntegerPart),
          T(Chars("."), C::Consume, S::FractionPart), T(Chars("Ee"), C::Consume, S::ExponentStart),
          T(Delimiter, C::Check, S::None, false, Finish, Act::Integer)),
    /* FractionPart */
    State(Error(msg::NumberOrExponentExpected), T(Digit, C::Consume, S::FractionPart),
          T(Chars("Ee"), C::Consume, S::ExponentStart),
          T(Delimiter, C::Check, S::None, false, Finish, Act::Float)),
    /* ExponentStart */
    State(Error(msg::NumberOrMinusExpected), T(Chars("+-"), C::Consume, S::ExponentSign),
          T(Digit, C::Consume, S::ExponentDigits)),
    /* ExponentSign */ State(Error(msg::NumberExpected), T(Digit, C::Consume, S::ExponentDigits)),
    /* ExponentDigits */
    State(Error(msg::NumberExpected), T(Digit, C::Consume, S::ExponentDigits),
          T(Delimiter, C::Check, S::None, false, Finish, Act::Float)),
    /* HexStart */ State(Error(msg::HexDigitExpected), T(HexDigit, C::Consume, S::HexDigits)),
    /* HexDigits */
    State(Error(msg::HexDigitExpected), T(HexDigit, C::Consume, S::HexDigits),
          T(Delimiter, C::Check, S::None, false, Finish, Act::Hex)),
    /* InString */
    State(Error(msg::EndOfStringNotFound), T(StringChar, C::Consume, S::InString),
          T(Chars("'"), C::Seek, S::StringQuote)),
    /* StringQuote */
    State(Error(msg::InvalidCharacter), T(Chars("'"), C::Consume, S::InString),
          T(Chars("#"), C::Check, S::Start, false, false, Act::String),
          T(Delimiter, C::Check, S::None, false, Finish, Act::String)),
    /* Colon */
    State(Error(msg::EqualExpected),
          T(Chars("="), C::Consume, S::None, false, Finish, Act::Classify),
          T(OperatorFollower, C::Check, S::None, false, Finish, Act::Classify)),
    /* Greater */
    State(Error(msg::EqualExpected),
          T(Chars("="), C::Consume, S::None, false, Finish, Act::Classify),
          T(OperatorFollower, C::Check, S::None, false, Finish, Act::Classify)),
    /* Less */
    State(Error(msg::GreaterOrEqualExpected),
          T(Chars("="), C::Consume, S::None, false, Finish, Act::Classify),
          T(Chars(">"), C::Consume, S::None, false, Finish, Act::Classify),
          T(OperatorFollower, C::Check, S::None, false, Finish, Act::Classify)),
}};

struct TKeyword {
  std::string_view Text;
  TTokenKind Kind;
};

constexpr std::array<TKeyword, 34> Keywords = {{
    {"SCRIPT", TTokenKind::KwScript},   {"CONST", TTokenKind::KwConst},
    {"BEGIN", TTokenKind::KwBegin},     {"END", TTokenKind::KwEnd},
    {"IF", TTokenKind::KwIf},           {"THEN", TTokenKind::KwThen},
    {"ELSE", TTokenKind::KwElse},       {"WHILE", TTokenKind::KwWhile},
    {"REPEAT", TTokenKind::KwRepeat},   {"UNTIL", TTokenKind::KwUntil},
    {"FOR", TTokenKind::KwFor},         {"TO", TTokenKind::KwTo},
    {"DOWNTO", TTokenKind::KwDownTo},   {"DO", TTokenKind::KwDo},
    {"TRUE", TTokenKind::KwTrue},       {"FALSE", TTokenKind::KwFalse},
    {"AND", TTokenKind::KwAnd},         {"OR", TTokenKind::KwOr},
    {"XOR", TTokenKind::KwXor},         {"DIV", TTokenKind::KwDiv},
    {"MOD", TTokenKind::KwMod},         {"NOT", TTokenKind::KwNot},
    {"VAR", TTokenKind::KwVar},         {"FUNC", TTokenKind::KwFunc},
    {"OPEN", TTokenKind::KwOpen},       {"INTEGER", TTokenKind::KwInteger},
    {"FLOAT", TTokenKind::KwFloat},     {"STRING", TTokenKind::KwString},
    {"BOOLEAN", TTokenKind::KwBoolean}, {"ADD", TTokenKind::KwAdd},
    {"MULT", TTokenKind::KwMult},       {"ARRAY", TTokenKind::KwArray},
    {"VOID", TTokenKind::KwVoid},       {"ALL", TTokenKind::KwAll},
}};

struct TSymbol {
  char Char;
  TTokenKind Kind;
};

// Symbols whose first character decides the kind.
constexpr std::array<TSymbol, 11> SingleSymbols = {{
    {'(', TTokenKind::OpenParen},
    {')', TTokenKind::CloseParen},
    {'*', TTokenKind::Star},
    {'+', TTokenKind::Plus},
    {',', TTokenKind::Comma},
    {'-', TTokenKind::Minus},
    {'/', TTokenKind::Slash},
    {';', TTokenKind::Semicolon},
    {'=', TTokenKind::Equal},
    {'[', TTokenKind::OpenBracket},
    {']', TTokenKind::CloseBracket},
}};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool ReadDecimal(std::string_view digits, int64_t limit, int64_t& value)
{
  value = 0;
  if (digits.empty()) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > limit) return false;
  }
  return true;
}

// "$" and hex digits: at most 8 significant digits, taken as a 32-bit two's complement value.
bool ReadHex(std::string_view text, int32_t& value)
{
  if (text.size() < 2 || text[0] != '$') return false;
  uint64_t result = 0;
  int significant = 0;
  for (char c : text.substr(1)) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return false;
    if (result != 0 || digit != 0) ++significant;
    if (significant > 8) return false;
    result = result * 16 + static_cast<uint64_t>(digit);
  }
  value = static_cast<int32_t>(static_cast<uint32_t>(result));
  return true;
}

// Always with "." as decimal separator; touches no process-wide setting.
bool ReadFloat(std::string_view text, double& value)
{
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (end != last) return false;
  if (error == std::errc::result_out_of_range) {
    // underflow reads as zero, overflow fails
    const size_t e = text.find_first_of("Ee");
    if (e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-') {
      value = 0.0;
      return true;
    }
    return false;
  }
  return error == std::errc();
}

}  // namespace

TTokenizer::TTokenizer(std::string_view text) : FSource(text) {}

TTokenKind TTokenizer::Classify(std::string_view text)
{
  if (text.empty()) return TTokenKind::Identifier;
  std::string upper(text);
  for (char& c : upper) c = Upper(c);
  const char first = upper[0];
  for (const TSymbol& symbol : SingleSymbols)
    if (symbol.Char == first) return symbol.Kind;
  if (first == ':') {
    if (upper == ":") return TTokenKind::Colon;
    if (upper == ":=") return TTokenKind::Assign;
    return TTokenKind::Identifier;
  }
  if (first == '<') {
    if (upper == "<") return TTokenKind::Less;
    if (upper == "<=") return TTokenKind::LessEqual;
    if (upper == "<>") return TTokenKind::NotEqual;
    return TTokenKind::Identifier;
  }
  if (first == '>') {
    if (upper == ">") return TTokenKind::Greater;
    if (upper == ">=") return TTokenKind::GreaterEqual;
    return TTokenKind::Identifier;
  }
  if ((first >= 'A' && first <= 'Z') || first == '_')
    for (const TKeyword& keyword : Keywords)
      if (keyword.Text == upper) return keyword.Kind;
  return TTokenKind::Identifier;
}

std::optional<TToken> TTokenizer::ReadToken()
{
  TToken token;
  std::string collected;
  TStateId state = TStateId::Start;
  // the text and the carriage return that ends its last line
  const int32_t length = static_cast<int32_t>(FSource.size()) + 1;

  auto actionError = [&](const char* message) {
    throw ESyntaxError(FormatMessage(message, collected.c_str()), FPos);
  };

  while (FPos <= length && state != TStateId::None) {
    if (FStopCheck && FPos % StopCheckBytes == 0) FStopCheck->CheckStop();
    const unsigned char c =
        FPos < length ? static_cast<unsigned char>(FSource[static_cast<size_t>(FPos - 1)]) : '\r';
    const TState& s = Table[static_cast<size_t>(state)];
    const TTransition* t = &s.Default;
    for (uint8_t i = 0; i < s.Count; ++i)
      if (s.Transitions[i].Chars.Has(c)) {
        t = &s.Transitions[i];
        break;
      }

    if (t->Class == TTransClass::Error) {
      // "%s (\"%s\", %d)" with the message, the character itself and its code
      std::string text = t->Message;
      text += " (\"";
      text += static_cast<char>(c);
      text += "\", " + std::to_string(static_cast<int>(c)) + ")";
      throw ESyntaxError(text, FPos);
    }
    if (t->MarkStart) token.Position = FPos;
    if (t->Class == TTransClass::Consume) collected += static_cast<char>(c);
    if (t->Class == TTransClass::Seek || t->Class == TTransClass::Consume) ++FPos;

    switch (t->Action) {
      case TAction::None:
      case TAction::Clear: break;
      case TAction::Classify:
        token.Kind = Classify(collected);
        if (token.Kind == TTokenKind::Identifier) {
          token.Text = collected;
          for (char& ch : token.Text) ch = Upper(ch);
        }
        break;
      case TAction::Hex:
        if (!ReadHex(collected, token.IntValue)) actionError(msg::InvalidHexConstant);
        token.Kind = TTokenKind::IntegerLit;
        break;
      case TAction::Integer: {
        int64_t value = 0;
        if (!ReadDecimal(collected, 2147483647, value)) actionError(msg::InvalidIntegerConstant);
        token.IntValue = static_cast<int32_t>(value);
        token.Kind = TTokenKind::IntegerLit;
        break;
      }
      case TAction::Float:
        if (!ReadFloat(collected, token.FloatValue)) actionError(msg::InvalidFloatConstant);
        token.Kind = TTokenKind::FloatLit;
        break;
      case TAction::DecChar: {
        int64_t code = 0;
        if (!ReadDecimal(collected, 255, code)) actionError(msg::InvalidCharConstant);
        token.Text += static_cast<char>(code);
        token.Kind = TTokenKind::StringLit;
        break;
      }
      case TAction::HexChar: {
        int32_t code = 0;
        if (!ReadHex(collected, code) || code < 0 || code > 255)
          actionError(msg::InvalidCharConstant);
        token.Text += static_cast<char>(code);
        token.Kind = TTokenKind::StringLit;
        break;
      }
      case TAction::String:
        token.Text += collected;
        token.Kind = TTokenKind::StringLit;
        break;
    }
    if (t->Action != TAction::None) collected.clear();
    if (t->Finish) return token;
    state = t->Next;
  }
  return std::nullopt;
}

void TTokenizer::Advance()
{
  FCurrent.reset();
  if (FLookahead) {
    FCurrent = std::move(FLookahead);
    FLookahead.reset();
  } else {
    FCurrent = ReadToken();
  }
}

bool TTokenizer::Is(TTokenKind kind)
{
  if (!FCurrent) Advance();
  if (!FCurrent) return false;
  FTokenPos = FCurrent->Position;
  return FCurrent->Kind == kind;
}

bool TTokenizer::Accept(TTokenKind kind)
{
  if (!Is(kind)) return false;
  FLastAcceptedPos = FTokenPos;
  FCurrent.reset();
  return true;
}

bool TTokenizer::PeekIs(TTokenKind kind)
{
  if (!FLookahead) FLookahead = ReadToken();
  return FLookahead && FLookahead->Kind == kind;
}

bool TTokenizer::HasToken()
{
  if (!FCurrent) Advance();
  return FCurrent.has_value();
}

void TTokenizer::Fail(const std::string& message) const { throw ESyntaxError(message, FTokenPos); }

}  // namespace quarn::script
