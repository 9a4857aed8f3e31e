// Cost of one CallFunction of a two-argument host function with two variable arguments, and
// the heap allocations each call makes (counted by replacing the global operator new).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "script/Func.h"
#include "script/Functions.h"

namespace {
std::atomic<long> Allocations{0};
}

void* operator new(std::size_t size)
{
  Allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace quarn::script;

struct TFixture {
  TFuncs Funcs;
  TFunc Add;
  TVariable A{"A"};
  TVariable B{"B"};
  TVarExpr ArgA{1, A};
  TVarExpr ArgB{4, B};
  TExpr* Args[2] = {&ArgA, &ArgB};
  TRunState Run;

  explicit TFixture(Variant a, Variant b)
  {
    Add.SetDeclaration("AddTwo(MULT, MULT): MULT;");
    Add.SetFuncs(&Funcs);
    Add.SetOnEval([](TFunc&, const TArgList& args, Variant& result) {
      result.SetInteger(args.Value(0).AsInteger() + args.Value(1).AsInteger());
    });
    A.SetValue(a);
    B.SetValue(b);
  }
};

void CallHostFunction(benchmark::State& state)
{
  TFixture fixture(Variant(20), Variant(22));
  Variant result;
  CallFunction(*fixture.Add.Function(), fixture.Args, result,
               fixture.Run);  // warm up the call frames
  const long before = Allocations.load();
  for (auto _ : state) {
    CallFunction(*fixture.Add.Function(), fixture.Args, result, fixture.Run);
    benchmark::DoNotOptimize(result);
  }
  state.counters["allocs/call"] = benchmark::Counter(
      static_cast<double>(Allocations.load() - before) / static_cast<double>(state.iterations()));
}
BENCHMARK(CallHostFunction);

// The same through a built-in with two patterns ("+" on two integer variables).
void CallBuiltinAdd(benchmark::State& state)
{
  TFixture fixture(Variant(20), Variant(22));
  TFunction& add = *fixture.Funcs.Find("+");
  Variant result;
  CallFunction(add, fixture.Args, result, fixture.Run);
  const long before = Allocations.load();
  for (auto _ : state) {
    CallFunction(add, fixture.Args, result, fixture.Run);
    benchmark::DoNotOptimize(result);
  }
  state.counters["allocs/call"] = benchmark::Counter(
      static_cast<double>(Allocations.load() - before) / static_cast<double>(state.iterations()));
}
BENCHMARK(CallBuiltinAdd);

}  // namespace

BENCHMARK_MAIN();
