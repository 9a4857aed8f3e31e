// The registry, host function declarations, the call procedure and the script runner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptRunner.h"
#include "script/Builtins.h"
#include "script/Errors.h"
#include "script/Host.h"
#include "script/HostArgs.h"
#include "script/HostCommands.h"

namespace quarn::script::test {
namespace {

TEST(Registry, RegistersTheBuiltinsInOrder)
{
  TFuncs funcs;
  ASSERT_EQ(funcs.Count(), 47);
  const char* expected[] = {"SCRIPT",   "BEGIN",
                            "SET",      "SETARRAY",
                            "TYPE",     "EXIT",
                            "BREAK",    "CONTINUE",
                            "IF",       "ELSE",
                            "WHILE",    "REPEAT",
                            "FOR",      ">",
                            "<",        "=",
                            "<>",       ">=",
                            "<=",       "NOT",
                            "AND",      "OR",
                            "XOR",      "~",
                            "+",        "-",
                            "*",        "/",
                            "DIV",      "MOD",
                            "INC",      "DEC",
                            "ROUND",    "TRUNC",
                            "INT",      "FRAC",
                            "LENGTH",   "INSERT",
                            "DELETE",   "COPY",
                            "POS",      "STRTOINT",
                            "INTTOSTR", "FORMAT",
                            "NOW",      "FORMATDATETIME",
                            "COPYRIGHT"};
  for (int i = 0; i < 47; ++i) {
    EXPECT_EQ(funcs.Function(i).Name(), expected[i]);
    EXPECT_EQ(funcs.Function(i).Owner(), &funcs);
  }
  EXPECT_EQ(
      funcs.Find("FOR")->Patterns()[0].ToString(),
      "(VAR VOID/INTEGER, INTEGER, INTEGER, INTEGER, FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN OPEN)");
  EXPECT_EQ(funcs.Find("for"), nullptr);  // callers pass upper-case names
}

struct TDeclarationCase {
  const char* Text;
  const char* Expected;  // name, patterns and result, or the error message
};

std::string DescribeDeclaration(const char* text)
{
  TFunc func;
  try {
    func.SetDeclaration(text);
  } catch (const Exception& error) {
    return error.Message();
  }
  std::string result = func.Name();
  for (const TTypes& pattern : func.Patterns()) result += " " + pattern.ToString();
  return result + " : " + TypeName(func.ResultType());
}

TEST(Declaration, ReadsNamesPatternsAndResults)
{
  const TDeclarationCase cases[] = {
      {"Quit;", "QUIT () : VOID"},
      {"LoadBot(string);", "LOADBOT (STRING) : VOID"},
      {"AddState(integer,string,All,integer,boolean)",
       "ADDSTATE (INTEGER, STRING, VOID/INTEGER/FLOAT/STRING/BOOLEAN, INTEGER, BOOLEAN) : VOID"},
      {"f(integer string, var mult, func all open)",
       "F (INTEGER/STRING, VAR INTEGER/FLOAT, FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN OPEN) : VOID"},
      {"g(var array float), (), (add) : array string;",
       "G (ARRAY VAR FLOAT) () (INTEGER/FLOAT/STRING) : ARRAY STRING"},
      {"h : integer float", "H () : INTEGER/FLOAT"},
      {"k(void) garbage ?", "K (VOID) : VOID"},
      {"", "Invalid expression for declaration \"\""},
      {"(integer)", "Syntaxerror: Name expected [Position 1]"},
      {"begin;", "Syntaxerror: Name expected [Position 1]"},
      {"f(integer), integer", "Syntaxerror: \"(\" expected. [Position 13]"},
      {"f(integer; ", "Syntaxerror: \")\" expected. [Position 10]"},
      {"f(x)", "Syntaxerror: Name of a type or \")\" expected [Position 3]"},
      {"f(array var integer)", "Syntaxerror: Name of a type or \")\" expected [Position 9]"},
      {"f(integer,)", "Syntaxerror: Name of a type or \")\" expected [Position 11]"},
      {"f : name;", "Syntaxerror: Name of a type or \")\" expected [Position 5]"},
      {"f(@)", "Syntaxerror: Invalid character (\"@\", 64) [Position 3]"},
  };
  for (const TDeclarationCase& c : cases)
    EXPECT_EQ(DescribeDeclaration(c.Text), c.Expected) << c.Text;
}

TEST(Declaration, LinkingRefusesDuplicatesAndUnlinksOnDestroy)
{
  TFuncs funcs;
  TFunc copy;
  copy.SetDeclaration("Copy(string);");
  try {
    copy.SetFuncs(&funcs);
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "A function with this name (\"COPY\") is already existing");
  }
  {
    TFunc quit;
    quit.SetDeclaration("Quit;");
    quit.SetFuncs(&funcs);
    EXPECT_EQ(funcs.Count(), 48);
    quit.SetFuncs(&funcs);  // re-linking replaces its own function
    EXPECT_EQ(funcs.Count(), 48);
  }
  EXPECT_EQ(funcs.Count(), 47);
  EXPECT_EQ(funcs.Find("QUIT"), nullptr);
}

TEST(Declaration, ComponentOutlivingItsRegistryForgetsIt)
{
  TFunc func;
  func.SetDeclaration("Late;");
  {
    TFuncs funcs;
    func.SetFuncs(&funcs);
  }
  EXPECT_EQ(func.Funcs(), nullptr);
  EXPECT_EQ(func.Function(), nullptr);
}

struct TCommandHost {
  void First(const TArgList& args) { Calls.push_back("first " + ArgText(args, 0)); }
  void Second(const TArgList&) { Calls.push_back("second"); }
  std::vector<std::string> Calls;
};

TEST(HostCommands, RegisterInTableOrderCallTheirHostAndLeaveWithTheTable)
{
  static const THostCommand<TCommandHost> Table[] = {
      {"Second;", &TCommandHost::Second},
      {"First(string);", &TCommandHost::First},
  };
  TScriptRunner runner;
  TCommandHost host;
  const int before = runner.Funcs.Count();
  {
    const THostCommands commands(runner.Funcs, host, Table);
    ASSERT_EQ(runner.Funcs.Count(), before + 2);
    EXPECT_EQ(runner.Funcs.Function(before).Name(), "SECOND");
    EXPECT_EQ(runner.Funcs.Function(before + 1).Name(), "FIRST");
    EXPECT_EQ(runner.Run("First('a'); Second"), "");
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"first a", "second"}));
  }
  EXPECT_EQ(runner.Funcs.Count(), before);
}

