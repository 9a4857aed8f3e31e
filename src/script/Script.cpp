#include "script/Script.h"

#include <algorithm>

#include "script/Compiler.h"
#include "script/Errors.h"
#include "script/Host.h"
#include "script/MemoryBudget.h"
#include "script/Tokenizer.h"

namespace quarn::script {

namespace {

// Sets a flag for the lifetime of the object, whatever happens.
class TRunningFlag {
public:
  explicit TRunningFlag(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TRunningFlag() { FFlag = false; }

private:
  bool& FFlag;
};

}  // namespace

TScript::~TScript()
{
  FRunning = false;
  ClearConstants();
  FreeTree();
  FDataItems.clear();
  FItemsByName.clear();
  FOwnItems.clear();
  if (FFunctions) FFunctions->RemoveListener(*this);
}

void TScript::SetText(std::string_view text)
{
  FText = text;
  FCompiled = false;
}

void TScript::TakeText(std::string&& text)
{
  FText = std::move(text);
  FCompiled = false;
}

void TScript::SetFunctions(TFuncs* functions)
{
  if (FFunctions == functions) return;
  if (FFunctions) FFunctions->RemoveListener(*this);
  FFunctions = functions;
  if (FFunctions) FFunctions->AddListener(*this);
}

void TScript::FuncsDestroyed(TFuncs&)
{
  // The tree refers to the registry's functions: it cannot be run any more.
  FFunctions = nullptr;
  if (!FRunning) FreeTree();
  FCompiled = false;
}

bool TScript::Compiled() const
{
  return FCompiled && FFunctions && FFunctions->Generation() == FCompiledGeneration;
}

void TScript::AddConstant(std::string_view name, const Variant& value)
{
  const std::string upper = UpperCase(name);
  for (auto& constant : FHostConstants)
    if (constant->Name() == upper) {
      constant->SetValue(Normalize(value));
      FCompiled = false;
      return;
    }
  auto constant = std::make_unique<TConstant>(upper, Normalize(value));
  constant->SetHostDefined(true);
  FHostConstants.push_back(std::move(constant));
  FCompiled = false;
}

void TScript::ClearConstants()
{
  if (FRunning) return;
  std::erase_if(FDataItems, [](const TDataItem* item) { return item->HostDefined(); });
  ReindexItems();
  FHostConstants.clear();
  FCompiled = false;
}

TDataItem* TScript::FindDataItem(std::string_view name) const
{
  const auto found = FItemsByName.find(UpperCase(name));
  return found == FItemsByName.end() ? nullptr : found->second;
}

void TScript::ReindexItems()
{
  FItemsByName.clear();
  for (TDataItem* item : FDataItems) IndexItem(*item);
}

TVariable& TScript::AddVariable(std::string_view name)
{
  auto variable = std::make_unique<TVariable>(name);
  TVariable& result = *variable;
  FDataItems.push_back(variable.get());
  FOwnItems.push_back(std::move(variable));
  IndexItem(result);
  return result;
}

void TScript::AddScriptConstant(std::string_view name, const Variant& value)
{
  auto constant = std::make_unique<TConstant>(name, value);
  FDataItems.push_back(constant.get());
  IndexItem(*constant);
  FOwnItems.push_back(std::move(constant));
}

void TScript::FreeTree() { FRoot.reset(); }

void TScript::ReportOrRethrow(const EScriptError& error)
{
  if (Exceptions) throw;
  ScriptHost().ShowMessage(error.Message());
}

bool TScript::Compile()
{
  if (FRunning) return false;
  if (!FFunctions) throw Exception(msg::FunctionsNotDefined);
  // The compiler takes stop checks, which pump the host's messages: a line entered meanwhile
  // must find this script busy, as while it runs.
  TRunningFlag compiling(FRunning);
  FState.ResetStop();
  FState.Blocking = Blocking;
  FState.PendingJump = TJump::None;
  TMemoryBudgetScope budget;  // the tree counts in the script's memory
  try {
    FreeTree();
    FCompiled = false;
    FDataItems.clear();
    FItemsByName.clear();
    FOwnItems.clear();
    for (auto& constant : FHostConstants) FDataItems.push_back(constant.get());
    ReindexItems();
    TTokenizer tokenizer(FText);
    tokenizer.SetStopCheck(&FState);
    TCompiler compiler(*this, tokenizer);
    try {
      FRoot = compiler.ParseScript();
    } catch (const EStop&) {
      throw ERuntimeError(msg::ScriptStopped, tokenizer.TokenPos());
    } catch (const ERTE& error) {
      throw ERuntimeError(error.Message(), tokenizer.TokenPos());
    } catch (const std::bad_alloc&) {
      throw ERuntimeError(msg::OutOfMemory, tokenizer.TokenPos());
    } catch (const std::length_error&) {
      throw ERuntimeError(msg::OutOfMemory, tokenizer.TokenPos());
    }
    FCompiled = true;
    FCompiledGeneration = FFunctions->Generation();
    return true;
  } catch (const EScriptError& error) {
    FreeTree();
    ReportOrRethrow(error);
    return false;
  }
}

bool TScript::Run()
{
  if (!Compiled() && !Compile()) {
    if (FRunning) return false;
  }
  if (FRunning) return false;
  FState.ResetStop();
  FState.Blocking = Blocking;
  TRunningFlag running(FRunning);
  TMemoryBudgetScope budget;
  for (TDataItem* item : FDataItems)
    if (!item->HostDefined()) item->Clear();
  if (!FRoot) throw Exception(msg::ScriptNotCompiled);
  FState.PendingJump = TJump::None;
  try {
    Variant discarded;
    FRoot->Eval(discarded);
    if (FState.PendingJump != TJump::None) {  // outside any loop
      FState.PendingJump = TJump::None;
      throw Exception(std::string());
    }
  } catch (const EExit&) {
  } catch (const EStop&) {
    // every call node converts a stop; this only guards the root itself
    if (Exceptions) throw ERuntimeError(msg::ScriptStopped, -1);
    ScriptHost().ShowMessage(ERuntimeError(msg::ScriptStopped, -1).Message());
    return false;
  } catch (const EScriptError& error) {
    ReportOrRethrow(error);
    return false;
  }
  return true;
}

}  // namespace quarn::script
