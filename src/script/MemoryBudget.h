// The memory budget of a script run: the heap that the values of one run (a console line, a
// bot file with everything it runs) may hold at once. Places that allocate for values charge
// what they are about to allocate; every megabyte charged, and every few thousand calls, the
// heap in use is measured against the budget and a run over it fails with "Out of memory", so
// many values each under their own cap cannot exhaust the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarn::script {

inline constexpr uint64_t DefaultScriptMemoryLimit = uint64_t{1} << 30;

// For every run from now on (program start: --script-memory).
void SetScriptMemoryLimit(uint64_t bytes);
uint64_t ScriptMemoryLimit();
// "SIZE" of a command line: bytes, or a number followed by K, M or G (binary units).
bool ParseMemorySize(std::string_view text, uint64_t& bytes);

namespace budget {
inline constexpr size_t MeasureEvery = size_t{1} << 20;
extern thread_local size_t Charged;  // since the last measurement
void Measure();
}  // namespace budget

// Before allocating `bytes` for a value; raises ERTE "Out of memory" over the budget.
inline void ChargeMemory(size_t bytes)
{
  budget::Charged += bytes;
  if (budget::Charged >= budget::MeasureEvery) budget::Measure();
}

// Calls or loop steps: measures now and then, for values too small to be charged.
inline void ChargeSteps(size_t steps) { ChargeMemory(64 * steps); }

// Lives for one run. The outermost scope on a thread sets the baseline; runs nested in it
// (a bot file loaded from a console line) share its budget.
class TMemoryBudgetScope {
public:
  TMemoryBudgetScope();
  ~TMemoryBudgetScope();
  TMemoryBudgetScope(const TMemoryBudgetScope&) = delete;
  TMemoryBudgetScope& operator=(const TMemoryBudgetScope&) = delete;

private:
  bool FOutermost;
};

}  // namespace quarn::script