class HostCalls : public ::testing::Test {
protected:
  std::string Run(const std::string& text) { return Runner.Run(text); }
  TFunc& Declare(const char* declaration)
  {
    Extra.push_back(std::make_unique<TFunc>());
    Extra.back()->SetDeclaration(declaration);
    Extra.back()->SetFuncs(&Runner.Funcs);
    return *Extra.back();
  }
  TScriptRunner Runner;
  std::vector<std::unique_ptr<TFunc>> Extra;
};

TEST_F(HostCalls, MatchingAndResultMessages)
{
  Declare("Quit;").SetOnEval([](TFunc&, const TArgList&, Variant&) {});
  EXPECT_EQ(Run("Quit(1)"),
            "ERROR: Runtimeerror: Too many arguments for function QUIT! [Position 1]");
  Declare("NoResult;").SetOnEval([](TFunc&, const TArgList&, Variant& r) { r.SetInteger(1); });
  EXPECT_EQ(
      Run("NoResult"),
      "ERROR: Runtimeerror: Function NORESULT returns type INTEGER instead of VOID [Position 1]");
  Declare("Count: integer;").SetOnEval([](TFunc&, const TArgList&, Variant&) {});
  EXPECT_EQ(
      Run("x := Count"),
      "ERROR: Runtimeerror: Function COUNT returns type VOID instead of INTEGER [Position 6]");
  Declare("Silent;");
  EXPECT_EQ(Run("Silent"),
            "ERROR: Runtimeerror: Can't evaluate function SILENT. Event "
            "OnEval/OnExEval not definied! [Position 1]");
  EXPECT_EQ(Run("x := Round(5)"),
            "ERROR: Runtimeerror: Function ROUND expects type FLOAT "
            "instead of type INTEGER at argument 1 [Position 6]");
  EXPECT_EQ(Run("inc(x)"),
            "ERROR: Runtimeerror: The arguments don't fit to a parameter "
            "pattern:\n\rArguments: (VAR VOID)\n\rParameter patterns:\n\r"
            "(VAR INTEGER/FLOAT)\n\r(VAR INTEGER/FLOAT, INTEGER/FLOAT)\n\r"
            "Function: INC [Position 1]");
}

TEST_F(HostCalls, HostErrorsKeepTheirTextAndGainThePosition)
{
  Declare("Load(string);").SetOnEval([](TFunc&, const TArgList& args, Variant&) {
    throw EScriptError("Model " + args.Value(0).AsString() + " not found");
  });
  EXPECT_EQ(Run("x := 1;   Load('x.md2')"),
            "ERROR: Runtimeerror: Model x.md2 not found [Position 11]");
  Declare("Bad;").SetOnEval(
      [](TFunc&, const TArgList&, Variant&) { throw ESyntaxError("inner", 3); });
  EXPECT_EQ(Run("Bad"), "ERROR: Runtimeerror: Syntaxerror: inner [Position 3] [Position 1]");
}

