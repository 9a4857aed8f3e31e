#include "script/Compiler.h"

#include <array>
#include <vector>

#include "script/Errors.h"
#include "script/MemoryBudget.h"
#include "script/Nodes.h"
#include "script/Script.h"

namespace quarn::script {

struct TOperator {
  TTokenKind Kind;
  const char* Name;  // the built-in's registered name
};

namespace {

using K = TTokenKind;

constexpr std::array<TOperator, 6> Relations = {{
    {K::Equal, "="},
    {K::NotEqual, "<>"},
    {K::Less, "<"},
    {K::LessEqual, "<="},
    {K::Greater, ">"},
    {K::GreaterEqual, ">="},
}};
constexpr std::array<TOperator, 4> AddingOperators = {{
    {K::Plus, "+"},
    {K::Minus, "-"},
    {K::KwOr, "OR"},
    {K::KwXor, "XOR"},
}};
constexpr std::array<TOperator, 5> MultiplyingOperators = {{
    {K::Star, "*"},
    {K::Slash, "/"},
    {K::KwMod, "MOD"},
    {K::KwDiv, "DIV"},
    {K::KwAnd, "AND"},
}};

struct TTypeConstant {
  TTokenKind Kind;
  TType Word;
};

// Type keywords in expressions stand for their type words (compared with Type's result).
constexpr std::array<TTypeConstant, 4> TypeConstants = {{
    {K::KwString, TypeString},
    {K::KwInteger, TypeInteger},
    {K::KwFloat, TypeFloat},
    {K::KwBoolean, TypeBoolean},
}};

}  // namespace

TCompiler::TDepth::TDepth(TCompiler& compiler) : FCompiler(compiler)
{
  if (++FCompiler.FDepth > MaxNesting) {
    --FCompiler.FDepth;
    FCompiler.FTokenizer.Fail(FormatMessage(msg::NestingTooDeep, MaxNesting));
  }
}

TCompiler::TCompiler(TScript& script, TTokenizer& tokenizer)
    : FScript(script),
      FTokenizer(tokenizer),
      FTreeLimit(TreeBytesPerTextByte * script.Text().size() + TreeAllowance)
{
}

void TCompiler::Charge(size_t bytes)
{
  // a heap block holds its size and is rounded up to 16 bytes; an argument list keeps up to
  // twice the room it uses
  constexpr size_t BlockShare = 8 + 15, SlotBytes = 2 * sizeof(TExpr*);
  const size_t held = ((bytes + BlockShare) & ~size_t{15}) + SlotBytes;
  FTreeBytes += held;
  if (FTreeBytes > FTreeLimit)
    throw ERuntimeError(FormatMessage(msg::ScriptTooLarge, static_cast<int>(FTreeLimit >> 20)),
                        FTokenizer.TokenPos());
  ChargeMemory(held);
  FScript.FState.CheckStop();
}

// The typed nodes replace the call node the tree was charged for, with what they hold more.
static_assert(sizeof(TBlockNode) == sizeof(TFuncExpr) && sizeof(TBranchNode) == sizeof(TFuncExpr) &&
              sizeof(TAssignNode) - sizeof(TFuncExpr) <= TypedNodeExtraBytes &&
              sizeof(TLogicNode) - sizeof(TFuncExpr) <= TypedNodeExtraBytes &&
              sizeof(TLoopNode) - sizeof(TFuncExpr) <= TypedNodeExtraBytes);

std::unique_ptr<TFuncExpr> TCompiler::Typed(
    std::unique_ptr<TFuncExpr> (*make)(std::unique_ptr<TFuncExpr>), std::unique_ptr<TFuncExpr> call)
{
  const TFuncExpr* original = call.get();
  std::unique_ptr<TFuncExpr> node = make(std::move(call));
  if (node.get() != original) Charge(TypedNodeExtraBytes);
  return node;
}

std::unique_ptr<TConstExpr> TCompiler::Constant(Variant value, int32_t position)
{
  if (value.IsString()) Charge(value.AsString().size());
  return New<TConstExpr>(std::move(value), position);
}

std::unique_ptr<TFuncExpr> TCompiler::Call(int32_t position, std::string_view name)
{
  return New<TFuncExpr>(*FScript.Functions(), position, name, FScript.FState);
}

std::unique_ptr<TFuncExpr> TCompiler::ParseScript()
{
  auto root = Call(-1, "SCRIPT");
  while (FTokenizer.HasToken()) {
    root->AddArg(Statement());
    if (!FTokenizer.HasToken()) break;
    if (!FTokenizer.Accept(K::Semicolon)) FTokenizer.Fail(msg::SemicolonExpected);
  }
  return MakeBlock(std::move(root));
}

TCompiler::TNode TCompiler::Statement()
{
  TDepth depth(*this);
  if (!FTokenizer.HasToken()) return nullptr;
  if (FTokenizer.Is(K::KwBegin)) return Block();
  // an empty statement: before ";", and before the END or UNTIL closing a statement list
  if (FTokenizer.Is(K::Semicolon) || (FTokenizer.Is(K::KwEnd) && FOpenBlocks > 0) ||
      (FTokenizer.Is(K::KwUntil) && FOpenRepeats > 0))
    return nullptr;
  if (FTokenizer.Is(K::KwIf)) return If();
  if (FTokenizer.Is(K::KwWhile)) return While();
  if (FTokenizer.Is(K::KwRepeat)) return Repeat();
  if (FTokenizer.Is(K::KwFor)) return For();
  if (FTokenizer.Is(K::KwConst)) {
    Const();
    return nullptr;
  }
  if (FTokenizer.PeekIs(K::Assign) || FTokenizer.PeekIs(K::OpenBracket)) return Assignment();
  return CallStatement();
}

TCompiler::TNode TCompiler::Block()
{
  auto block = Call(FTokenizer.TokenPos(), "BEGIN");
  FTokenizer.Accept(K::KwBegin);
  TOpenList open(FOpenBlocks);
  for (;;) {
    block->AddArg(Statement());
    if (FTokenizer.Accept(K::KwEnd)) break;
    if (!FTokenizer.Accept(K::Semicolon)) FTokenizer.Fail(msg::SemicolonExpected);
  }
  return MakeBlock(std::move(block));
}

TCompiler::TNode TCompiler::If()
{
  FTokenizer.Accept(K::KwIf);
  TNode condition = Expression();
  if (!FTokenizer.Accept(K::KwThen)) FTokenizer.Fail(msg::ThenExpected);
  TNode thenBranch = Statement();
  std::unique_ptr<TFuncExpr> node;
  if (FTokenizer.Is(K::KwElse)) {
    node = Call(FTokenizer.TokenPos(), "ELSE");
    FTokenizer.Accept(K::KwElse);
    TNode elseBranch = Statement();
    node->AddArg(std::move(condition));
    node->AddArg(std::move(thenBranch));
    node->AddArg(std::move(elseBranch));
  } else {
    node = Call(FTokenizer.TokenPos(), "IF");
    node->AddArg(std::move(condition));
    node->AddArg(std::move(thenBranch));
  }
  return MakeBranch(std::move(node));
}

TCompiler::TNode TCompiler::While()
{
  auto node = Call(FTokenizer.TokenPos(), "WHILE");
  FTokenizer.Accept(K::KwWhile);
  node->AddArg(Expression());
  if (!FTokenizer.Accept(K::KwDo)) FTokenizer.Fail(msg::DoExpected);
  node->AddArg(Statement());
  return Typed(MakeLoop, std::move(node));
}

TCompiler::TNode TCompiler::Repeat()
{
  auto node = Call(FTokenizer.TokenPos(), "REPEAT");
  FTokenizer.Accept(K::KwRepeat);
  std::vector<TNode> body;
  TOpenList open(FOpenRepeats);
  for (;;) {
    body.push_back(Statement());
    if (FTokenizer.Accept(K::KwUntil)) break;
    if (!FTokenizer.Accept(K::Semicolon)) FTokenizer.Fail(msg::SemicolonExpected);
  }
  node->AddArg(Expression());
  for (TNode& statement : body) node->AddArg(std::move(statement));
  return Typed(MakeLoop, std::move(node));
}

TCompiler::TNode TCompiler::For()
{
  auto node = Call(FTokenizer.TokenPos(), "FOR");
  FTokenizer.Accept(K::KwFor);
  node->AddArg(Variable());
  if (!FTokenizer.Accept(K::Assign)) FTokenizer.Fail(msg::AssignExpected);
  node->AddArg(Expression());
  int32_t step = 1;
  if (FTokenizer.Accept(K::KwDownTo))
    step = -1;
  else if (!FTokenizer.Accept(K::KwTo))
    FTokenizer.Fail(msg::ToExpected);
  node->AddArg(Expression());
  if (!FTokenizer.Accept(K::KwDo)) FTokenizer.Fail(msg::DoExpected);
  node->AddArg(Constant(Variant(step), -1));
  node->AddArg(Statement());
  return Typed(MakeLoop, std::move(node));
}

void TCompiler::Const()
{
  FTokenizer.Accept(K::KwConst);
  if (!FTokenizer.Is(K::Identifier)) return;
  const std::string name = FTokenizer.Current()->Text;
  FTokenizer.Accept(K::Identifier);
  if (!FTokenizer.Accept(K::Equal)) FTokenizer.Fail(msg::EqualExpected);
  if (!FTokenizer.HasToken()) FTokenizer.Fail(msg::NameExpected);
  TNode value = Expression();
  Variant result;
  try {
    value->Eval(result);
  } catch (const EStop&) {
    throw ERuntimeError(msg::ScriptStopped, value->Position());
  } catch (const EControlSignal&) {
    throw Exception(std::string());
  }
  if (FScript.FState.PendingJump != TJump::None) {  // no loop here, as for exit
    FScript.FState.PendingJump = TJump::None;
    throw Exception(std::string());
  }
  Charge(TScript::ItemBytes + name.size() + (result.IsString() ? result.AsString().size() : 0));
  FScript.AddScriptConstant(name, result);
}

TCompiler::TNode TCompiler::Assignment()
{
  if (!FTokenizer.Is(K::Identifier)) FTokenizer.Fail(msg::VariableExpected);
  auto node = Call(FTokenizer.TokenPos(), "SET");
  node->AddArg(Variable());
  if (FTokenizer.Accept(K::Assign)) node->AddArg(Expression());
  return Typed(MakeAssignment, std::move(node));
}

TCompiler::TNode TCompiler::CallStatement()
{
  if (!FTokenizer.Is(K::Identifier)) FTokenizer.Fail(msg::NameExpected);
  auto node = Call(FTokenizer.TokenPos(), FTokenizer.Current()->Text);
  FTokenizer.Accept(K::Identifier);
  ArgumentList(*node);
  return node;
}

void TCompiler::ArgumentList(TFuncExpr& call)
{
  if (!FTokenizer.Accept(K::OpenParen)) return;
  if (FTokenizer.Accept(K::CloseParen)) return;
  do {
    call.AddArg(Expression());
  } while (FTokenizer.Accept(K::Comma));
  if (!FTokenizer.Accept(K::CloseParen)) FTokenizer.Fail(msg::CloseBracketExpected);
}

TCompiler::TNode TCompiler::Chain(std::span<const TOperator> operators,
                                  TNode (TCompiler::*operand)())
{
  TNode first = (this->*operand)();
  std::vector<TNode> operands;
  std::vector<std::unique_ptr<TFuncExpr>> calls;
  for (;;) {
    const TOperator* found = nullptr;
    for (const TOperator& op : operators)
      if (FTokenizer.Is(op.Kind)) found = &op;
    if (!found) break;
    calls.push_back(Call(FTokenizer.TokenPos(), found->Name));
    FTokenizer.Accept(found->Kind);
    operands.push_back((this->*operand)());
  }
  if (calls.empty()) return first;
  // Operators of one level group to the right: a - b - c is a - (b - c). Built from the right
  // end in a loop, so a long chain costs no compiler recursion.
  TNode right = std::move(operands.back());
  for (size_t i = calls.size(); i-- > 0;) {
    calls[i]->AddArg(i == 0 ? std::move(first) : std::move(operands[i - 1]));
    calls[i]->AddArg(std::move(right));
    if (calls[i]->Height() > MaxHeight)
      throw ESyntaxError(FormatMessage(msg::ExpressionTooComplex, MaxHeight), calls[i]->Position());
    right = Fold(Typed(MakeOperator, std::move(calls[i])));
  }
  return right;
}

TCompiler::TNode TCompiler::Fold(std::unique_ptr<TFuncExpr> call)
{
  for (int i = 0; i < call->ArgCount(); ++i)
    if (call->Arg(i)->NodeKind() != TExprKind::Const) return call;
  Variant value;
  call->Eval(value);  // operators raise no control signals
  return Constant(std::move(value), call->Position());
}

TCompiler::TNode TCompiler::Expression()
{
  TNode left = Simple();
  for (const TOperator& relation : Relations)
    if (FTokenizer.Is(relation.Kind)) {
      auto node = Call(FTokenizer.TokenPos(), relation.Name);
      FTokenizer.Accept(relation.Kind);
      node->AddArg(std::move(left));
      node->AddArg(Simple());
      return Fold(Typed(MakeOperator, std::move(node)));
    }
  return left;
}

TCompiler::TNode TCompiler::Simple() { return Chain(AddingOperators, &TCompiler::Term); }

TCompiler::TNode TCompiler::Term() { return Chain(MultiplyingOperators, &TCompiler::Factor); }

TCompiler::TNode TCompiler::Factor()
{
  TDepth depth(*this);
  if (FTokenizer.Accept(K::Plus)) return Factor();
  if (FTokenizer.Is(K::Minus) || FTokenizer.Is(K::KwNot)) {
    const char* name = FTokenizer.Is(K::Minus) ? "~" : "NOT";
    FTokenizer.Accept(FTokenizer.Current()->Kind);
    TNode operand = Factor();
    auto node = Call(FTokenizer.LastAcceptedPos(), name);  // the operand's last token
    node->AddArg(std::move(operand));
    return Fold(Typed(MakeOperator, std::move(node)));
  }
  if (FTokenizer.Accept(K::OpenParen)) {
    TNode inner = Expression();
    if (!FTokenizer.Accept(K::CloseParen)) FTokenizer.Fail(msg::CloseBracketExpected);
    return inner;
  }
  if (FTokenizer.Is(K::Identifier)) {
    const TToken& token = *FTokenizer.Current();
    if (FScript.Functions()->Find(token.Text)) {
      auto node = Call(token.Position, token.Text);
      FTokenizer.Accept(K::Identifier);
      ArgumentList(*node);
      return node;
    }
    if (FTokenizer.PeekIs(K::OpenParen))
      FTokenizer.Fail(FormatMessage(msg::FunctionNotFound, token.Text.c_str()));
    return Variable();
  }
  const int32_t position = FTokenizer.TokenPos();
  if (FTokenizer.Accept(K::KwTrue)) return Constant(Variant(true), position);
  if (FTokenizer.Accept(K::KwFalse)) return Constant(Variant(false), position);
  for (const TTypeConstant& constant : TypeConstants)
    if (FTokenizer.Accept(constant.Kind)) return Constant(Variant(constant.Word), position);
  if (FTokenizer.HasToken()) {
    const TToken& token = *FTokenizer.Current();
    TNode literal;
    switch (token.Kind) {
      case K::StringLit: literal = Constant(Variant(FTokenizer.TakeText()), position); break;
      case K::IntegerLit: literal = Constant(Variant(token.IntValue), position); break;
      case K::FloatLit: literal = Constant(Variant(token.FloatValue), position); break;
      default: break;
    }
    if (literal) {
      FTokenizer.Accept(token.Kind);
      return literal;
    }
  }
  FTokenizer.Fail(msg::ExpressionExpected);
}

TCompiler::TNode TCompiler::Variable()
{
  if (!FTokenizer.Is(K::Identifier)) FTokenizer.Fail(msg::NameExpected);
  const int32_t position = FTokenizer.TokenPos();
  const std::string name = FTokenizer.Current()->Text;
  FTokenizer.Accept(K::Identifier);
  TDataItem* item = FScript.FindDataItem(name);
  if (!item) {
    Charge(TScript::ItemBytes + name.size());
    item = &FScript.AddVariable(name);
  }
  if (!item->IsVariable()) return Constant(item->Value(), position);
  if (!FTokenizer.Accept(K::OpenBracket)) return New<TVarExpr>(position, *item);
  auto element = New<TArrayExpr>(position, *item, FScript.FState);
  do {
    element->AddIndex(Expression());
  } while (FTokenizer.Accept(K::Comma));
  if (!FTokenizer.Accept(K::CloseBracket)) FTokenizer.Fail(msg::ClosingBracketExpected);
  return element;
}

}  // namespace quarn::script
