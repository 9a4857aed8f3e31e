#include "script/MemoryBudget.h"

#include <atomic>

#include "script/Errors.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARN_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUARN_ASAN 1
#endif

#ifdef QUARN_ASAN
#include <cstddef>
// The sanitizer runtime's own count of the heap; GCC ships no header declaring it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace quarn::script {

namespace {

std::atomic<uint64_t> Limit{DefaultScriptMemoryLimit};

struct TRunBudget {
  bool Active = false;
  uint64_t Baseline = 0;
  uint64_t Limit = 0;
};
thread_local TRunBudget Current;

// Bytes the process's heap holds now (the sanitizer's heap when it replaces malloc).
uint64_t HeapInUse()
{
#ifdef QUARN_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

}  // namespace

void SetScriptMemoryLimit(uint64_t bytes) { Limit = bytes; }
uint64_t ScriptMemoryLimit() { return Limit; }

bool ParseMemorySize(std::string_view text, uint64_t& bytes)
{
  int shift = 0;
  if (!text.empty()) {
    switch (text.back()) {
      case 'K':
      case 'k': shift = 10; break;
      case 'M':
      case 'm': shift = 20; break;
      case 'G':
      case 'g': shift = 30; break;
      default: break;
    }
  }
  if (shift != 0) text.remove_suffix(1);
  if (text.empty() || text.size() > 12) return false;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > (UINT64_MAX >> shift)) return false;
  bytes = value << shift;
  return true;
}

namespace budget {

thread_local size_t Charged = 0;

void Measure()
{
  const uint64_t charged = Charged;
  Charged = 0;
  if (!Current.Active) return;
  const uint64_t inUse = HeapInUse();
  const uint64_t held = inUse > Current.Baseline ? inUse - Current.Baseline : 0;
  if (held + charged > Current.Limit) throw ERTE(msg::OutOfMemory);
}

}  // namespace budget

TMemoryBudgetScope::TMemoryBudgetScope() : FOutermost(!Current.Active)
{
  if (!FOutermost) return;
  Current.Active = true;
  Current.Baseline = HeapInUse();
  Current.Limit = Limit;
  budget::Charged = 0;
}

TMemoryBudgetScope::~TMemoryBudgetScope()
{
  if (FOutermost) Current.Active = false;
}

}  // namespace quarn::script