TEST_F(HostCalls, ArgumentsAreEvaluatedOnceLeftToRightAndEventsCanBeSwapped)
{
  std::string order;
  Declare("Tick(integer): integer;").SetOnEval([&](TFunc&, const TArgList& args, Variant& r) {
    order += std::to_string(args.Value(0).AsInteger());
    r.SetInteger(args.Value(0).AsInteger());
  });
  TFunc& both = Declare("Both(integer, integer), (string);");
  both.SetOnEval([](TFunc&, const TArgList&, Variant&) { ADD_FAILURE() << "OnEval replaced"; });
  both.SetOnExEval([&](TFunc&, int pattern, const TArgList& args, Variant&) {
    order += " p" + std::to_string(pattern) + ":" + std::to_string(args.Count());
    EXPECT_EQ(args.Items(-1), nullptr);
    EXPECT_EQ(args.Items(args.Count()), nullptr);
    EXPECT_EQ(args.Items(0)->NodeKind(), TExprKind::Const);  // a host cannot tell computed values
  });
  EXPECT_EQ(Run("Both(Tick(1), Tick(2)); Both('s')"), "");
  EXPECT_EQ(order, "12 p0:2 p1:1");
}

TEST_F(HostCalls, VarParametersAreAssignable)
{
  Declare("Fill(var all);").SetOnEval([](TFunc&, const TArgList& args, Variant&) {
    args.Items(0)->Assign(Variant("filled"));
  });
  EXPECT_EQ(Run("Fill(x); Print(x)"), "filled\n");
  EXPECT_EQ(Run("x := 1; Fill(x)"),
            "ERROR: Runtimeerror: Variable X expects type INTEGER "
            "instead of type STRING. [Position 9]");
}

class StopAfter : public TScriptHost {
public:
  explicit StopAfter(int checks) : FLeft(checks) {}
  bool Terminating() override { return --FLeft < 0; }
  void PumpMessages() override { ++Pumps; }
  void ShowMessage(const std::string& text) override { Shown = text; }
  int Pumps = 0;
  std::string Shown;

private:
  int FLeft;
};

TEST(Runner, ATerminateRequestStopsEvenAnEmptyLoop)
{
  const std::pair<const char*, const char*> cases[] = {
      {"while true do", "ERROR: Runtimeerror: Script stopped. [Position 1]"},
      {"x := 1; repeat until false", "ERROR: Runtimeerror: Script stopped. [Position 9]"},
      {"while true do x := 1", "ERROR: Runtimeerror: Script stopped. [Position 1]"},
  };
  for (const auto& [text, expected] : cases) {
    StopAfter host(1000);
    SetScriptHost(&host);
    TScriptRunner runner;
    EXPECT_EQ(runner.Run(text), expected) << text;
    SetScriptHost(nullptr);
  }
}

TEST(Runner, PumpsAfterEveryCallUnlessBlocking)
{
  StopAfter host(1000000);
  SetScriptHost(&host);
  TScriptRunner runner;
  runner.Run("Print(1); Print(2)");
  EXPECT_EQ(host.Pumps, 3);  // two Prints and the root
  runner.Script.Blocking = true;
  runner.Run("Print(1); Print(2)");
  EXPECT_EQ(host.Pumps, 3);
  SetScriptHost(nullptr);
}

TEST(Runner, VariablesStartEmptyAndHostConstantsPersist)
{
  TScriptRunner runner;
  runner.Script.AddConstant("KEY_UP", Variant(4));
  EXPECT_EQ(runner.Run("Print(KEY_UP); x := 1"), "4\n");
  runner.Output.clear();
  runner.Script.Run();  // same tree, fresh variables
  EXPECT_EQ(runner.Output, "4\n");
  EXPECT_EQ(runner.Run("Print(x)"), "ERROR: Runtimeerror: Variable X is not defined. [Position 7]");
  runner.Script.AddConstant("key_up", Variant("up"));
  EXPECT_EQ(runner.Run("Print(KEY_UP)"), "up\n");
  EXPECT_EQ(runner.Run("KEY_UP := 5"),
            "ERROR: Runtimeerror: Function SET expects type VAR "
            "VOID/INTEGER/FLOAT/STRING/BOOLEAN instead of type "
            "STRING at argument 1 [Position 1]");
  runner.Script.ClearConstants();
  EXPECT_EQ(runner.Run("Print(KEY_UP)"),
            "ERROR: Runtimeerror: Variable KEY_UP is not defined. [Position 7]");
}

