// The parser that turns script text into a tree of call nodes (internal to the engine).
#pragma once

#include <memory>
#include <span>

#include "script/Expr.h"
#include "script/Tokenizer.h"

namespace quarn::script {

class TScript;
struct TOperator;

// Nesting as written (statements inside statements, brackets, calls, unary operators) beyond
// this depth is a syntax error. Together with MaxHeight it keeps every text from exhausting
// the stack while compiling, evaluating or freeing the tree.
inline constexpr int MaxNesting = 1000;
// Levels of nodes below an operator: a chain of operators of one level nests each in the
// next (a + b + c is a + (b + c)), so a long chain is limited here rather than by MaxNesting.
inline constexpr int MaxHeight = 6000;
// The tree compiled from a text may take this many bytes per byte of the text, and this many
// bytes more, within the script memory budget: compiling a large text stops with an error
// instead of taking many times its size.
inline constexpr size_t TreeBytesPerTextByte = 2;
inline constexpr size_t TreeAllowance = size_t{56} << 20;

class TCompiler {
public:
  TCompiler(TScript& script, TTokenizer& tokenizer);
  // The whole text as a call of "SCRIPT".
  std::unique_ptr<TFuncExpr> ParseScript();

private:
  using TNode = std::unique_ptr<TExpr>;

  class TDepth {
  public:
    explicit TDepth(TCompiler& compiler);
    ~TDepth() { --FCompiler.FDepth; }

  private:
    TCompiler& FCompiler;
  };

  // Counts a BEGIN or REPEAT whose END or UNTIL is still to come.
  class TOpenList {
  public:
    explicit TOpenList(int& count) : FCount(count) { ++FCount; }
    ~TOpenList() { --FCount; }

  private:
    int& FCount;
  };

  // A node of the tree, counted against the tree's limit; every node is also a stop check.
  template <class T, class... TArgs>
  std::unique_ptr<T> New(TArgs&&... args)
  {
    Charge(sizeof(T));
    return std::make_unique<T>(std::forward<TArgs>(args)...);
  }
  std::unique_ptr<TConstExpr> Constant(Variant value, int32_t position);
  // Counts bytes the tree is about to hold (with the heap's own share of each block and the
  // node's slot in its parent's argument list); raises when the tree would grow past its
  // limit or the run's memory budget.
  void Charge(size_t bytes);
  std::unique_ptr<TFuncExpr> Call(int32_t position, std::string_view name);
  // The typed node make builds for call (Nodes.h), charged for what it holds beyond the call.
  std::unique_ptr<TFuncExpr> Typed(std::unique_ptr<TFuncExpr> (*make)(std::unique_ptr<TFuncExpr>),
                                   std::unique_ptr<TFuncExpr> call);
  TNode Statement();
  TNode Block();
  TNode If();
  TNode While();
  TNode Repeat();
  TNode For();
  void Const();
  TNode Assignment();
  TNode CallStatement();
  void ArgumentList(TFuncExpr& call);
  TNode Expression();
  TNode Simple();
  TNode Term();
  TNode Factor();
  TNode Variable();
  // operand {operator operand} for the operators of one level.
  TNode Chain(std::span<const TOperator> operators, TNode (TCompiler::*operand)());
  TNode Fold(std::unique_ptr<TFuncExpr> call);

  TScript& FScript;
  TTokenizer& FTokenizer;
  int FDepth = 0;
  int FOpenBlocks = 0;   // an END here closes a block: the statement before it is empty
  int FOpenRepeats = 0;  // likewise for UNTIL
  size_t FTreeBytes = 0;
  size_t FTreeLimit;
};

}  // namespace quarn::script
