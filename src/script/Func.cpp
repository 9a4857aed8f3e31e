#include "script/Func.h"

#include <array>
#include <memory>

#include "script/Errors.h"
#include "script/Tokenizer.h"

namespace quarn::script {

namespace {

struct TTypeWord {
  TTokenKind Kind;
  TType Word;
};

// The eight type names of declarations.
constexpr std::array<TTypeWord, 8> TypeWords = {{
    {TTokenKind::KwInteger, TypeInteger},
    {TTokenKind::KwFloat, TypeFloat},
    {TTokenKind::KwString, TypeString},
    {TTokenKind::KwBoolean, TypeBoolean},
    {TTokenKind::KwMult, TypeMult},
    {TTokenKind::KwAdd, TypeAdd},
    {TTokenKind::KwAll, TypeAll},
    {TTokenKind::KwVoid, TypeVoid},
}};

// The type word of the current token when it is a type name, else 0.
TType AcceptTypeName(TTokenizer& tokenizer)
{
  for (const TTypeWord& typeWord : TypeWords)
    if (tokenizer.Accept(typeWord.Kind)) return typeWord.Word;
  return 0;
}

TType ReadParameter(TTokenizer& tokenizer)
{
  TType word = 0;
  if (tokenizer.Accept(TTokenKind::KwVar))
    word |= TypeVar;
  else if (tokenizer.Accept(TTokenKind::KwFunc))
    word |= TypeFunc;
  if (tokenizer.Accept(TTokenKind::KwArray)) word |= TypeArray;
  TType base = AcceptTypeName(tokenizer);
  if (!base) tokenizer.Fail(msg::TypeNameExpected);
  while (TType more = AcceptTypeName(tokenizer)) base |= more;
  word |= base;
  if (tokenizer.Accept(TTokenKind::KwOpen)) word |= TypeOpen;
  return word;
}

}  // namespace

void TCompFunction::Eval(int pattern, const TArgList& args, Variant& result)
{
  // the host's own function may have told the application to terminate
  struct TPollAfter {
    TRunState& State;
    ~TPollAfter() { State.PollHostNext(); }
  } pollAfter{args.State()};
  if (OnEval)
    OnEval(*Component, args, result);
  else if (OnExEval)
    OnExEval(*Component, pattern, args, result);
  else
    throw ERTE(FormatMessage(msg::NoEvalEvent, Name().c_str()));
}

TFunc::~TFunc() { Unlink(); }

void TFunc::SetDeclaration(std::string_view text)
{
  if (text.empty()) throw Exception(FormatMessage(msg::InvalidDeclaration, ""));
  FDeclaration = text;
  FName.clear();
  FPatterns.clear();
  FResultType = TypeVoid;

  TTokenizer tokenizer(text);
  if (!tokenizer.Is(TTokenKind::Identifier)) tokenizer.Fail(msg::NameExpected);
  FName = tokenizer.Current()->Text;
  tokenizer.Accept(TTokenKind::Identifier);

  if (tokenizer.Is(TTokenKind::OpenParen)) {
    for (;;) {
      FPatterns.emplace_back();
      if (!tokenizer.Accept(TTokenKind::OpenParen)) tokenizer.Fail(msg::OpenBracketExpected);
      if (!tokenizer.Accept(TTokenKind::CloseParen)) {
        do {
          FPatterns.back().Add(ReadParameter(tokenizer));
        } while (tokenizer.Accept(TTokenKind::Comma));
        if (!tokenizer.Accept(TTokenKind::CloseParen)) tokenizer.Fail(msg::CloseBracketExpected);
      }
      if (!tokenizer.Accept(TTokenKind::Comma)) break;
    }
  } else {
    FPatterns.emplace_back();
  }

  if (tokenizer.Accept(TTokenKind::Colon)) {
    TType result = 0;
    if (tokenizer.Accept(TTokenKind::KwArray)) result |= TypeArray;
    while (tokenizer.HasToken() && !tokenizer.Is(TTokenKind::Semicolon)) {
      const TType word = AcceptTypeName(tokenizer);
      if (!word) tokenizer.Fail(msg::TypeNameExpected);
      result |= word;
    }
    FResultType = result;
  }
}

void TFunc::Unlink()
{
  if (FFuncs) {
    if (FFunction) FFuncs->Remove(*FFunction);  // the returned owner frees it
    FFuncs->RemoveListener(*this);
  }
  FFunction = nullptr;
  FFuncs = nullptr;
}

void TFunc::SetFuncs(TFuncs* registry)
{
  Unlink();
  if (registry) {
    auto function = std::make_unique<TCompFunction>(FName, FResultType, *this);
    for (const TTypes& pattern : FPatterns) function->AddPattern(pattern);
    function->OnEval = FOnEval;
    function->OnExEval = FOnExEval;
    FFunction = static_cast<TCompFunction*>(&registry->Add(std::move(function)));
    registry->AddListener(*this);
  }
  FFuncs = registry;
}

void TFunc::SetOnEval(TOnEvalEvent event)
{
  FOnEval = std::move(event);
  FOnExEval = nullptr;
  if (FFunction) {
    FFunction->OnEval = FOnEval;
    FFunction->OnExEval = nullptr;
  }
}

void TFunc::SetOnExEval(TOnExEvalEvent event)
{
  FOnExEval = std::move(event);
  FOnEval = nullptr;
  if (FFunction) {
    FFunction->OnExEval = FOnExEval;
    FFunction->OnEval = nullptr;
  }
}

void TFunc::FuncsDestroyed(TFuncs&)
{
  FFuncs = nullptr;
  FFunction = nullptr;
}

}  // namespace quarn::script
