// TScript: holds script text, compiles it against a function registry into an expression
// tree and runs that tree.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/Expr.h"
#include "script/Functions.h"
#include "script/RunState.h"

namespace quarn::script {

class TScript : private TFuncsListener {
public:
  TScript() = default;
  ~TScript() override;
  TScript(const TScript&) = delete;
  TScript& operator=(const TScript&) = delete;

  // When true, script errors of Compile and Run reach the caller; when false they are shown
  // through the host's message box and swallowed.
  bool Exceptions = true;
  // When false, window messages are pumped after every function call while the script runs.
  bool Blocking = false;

  const std::string& Text() const { return FText; }
  void SetText(std::string_view text);
  void TakeText(std::string&& text);  // as SetText, without a copy of a large text
  TFuncs* Functions() const { return FFunctions; }
  void SetFunctions(TFuncs* functions);

  // Host constants survive recompilation and are visible in every run.
  void AddConstant(std::string_view name, const Variant& value);
  void ClearConstants();

  // False when running. Raises Exception "Property "Functions" is not defined" without a
  // registry; script errors as Exceptions says.
  bool Compile();
  // Compiles if needed and runs; true when the run completed (also by exit). False when the
  // script is already running.
  bool Run();

  // Asks the running script to stop: its next call or loop test fails with "Script stopped.".
  void Stop() { FState.RequestStop(); }

  bool Compiled() const;
  bool Running() const { return FRunning; }
  TFuncExpr* Root() const { return FRoot.get(); }

  int DataItemCount() const { return static_cast<int>(FDataItems.size()); }
  TDataItem& DataItem(int index) const { return *FDataItems[static_cast<size_t>(index)]; }
  // The first item of that name (any case), or nullptr.
  TDataItem* FindDataItem(std::string_view name) const;
  // About what one variable or constant of the script takes, besides its name and value:
  // the item, its places in the lists and its entry in the index by name.
  static constexpr size_t ItemBytes = 256;

private:
  friend class TCompiler;
  void FuncsDestroyed(TFuncs& funcs) override;
  void FreeTree();
  void ReportOrRethrow(const class EScriptError& error);
  TVariable& AddVariable(std::string_view name);
  void AddScriptConstant(std::string_view name, const Variant& value);
  void IndexItem(TDataItem& item) { FItemsByName.try_emplace(item.Name(), &item); }
  void ReindexItems();

  std::string FText;
  TFuncs* FFunctions = nullptr;
  std::vector<TDataItem*> FDataItems;  // host constants first, then the script's own items
  // The first of FDataItems of each name: a script with many names compiles in linear time.
  std::unordered_map<std::string, TDataItem*> FItemsByName;
  std::vector<std::unique_ptr<TDataItem>> FOwnItems;
  std::vector<std::unique_ptr<TConstant>> FHostConstants;
  std::unique_ptr<TFuncExpr> FRoot;
  TRunState FState;
  bool FCompiled = false;
  bool FRunning = false;
  uint32_t FCompiledGeneration = 0;
};

}  // namespace quarn::script