TEST(Runner, ConstValuesAreComputedOnceAtCompileTime)
{
  TScriptRunner runner;
  int calls = 0;
  TFunc next;
  next.SetDeclaration("Next: integer;");
  next.SetFuncs(&runner.Funcs);
  next.SetOnEval([&](TFunc&, const TArgList&, Variant& r) { r.SetInteger(++calls); });
  EXPECT_EQ(runner.Run("CONST c = Next; Print(c, Next)"), "1 2\n");
  runner.Output.clear();
  runner.Script.Run();
  EXPECT_EQ(runner.Output, "1 3\n");
}

TEST(Runner, RefusesNestedRunsAndReportsThroughTheHostWhenAsked)
{
  TScriptRunner runner;
  TFunc again;
  again.SetDeclaration("Again: boolean;");
  again.SetFuncs(&runner.Funcs);
  again.SetOnEval([&](TFunc&, const TArgList&, Variant& r) {
    r.SetBoolean(runner.Script.Run() || runner.Script.Compile());
  });
  EXPECT_EQ(runner.Run("Print(Again)"), "False\n");

  StopAfter host(1000000);
  SetScriptHost(&host);
  runner.Script.Exceptions = false;
  runner.Script.SetText("x := ");
  EXPECT_FALSE(runner.Script.Compile());
  EXPECT_EQ(host.Shown, "Syntaxerror: Expression expected. [Position 3]");
  try {
    runner.Script.Run();
    ADD_FAILURE();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Script isn't compiled!");
  }
  runner.Script.SetText("Print(y)");
  EXPECT_FALSE(runner.Script.Run());
  EXPECT_EQ(host.Shown, "Runtimeerror: Variable Y is not defined. [Position 7]");
  SetScriptHost(nullptr);

  TScript orphan;
  try {
    orphan.Compile();
    ADD_FAILURE();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Property \"Functions\" is not defined");
  }
}

// A host function that runs another script (a console line loading a bot file): what that
// script leaves behind, failing or not, does not reach the caller.
TEST(Runner, AScriptRunByAHostFunctionLeavesTheCallerAlone)
{
  TScriptRunner runner;
  TFunc other;
  other.SetDeclaration("Other(string);");
  other.SetFuncs(&runner.Funcs);
  other.SetOnEval([&](TFunc&, const TArgList& args, Variant&) {
    TScript inner;
    inner.SetFunctions(&runner.Funcs);
    inner.SetText(args.Value(0).AsString());
    try {
      inner.Run();
      runner.Output += "ran\n";
    } catch (const EScriptError& error) {
      runner.Output += error.Message() + "\n";
    } catch (const Exception& error) {
      runner.Output += "EXCEPTION: " + error.Message() + "\n";
    }
  });
  const std::pair<const char*, const char*> cases[] = {
      {"const a = break; x :=", "EXCEPTION: \n"},
      {"x := 1; break", "EXCEPTION: \n"},
      {"while true do if true then break", "ran\n"},
  };
  for (const auto& [inner, expected] : cases) {
    const std::string text = std::string("for i := 1 to 2 do begin Other('") + inner +
                             "'); Print(i) end; Print('after')";
    EXPECT_EQ(runner.Run(text), std::string(expected) + "1\n" + expected + "2\nafter\n") << inner;
  }
}

// A stop request belongs to the script it was made for: a script run meanwhile by a host
// function runs on, and the one asked stops at its next call.
TEST(Runner, AStopRequestBelongsToOneScript)
{
  TScriptRunner runner;
  TFunc inner;
  inner.SetDeclaration("Inner;");
  inner.SetFuncs(&runner.Funcs);
  inner.SetOnEval([&](TFunc&, const TArgList&, Variant&) {
    runner.Script.Stop();
    TScript other;
    other.SetFunctions(&runner.Funcs);
    other.SetText("for i := 1 to 2 do Print(i)");
    other.Run();
  });
  EXPECT_EQ(runner.Run("Inner; Print(3)"),
            "1\n2\nERROR: Runtimeerror: Script stopped. [Position 8]");
  EXPECT_EQ(runner.Run("Print(4)"), "4\n");  // the next run starts afresh
}

TEST(Runner, RecompilesWhenAHostFunctionLeavesTheRegistry)
{
  TScriptRunner runner;
  auto temp = std::make_unique<TFunc>();
  temp->SetDeclaration("Temp;");
  temp->SetFuncs(&runner.Funcs);
  temp->SetOnEval([](TFunc&, const TArgList&, Variant&) {});
  EXPECT_EQ(runner.Run("Temp"), "");
  temp.reset();
  runner.Output.clear();
  EXPECT_THROW(runner.Script.Run(), ESyntaxError);  // compiled again, no dangling call
}

}  // namespace
}  // namespace quarn::script::test
