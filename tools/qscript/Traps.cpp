#include "Traps.h"

#include <array>
#include <optional>

#include "script/Errors.h"
#include "script/Tokenizer.h"

namespace quarn::qscript {

using script::TToken;
using script::TTokenKind;

namespace {

using K = TTokenKind;

constexpr std::array AddingOperators = {K::Plus, K::Minus, K::KwOr, K::KwXor};
constexpr std::array MultiplyingOperators = {K::Star, K::Slash, K::KwMod, K::KwDiv, K::KwAnd};
constexpr std::array Relations = {K::Equal,   K::NotEqual, K::Less,
                                  K::LessEqual, K::Greater,  K::GreaterEqual};

// Pairs (left operator, the right operand's operator) that give the same result whichever way
// they group; every other pair of one level is a trap.
struct TSafePair {
  TTokenKind Left, Right;
};
constexpr TSafePair SafePairs[] = {
    {K::Plus, K::Plus}, {K::Plus, K::Minus}, {K::KwOr, K::KwOr},   {K::KwXor, K::KwXor},
    {K::Star, K::Star}, {K::Star, K::Slash}, {K::KwAnd, K::KwAnd},
};

template <size_t N>
bool OneOf(TTokenKind kind, const std::array<TTokenKind, N>& kinds)
{
  for (TTokenKind k : kinds)
    if (k == kind) return true;
  return false;
}

bool Safe(TTokenKind left, TTokenKind right)
{
  for (const TSafePair& pair : SafePairs)
    if (pair.Left == left && pair.Right == right) return true;
  return false;
}

// Tokens first..last of an expression (indexes into the token list).
struct TSpan {
  size_t First = 0, Last = 0;
};

// What the analysis needs of an expression: its outermost two-operand operator when it is not
// in brackets, with its operands; or, for a lone variable, element or constant, its name.
struct TExpression {
  TSpan Span;
  std::optional<size_t> Operator;  // index of the operator token
  TSpan Left, Right;
  std::string Name;    // a lone variable or element: its name, upper case
  bool Lone = false;   // a lone variable, element or constant
  bool Constant = false;
};

class TTrapFinder {
public:
  TTrapFinder(std::string_view text, std::vector<TToken> tokens)
      : FText(text), FTokens(std::move(tokens))
  {
  }

  std::vector<TTrap> Find()
  {
    while (FAt < FTokens.size()) {
      const size_t before = FAt;
      Statement();
      Accept(K::Semicolon);
      if (FAt == before) ++FAt;  // something the grammar does not start with: go on past it
    }
    return std::move(FTraps);
  }

private:
  bool Is(TTokenKind kind, size_t ahead = 0) const
  {
    return FAt + ahead < FTokens.size() && FTokens[FAt + ahead].Kind == kind;
  }
  bool Accept(TTokenKind kind)
  {
    if (!Is(kind)) return false;
    ++FAt;
    return true;
  }

  void Statement()
  {
    if (Accept(K::KwBegin)) {
      StatementsUntil(K::KwEnd);
      Accept(K::KwEnd);
    } else if (Accept(K::KwIf)) {
      Expression();
      Accept(K::KwThen);
      Statement();
      if (Accept(K::KwElse)) Statement();
    } else if (Is(K::KwWhile)) {
      const size_t keyword = FAt++;
      const TExpression condition = Expression();
      Accept(K::KwDo);
      const size_t body = FAt;
      Statement();
      CheckLoop(keyword, condition, body, FAt);
    } else if (Is(K::KwRepeat)) {
      const size_t keyword = FAt++;
      const size_t body = FAt;
      StatementsUntil(K::KwUntil);
      const size_t end = FAt;
      Accept(K::KwUntil);
      CheckLoop(keyword, Expression(), body, end);
    } else if (Accept(K::KwFor)) {
      Variable();
      Accept(K::Assign);
      Expression();
      if (!Accept(K::KwTo)) Accept(K::KwDownTo);
      Expression();
      Accept(K::KwDo);
      Statement();
    } else if (Accept(K::KwConst)) {
      if (Accept(K::Identifier) && Accept(K::Equal)) Expression();
    } else if (Is(K::Assign, 1) || Is(K::OpenBracket, 1)) {
      Variable();
      if (Accept(K::Assign)) Expression();
    } else if (Accept(K::Identifier)) {
      Arguments();
    }
  }

  void StatementsUntil(TTokenKind end)
  {
    while (FAt < FTokens.size() && !Is(end)) {
      const size_t before = FAt;
      Statement();
      if (!Accept(K::Semicolon) && FAt == before) ++FAt;
    }
  }

  void Arguments()
  {
    if (!Accept(K::OpenParen)) return;
    if (Accept(K::CloseParen)) return;
    do Expression();
    while (Accept(K::Comma));
    Accept(K::CloseParen);
  }

  void Variable()
  {
    if (!Accept(K::Identifier)) return;
    if (!Accept(K::OpenBracket)) return;
    do Expression();
    while (Accept(K::Comma));
    Accept(K::CloseBracket);
  }

  TExpression Expression()
  {
    TExpression left = Simple();
    if (FAt < FTokens.size() && OneOf(FTokens[FAt].Kind, Relations)) {
      const size_t op = FAt++;
      return Joined(left, op, Simple());
    }
    return left;
  }

  // One level of right-grouping operators: operand [operator (this level again)].
  template <size_t N>
  TExpression Level(const std::array<TTokenKind, N>& operators, TExpression (TTrapFinder::*operand)())
  {
    TExpression left = (this->*operand)();
    if (FAt >= FTokens.size() || !OneOf(FTokens[FAt].Kind, operators)) return left;
    const size_t op = FAt++;
    const TExpression right = Level(operators, operand);
    if (right.Operator && OneOf(FTokens[*right.Operator].Kind, operators) &&
        !Safe(FTokens[op].Kind, FTokens[*right.Operator].Kind))
      Warn(FTokens[op].Position,
           "'" + Source(left.Span) + " " + Source({op, op}) + " " + Source(right.Span) +
               "' is read as '" + Source(left.Span) + " " + Source({op, op}) + " (" +
               Source(right.Span) + ")': operators of one level group to the right; write '(" +
               Source(left.Span) + " " + Source({op, op}) + " " + Source(right.Left) + ") " +
               Source({*right.Operator, *right.Operator}) + " " + Source(right.Right) +
               "' if that is meant");
    return Joined(left, op, right);
  }

  TExpression Simple() { return Level(AddingOperators, &TTrapFinder::Term); }
  TExpression Term() { return Level(MultiplyingOperators, &TTrapFinder::Factor); }

  TExpression Factor()
  {
    TExpression factor;
    factor.Span.First = FAt;
    if (FAt >= FTokens.size()) {
      factor.Span.Last = FTokens.empty() ? 0 : FTokens.size() - 1;
      return factor;
    }
    const TToken& token = FTokens[FAt];
    switch (token.Kind) {
      case K::Plus:
      case K::Minus:
      case K::KwNot:
        ++FAt;
        Factor();
        break;
      case K::OpenParen:
        ++FAt;
        Expression();
        Accept(K::CloseParen);
        break;
      case K::Identifier:
        if (Is(K::OpenParen, 1)) {  // a call
          ++FAt;
          Arguments();
        } else {
          Variable();
          factor.Lone = true;
          factor.Name = token.Text;
        }
        break;
      case K::StringLit:
      case K::IntegerLit:
      case K::FloatLit:
      case K::KwTrue:
      case K::KwFalse:
        ++FAt;
        factor.Lone = factor.Constant = true;
        break;
      default: ++FAt; break;
    }
    factor.Span.Last = FAt > factor.Span.First ? FAt - 1 : factor.Span.First;
    return factor;
  }

  static TExpression Joined(const TExpression& left, size_t op, const TExpression& right)
  {
    TExpression joined;
    joined.Span = {left.Span.First, right.Span.Last};
    joined.Operator = op;
    joined.Left = left.Span;
    joined.Right = right.Span;
    return joined;
  }

  // A loop whose condition is read once, though tokens body..end (its body) assign to it.
  void CheckLoop(size_t keyword, const TExpression& condition, size_t body, size_t end)
  {
    if (!condition.Lone || condition.Name.empty()) return;
    for (size_t i = body; i < end && i < FTokens.size(); ++i) {
      if (!Assigns(i, condition.Name)) continue;
      const bool isWhile = FTokens[keyword].Kind == K::KwWhile;
      const std::string name = Source(condition.Span);
      Warn(FTokens[condition.Span.First].Position,
           std::string(isWhile ? "WHILE" : "UNTIL") + " " + name +
               " reads the condition once, before the loop, so the loop does not see " +
               FTokens[i].Text + " change at position " + std::to_string(FTokens[i].Position) +
               "; write '" + (isWhile ? "while " : "until ") + name + " = true' to read it " +
               (isWhile ? "before every turn" : "after every turn"));
      return;
    }
  }

  // Whether token i starts an assignment to `name` (name := ..., name[...] := ..., inc(name),
  // dec(name), or a FOR over it).
  bool Assigns(size_t i, const std::string& name) const
  {
    const auto at = [&](size_t k, TTokenKind kind) {
      return k < FTokens.size() && FTokens[k].Kind == kind;
    };
    const auto named = [&](size_t k, const char* text) {
      return at(k, K::Identifier) && FTokens[k].Text == text;
    };
    if (!at(i, K::Identifier)) return false;
    if ((named(i, "INC") || named(i, "DEC") || named(i, "SET")) && at(i + 1, K::OpenParen) &&
        named(i + 2, name.c_str()))
      return true;
    if (FTokens[i].Text != name) return false;
    if (at(i + 1, K::Assign)) return true;
    if (!at(i + 1, K::OpenBracket)) return false;
    int depth = 0;
    for (size_t k = i + 1; k < FTokens.size(); ++k) {
      if (FTokens[k].Kind == K::OpenBracket) ++depth;
      if (FTokens[k].Kind == K::CloseBracket && --depth == 0) return at(k + 1, K::Assign);
    }
    return false;
  }

  // The source text of tokens first..last, as written.
  std::string Source(TSpan span) const
  {
    if (FTokens.empty()) return {};
    const size_t begin = size_t(FTokens[span.First].Position - 1);
    size_t end = span.Last + 1 < FTokens.size() ? size_t(FTokens[span.Last + 1].Position - 1)
                                                : FText.size();
    end = std::min(end, FText.size());
    while (end > begin && (FText[end - 1] == ' ' || FText[end - 1] == '\t' ||
                           FText[end - 1] == '\r' || FText[end - 1] == '\n'))
      --end;
    return std::string(FText.substr(begin, end > begin ? end - begin : 0));
  }

  void Warn(int32_t position, std::string text) { FTraps.push_back({position, std::move(text)}); }

  std::string_view FText;
  std::vector<TToken> FTokens;
  size_t FAt = 0;
  std::vector<TTrap> FTraps;
};

}  // namespace

std::vector<TTrap> FindTraps(std::string_view text)
{
  std::vector<TToken> tokens;
  try {
    script::TTokenizer tokenizer(text);
    while (std::optional<TToken> token = tokenizer.ReadToken()) tokens.push_back(std::move(*token));
  } catch (const script::Exception&) {
    return {};
  }
  return TTrapFinder(text, std::move(tokens)).Find();
}

}  // namespace quarn::qscript
