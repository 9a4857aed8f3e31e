// Script text -> what Print wrote, or the exact error line, grouped by what they exercise.
#include <gtest/gtest.h>

#include <string>

#include "ScriptRunner.h"

namespace quarn::script::test {
namespace {

struct TScriptCase {
  const char* Name;  // the case's name in test listings
  const char* Source;
  const char* Expected;
};

void PrintTo(const TScriptCase& c, std::ostream* os) { *os << c.Source; }

class ScriptCases : public ::testing::TestWithParam<TScriptCase> {};

std::string CaseName(const ::testing::TestParamInfo<TScriptCase>& info) { return info.param.Name; }

TEST_P(ScriptCases, PrintsOrFails)
{
  TScriptRunner runner;
  EXPECT_EQ(runner.Run(GetParam().Source), GetParam().Expected) << GetParam().Source;
}

const TScriptCase GrammarCases[] = {
    {"empty_text", "", ""},
    {"only_comments", "{only} // comments", ""},
    {"empty_statements", ";;;", ""},
    {"block_with_trailing_semicolon", "begin x := 1; end", ""},
    {"subtraction_groups_to_the_right", "x := 10 - 3 - 2; Print(x)",
     "9\n"},  // right grouping: 10 - (3 - 2)
    {"division_groups_to_the_right", "x := 8 / 4 / 2; Print(x, Type(x))",
     "4 40\n"},  // 8 / (4 / 2), a FLOAT
    {"products_before_sums", "x := 2 * 3 + 4 * 5; Print(x)", "26\n"},
    {"unary_minus", "x := -3 * 2; Print(x)", "-6\n"},
    {"unary_plus", "x := +4; Print(x)", "4\n"},
    {"not_of_boolean", "x := not true; Print(x)", "False\n"},
    {"not_binds_before_equals", "x := not 1 = 1; Print(x)",
     "ERROR: Runtimeerror: Function NOT expects type BOOLEAN "
     "instead of type INTEGER at argument 1 [Position 10]"},
    {"type_constants", "Print(STRING, INTEGER, FLOAT, BOOLEAN)", "16 4 8 2\n"},
    {"constant_defined_twice_keeps_the_first", "CONST a = 1; CONST a = 2; Print(a)", "1\n"},
    {"constant_after_variable_keeps_the_variable", "x := 1; CONST x = 2; Print(x)", "1\n"},
    {"constant_from_expression", "CONST k = 2 * 3; Print(k + 1)", "7\n"},
    {"constant_without_name", "CONST = 5", "ERROR: Syntaxerror: \";\" expected. [Position 7]"},
    {"constant_without_equals", "CONST a 5", "ERROR: Syntaxerror: \"=\" expected [Position 9]"},
    {"constant_without_value", "CONST a =", "ERROR: Syntaxerror: Name expected [Position 9]"},
    {"assign_to_function_name", "length := 3", ""},
    {"bare_name_statement", "x;", "ERROR: Syntaxerror: Function X is not defined [Position 1]"},
    {"unknown_function", "y := foo(1)", "ERROR: Syntaxerror: Function FOO not found [Position 6]"},
    {"semicolon_before_else", "if a then x := 1; else x := 2",
     "ERROR: Syntaxerror: Name expected [Position 19]"},
    {"end_without_begin", "end", "ERROR: Syntaxerror: Name expected [Position 1]"},
    {"until_without_repeat", "x := 1; until x", "ERROR: Syntaxerror: Name expected [Position 9]"},
    {"end_after_then", "if true then end", "ERROR: Syntaxerror: Name expected [Position 14]"},
    {"empty_then_before_end_and_until",
     "begin if true then end; repeat if true then until true; Print(1)", "1\n"},
    {"missing_semicolon_in_block", "begin x := 1 y := 2 end",
     "ERROR: Syntaxerror: \";\" expected. [Position 14]"},
    {"block_without_end", "begin x := 1", "ERROR: Syntaxerror: \";\" expected. [Position 12]"},
    {"repeat_without_until", "repeat x := 1", "ERROR: Syntaxerror: \";\" expected. [Position 13]"},
    {"missing_semicolon_between_statements", "x := 1 y",
     "ERROR: Syntaxerror: \";\" expected. [Position 8]"},
    {"empty_index", "a[] := 1", "ERROR: Syntaxerror: Expression expected. [Position 3]"},
    {"trailing_comma_in_index", "x := a[1,]",
     "ERROR: Syntaxerror: Expression expected. [Position 10]"},
    {"unclosed_index", "x := a[1",
     "ERROR: Syntaxerror: Closing bracket \"]\" expected [Position 8]"},
    {"unclosed_parenthesis", "x := (1", "ERROR: Syntaxerror: \")\" expected. [Position 7]"},
    {"chained_comparison", "Print(1 = 1 = true)",
     "ERROR: Syntaxerror: \")\" expected. [Position 13]"},
    {"missing_expression", "x := ", "ERROR: Syntaxerror: Expression expected. [Position 3]"},
    {"if_without_then", "if true Print(1)", "ERROR: Syntaxerror: THEN expected. [Position 9]"},
    {"while_without_do", "while true Print(1)", "ERROR: Syntaxerror: DO expected. [Position 12]"},
    {"for_without_assign", "for i = 1 to 3 do",
     "ERROR: Syntaxerror: \":=\" expected. [Position 7]"},
    {"for_without_to", "for i := 1 too 3 do", "ERROR: Syntaxerror: TO expected. [Position 12]"},
    {"for_without_do", "for i := 1 to 3 Print(i)",
     "ERROR: Syntaxerror: DO expected. [Position 17]"},
    {"for_without_variable", "for 1 := 1 to 3 do",
     "ERROR: Syntaxerror: Name expected [Position 5]"},
    {"keyword_as_statement", "SCRIPT", "ERROR: Syntaxerror: Name expected [Position 1]"},
    {"keyword_as_variable", "var := 1", "ERROR: Syntaxerror: Variable expected. [Position 1]"},
    {"unterminated_string", "x := 'abc",
     "ERROR: Syntaxerror: End of string constant not found (end of line) "
     "(\"\r\", 13) [Position 10]"},
    {"index_without_assignment", "a[1]",
     "ERROR: Runtimeerror: Not enough arguments for function SET (1 instead of 2). "
     "[Position 1]"},
    {"mismatched_operand_types", "x := 1 + 'a'",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (INTEGER, STRING)\n\rParameter patterns:\n\r"
     "(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + "
     "[Position 8]"},
    {"constant_division_by_zero", "x := 1 div 0",
     "ERROR: Runtimeerror: Division by zero [Position 8]"},  // folded
};
INSTANTIATE_TEST_SUITE_P(Grammar, ScriptCases, ::testing::ValuesIn(GrammarCases), CaseName);

const TScriptCase StatementCases[] = {
    {"for_counter_ends_past_the_limit", "for i := 1 to 3 do x := i; Print(i, x)", "4 3\n"},
    {"for_upward_with_nothing_to_do", "for i := 3 to 1 do x := i; Print(i)", "3\n"},
    {"for_downto", "for i := 3 downto 1 do Print(i); Print(i)", "3\n2\n1\n0\n"},
    {"break_leaves_for", "for i := 1 to 10 do if i = 5 then break; Print(i)", "5\n"},
    {"continue_in_for", "for i := 1 to 3 do begin if i = 2 then continue; Print(i) end", "1\n3\n"},
    {"for_counter_assigned_in_body", "for i := 5 to 10 do begin Print(i); i := 0 end; Print(i)",
     "5\n1\n"},
    {"for_at_largest_integer", "for i := 2147483647 to 2147483647 do Print(i)",
     "2147483647\nERROR: Runtimeerror: Variable I expects type INTEGER instead of type FLOAT. "
     "[Position 1]"},
    {"for_over_float_variable", "i := 1.5; for i := 1 to 2 do",
     "ERROR: Runtimeerror: Function FOR expects type VAR "
     "VOID/INTEGER instead of type VAR FLOAT at argument 1 "
     "[Position 11]"},
    {"for_bounds_from_integer_operators", "n := 2; for i := n * 2 downto n - 1 do Print(i)",
     "4\n3\n2\n1\n"},
    {"for_float_bound", "for i := 1.4 to 2.6 do Print(i)",
     "ERROR: Runtimeerror: Function FOR expects type INTEGER instead of type FLOAT at argument 2 "
     "[Position 1]"},
    {"for_over_empty_block", "for i := 1 to 2 do begin end; Print(i)", "3\n"},
    {"while_comparison_meets_a_float",
     "i := 0; while i < 3 do begin Print(i); if i = 1 then i := 2.5 else i := i + 1 end",
     "0\n1\nERROR: Runtimeerror: Variable I expects type INTEGER instead of type FLOAT. "
     "[Position 54]"},
    {"continue_in_repeat_block",
     "x := 0; repeat begin x := x + 1; if x = 2 then continue; Print(x) end until x >= 3",
     "1\n3\n"},
    {"exit_in_for", "for i := 1 to 3 do begin Print(i); if i = 2 then exit end; Print(9)",
     "1\n2\n"},
    {"while_loop", "i := 0; while i < 3 do i := i + 1; Print(i)", "3\n"},
    {"break_leaves_while",
     "b := true; n := 0; while b do begin b := false; n := n + 1; if n = 3 then break end; "
     "Print(n)",
     "3\n"},
    {"continue_in_while",
     "i := 0; while i < 5 do begin i := i + 1; if i mod 2 = 0 then continue; Print(i) end",
     "1\n3\n5\n"},
    {"repeat_loop", "x := 0; repeat x := x + 1 until x > 2; Print(x)", "3\n"},
    {"repeat_runs_once", "repeat Print(1) until true", "1\n"},
    {"break_leaves_repeat", "x := 0; repeat x := x + 1; if x = 2 then break until false; Print(x)",
     "2\n"},
    {"if_true_takes_then", "if 1 < 2 then Print('a') else Print('b')", "a\n"},
    {"if_false_takes_else", "if 1 > 2 then Print('a') else Print('b')", "b\n"},
    {"if_false_without_else", "if 1 > 2 then Print('a')", ""},
    {"if_with_empty_then", "if true then", ""},
    {"empty_then_before_else", "if true then else Print(1)",
     "ERROR: Syntaxerror: Name expected [Position 14]"},
    {"if_with_empty_else", "if false then Print(1) else", ""},
    {"else_binds_to_nearest_if", "if true then if false then Print(1) else Print(2)",
     "2\n"},  // ELSE binds to the nearest IF
    {"set_function", "Set(x, 4); Print(x)", "4\n"},
    {"exit_stops_the_script", "exit; Print(1)", ""},
    {"exit_from_nested_blocks", "begin begin exit end end; Print(1)", ""},
    {"break_outside_loop", "break", "EXCEPTION: "},
    {"continue_outside_loop", "continue", "EXCEPTION: "},
    {"exit_in_constant", "const a = exit; Print(1)", "EXCEPTION: "},
    {"break_in_constant", "const a = break; Print(1)", "EXCEPTION: "},
    {"continue_in_constant", "const a = continue; Print(1)", "EXCEPTION: "},
    // a break or continue in an index ends the statement: nothing is read or assigned
    {"break_in_assigned_index",
     "SetArray(a, INTEGER, 2); for i := 1 to 3 do a[break] := 5; Print(a[0], i)", "0 1\n"},
    {"break_in_incremented_index",
     "SetArray(a, INTEGER, 2); for i := 1 to 3 do inc(a[break]); Print(a[0], i)", "0 1\n"},
    {"continue_in_read_index",
     "SetArray(a, INTEGER, 2); for i := 1 to 3 do begin x := a[continue]; Print(i) end; "
     "Print(i)",
     "4\n"},
    {"type_codes_of_variables",
     "Print(Type(x)); x := 1; Print(Type(x)); SetArray(s, STRING, 2); Print(Type(s))",
     "33\n36\n112\n"},
    {"type_of_float_variable", "x := 1.5; Print(Type(x) = FLOAT + 32)", "True\n"},
    {"resize_two_dimensional_array",
     "SetArray(a, INTEGER, 2, 3); Print(length(a), a[1, 2]); a[1, 2] := 7; SetArray(a, 5); "
     "Print(a[1, 2], a[1, 4])",
     "2 0\n7 0\n"},
    {"shrink_then_grow_clears_elements",
     "SetArray(a, INTEGER, 4); a[3] := 9; SetArray(a, 2); SetArray(a, 4); Print(a[3])", "0\n"},
    {"array_of_bad_type", "SetArray(a, 3, 10)",
     "ERROR: Runtimeerror: Bad array type! (VOID/BOOLEAN) Only basic types allowed. [Position 1]"},
    {"set_array_twice", "SetArray(a, INTEGER, 2); SetArray(a, INTEGER, 2)",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (ARRAY VAR INTEGER, INTEGER, INTEGER)\n\rParameter patterns:\n\r"
     "(VAR VOID, INTEGER, INTEGER, INTEGER OPEN)\n\r"
     "(ARRAY VAR INTEGER/FLOAT/STRING/BOOLEAN, INTEGER)\n\rFunction: SETARRAY [Position 26]"},
    {"arrays_of_every_basic_type",
     "SetArray(a, BOOLEAN, 2); SetArray(f, FLOAT, 1); SetArray(s, STRING, 1); "
     "Print(a[1], f[0], s[0], length(s))",
     "False 0  1\n"},
    {"resize_element_of_non_array", "x := 1; SetArray(x[0], 2)",
     "ERROR: Runtimeerror: Variant is not an array [Position 9]"},
    {"resize_non_array", "x := 1; SetArray(x, 2)",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter "
     "pattern:\n\rArguments: (VAR INTEGER, INTEGER)\n\rParameter "
     "patterns:\n\r(VAR VOID, INTEGER, INTEGER, INTEGER OPEN)\n\r"
     "(ARRAY VAR INTEGER/FLOAT/STRING/BOOLEAN, INTEGER)\n\r"
     "Function: SETARRAY [Position 9]"},
    {"array_too_large", "SetArray(a, INTEGER, 2000000000, 2000000000)",
     "ERROR: Runtimeerror: Out of memory [Position 1]"},
    {"array_of_negative_size", "SetArray(a, INTEGER, -1)",
     "ERROR: Runtimeerror: Error creating variant or safe array [Position 1]"},
    {"empty_array", "SetArray(a, INTEGER, 0); Print(length(a))", "0\n"},
    {"assign_to_constant", "const K = 1; K := 5",
     "ERROR: Runtimeerror: Function SET expects type VAR VOID/INTEGER/FLOAT/STRING/BOOLEAN "
     "instead of type INTEGER at argument 1 [Position 14]"},
};
INSTANTIATE_TEST_SUITE_P(Statements, ScriptCases, ::testing::ValuesIn(StatementCases), CaseName);

const TScriptCase VariableCases[] = {
    {"undefined_variable", "Print(x)",
     "ERROR: Runtimeerror: Variable X is not defined. [Position 7]"},
    {"integer_variable_refuses_float", "x := 1; x := 2.5",
     "ERROR: Runtimeerror: Variable X expects type INTEGER instead of type FLOAT. [Position 9]"},
    {"float_variable_refuses_integer", "x := 2.5; x := 1",
     "ERROR: Runtimeerror: Variable X expects type FLOAT instead of type INTEGER. [Position 11]"},
    {"string_variable_reassigned", "x := 'b'; x := 'a'; Print(x)", "a\n"},
    {"boolean_variable_refuses_integer", "x := true; x := 1",
     "ERROR: Runtimeerror: Variable X expects type BOOLEAN instead of "
     "type INTEGER. [Position 12]"},
    {"integer_variable_refuses_array", "SetArray(a, INTEGER, 2); x := 1; x := a",
     "ERROR: Runtimeerror: Variable X expects type INTEGER instead of type ARRAY INTEGER. "
     "[Position 34]"},
    {"array_assignment_copies",
     "SetArray(a, INTEGER, 2); a[0] := 1; b := a; b[0] := 5; Print(a[0], b[0])", "1 5\n"},
    {"first_index_out_of_bounds", "SetArray(a, INTEGER, 2, 3); x := a[2, 0]",
     "ERROR: Runtimeerror: Array index (2) out of bounds (dimension 1 has bounds [0..1]) "
     "[Position 34]"},
    {"second_index_out_of_bounds", "SetArray(a, INTEGER, 2, 3); x := a[0, -1]",
     "ERROR: Runtimeerror: Array index (-1) out of bounds (dimension 2 has bounds [0..2]) "
     "[Position 34]"},
    {"too_few_indices", "SetArray(a, INTEGER, 2, 3); x := a[1]",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 34]"},
    {"float_index_rounds", "SetArray(a, INTEGER, 4); a[1] := 10; a[2] := 20; Print(a[1.5], a[2.5])",
     "20 20\n"},
    {"boolean_index", "SetArray(a, INTEGER, 4); a[true] := 1",
     "ERROR: Runtimeerror: Array index (-1) out of "
     "bounds (dimension 1 has bounds [0..3]) "
     "[Position 26]"},
    {"numeric_string_index", "SetArray(a, INTEGER, 4); a['2'] := 5; Print(a[2])", "5\n"},
    {"non_numeric_string_index", "SetArray(a, INTEGER, 4); a['x'] := 5",
     "ERROR: Runtimeerror: Invalid variant type conversion [Position 26]"},
    {"string_into_integer_array", "SetArray(a, INTEGER, 2); a[0] := 'x'",
     "ERROR: Runtimeerror: Variable A expects type INTEGER instead of type STRING. "
     "[Position 26]"},
    {"too_few_indices_in_assignment", "SetArray(m, INTEGER, 2, 2); m[0] := 'x'",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 29]"},
    {"float_into_integer_array", "SetArray(a, INTEGER, 2); a[0] := 1.5",
     "ERROR: Runtimeerror: Variable A expects type INTEGER instead of type FLOAT. [Position 26]"},
    {"index_of_undefined_variable", "x := a[0]",
     "ERROR: Runtimeerror: Variable A is not defined. [Position 6]"},
    {"assign_to_index_of_undefined_variable", "a[0] := 1",
     "ERROR: Runtimeerror: Variable A is not defined. [Position 1]"},
    {"index_of_non_array", "x := 1; y := x[0]",
     "ERROR: Runtimeerror: Variant is not an array [Position 14]"},
    {"length_of_string_element", "SetArray(s, STRING, 3); Print(length(s[0]))",
     "ERROR: Runtimeerror: Variant is not an array [Position 31]"},
    // the innermost call reports: the div node, not the assignment
    {"division_by_zero_reports_the_div", "x := 1; y := 0; z := x div y",
     "ERROR: Runtimeerror: Division by zero [Position 24]"},
    {"undefined_variable_in_arguments", "x := 1; Print(x, z)",
     "ERROR: Runtimeerror: Variable Z is not defined. [Position 18]"},
    // an index expression that replaces the array it indexes: the element is looked up in
    // the array as it is after all indices were evaluated
    {"index_replaces_array_on_read",
     "SetArray(a, INTEGER, 3); SetArray(b, INTEGER, 2, 2); x := a[Set(a, b)]",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 59]"},
    {"index_replaces_array_on_assignment",
     "SetArray(a, INTEGER, 3); SetArray(b, INTEGER, 2, 2); a[Set(a, b)] := 7",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 54]"},
    {"index_replaces_array_on_inc",
     "SetArray(a, INTEGER, 3); SetArray(b, INTEGER, 2, 2); inc(a[Set(a, b)])",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 58]"},
    {"later_index_shrinks_integer_array",
     "SetArray(a, INTEGER, 300, 3); a[299, 0] := 42; SetArray(b, INTEGER, 1, 1); "
     "x := a[299, Set(a, b)]; Print(x, a)",
     "ERROR: Runtimeerror: Array index (299) out of bounds (dimension 1 has bounds [0..0]) "
     "[Position 81]"},
    {"later_index_shrinks_string_array",
     "SetArray(a, STRING, 300, 3); a[299, 0] := 'abc'; SetArray(b, STRING, 1, 1); "
     "x := a[299, Set(a, b)]",
     "ERROR: Runtimeerror: Array index (299) out of bounds (dimension 1 has bounds [0..0]) "
     "[Position 82]"},
    {"later_index_resizes_array",
     "SetArray(a, INTEGER, 2, 3); a[1, 2] := 5; Print(a[1, SetArray(a, 1)], a[1, 0])", "0 0\n"},
    {"index_empties_array", "SetArray(a, INTEGER, 4); a[SetArray(a, 0)] := 1",
     "ERROR: Runtimeerror: Array index (0) out of bounds (dimension 1 has bounds [0..-1]) "
     "[Position 26]"},
    {"undefined_variable_as_operand", "x := 1; y := x + z",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (VAR INTEGER, VAR VOID)\n\rParameter patterns:\n\r"
     "(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + "
     "[Position 16]"},
};
INSTANTIATE_TEST_SUITE_P(Variables, ScriptCases, ::testing::ValuesIn(VariableCases), CaseName);

// Integer arithmetic computed without the general call must give its results and errors,
// and hand over to it the moment an operand is not an integer; operators over calls and
// stores of computed text likewise.
const TScriptCase IntegerShortcutCases[] = {
    {"sum_wraps_at_32_bits", "x := 2147483647; x := x + 1; y := 46341; y := y * y; Print(x, y)",
     "-2147483648 -2147479015\n"},
    {"nested_operators", "d := 3; n := 10; while d * d <= n do d := d + 1; Print(d, d * d - n)",
     "4 6\n"},
    {"mod_by_negative_divisor", "n := 7; d := -2; Print(n mod d, n mod d = 1)", "1 True\n"},
    {"mod_by_zero_in_a_comparison", "n := 7; d := 0; x := n mod d = 1",
     "ERROR: Runtimeerror: Division by zero [Position 24]"},
    {"variable_turns_float", "x := 1.5; y := 2; Print(x * y, y * y * y)", "3 8\n"},
    {"assignment_of_another_kind", "x := 1; for i := 1 to 3 do x := x + 1.5",
     "ERROR: Runtimeerror: Variable X expects type INTEGER instead of type FLOAT. [Position 28]"},
    // an operand that is a call declared wider than numbers, yielding text at run time
    {"operator_over_a_call_of_wider_type",
     "x := 1; s := '1'; Print(x + (s + '2'), x * length(s + 'a'), (s + '2') - x)", "13 2 11\n"},
    {"operator_over_a_call_yielding_letters", "x := 1; s := 'a'; y := x + (s + 'b')",
     "ERROR: Runtimeerror: Invalid variant type conversion [Position 26]"},
    // computed texts short and long stored into a variable, one read from the same variable
    {"texts_stored_into_their_variables",
     "s := format('%70d', 5); s := copy(s, 70, 1); t := s;"
     " for i := 1 to 3 do t := t + format('%d', i); Print(s, length(s), t, pos('3', t))",
     "5 1 5123 4\n"},
    // elements read and stored in place, and each way they hand over to the general path
    {"elements_in_integer_arithmetic",
     "SetArray(a, INTEGER, 3); for i := 0 to 2 do a[i] := i * 10 + 1; t := 0;"
     " for i := 0 to 2 do t := t + a[i] * a[2 - i]; Print(t, a[0] + a[2], a[1] mod 4)",
     "163 22 3\n"},
    {"element_read_out_of_bounds", "SetArray(a, INTEGER, 3); i := 3; x := 1 + a[i]",
     "ERROR: Runtimeerror: Array index (3) out of bounds (dimension 1 has bounds [0..2]) "
     "[Position 43]"},
    {"element_stored_out_of_bounds", "SetArray(a, INTEGER, 3); i := -1; a[i] := i + 1",
     "ERROR: Runtimeerror: Array index (-1) out of bounds (dimension 1 has bounds [0..2]) "
     "[Position 35]"},
    {"element_of_another_kind",
     "SetArray(f, FLOAT, 2); i := 1; f[i] := 2.5; Print(f[i] * 2, i + f[1]); f[i] := i + 1",
     "5 3.5\nERROR: Runtimeerror: Variable F expects type FLOAT instead of type INTEGER. "
     "[Position 72]"},
    {"element_at_a_float_index",
     "SetArray(a, INTEGER, 3); a[1] := 5; i := 1.4; a[i] := a[i] + 2; Print(a[1], a[i] + 1)",
     "7 8\n"},
    {"elements_of_two_dimensions",
     "SetArray(m, INTEGER, 2, 2); m[1, 1] := 3; m[0, 1] := m[1, 1] * 2;"
     " Print(m[1, 1] + 1, m[0, 1]); x := m[1] + 1",
     "4 6\nERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 101]"},
    {"element_of_a_number", "a := 5; x := a[0] + 1",
     "ERROR: Runtimeerror: Variant is not an array [Position 14]"},
};
INSTANTIATE_TEST_SUITE_P(IntegerShortcuts, ScriptCases, ::testing::ValuesIn(IntegerShortcutCases),
                         CaseName);

// FLOAT and mixed INTEGER/FLOAT operators, "/", negation, div and mod computed without the
// general call: the same values, the same errors at the same positions, and stores that keep
// the assignment's type rules.
const TScriptCase NumberShortcutCases[] = {
    {"mixed_arithmetic", "x := 1.5; n := 3; Print(x + n, n - x, n * x, x / n, n / 2, 7 / 2)",
     "4.5 1.5 4.5 0.5 1.5 3.5\n"},
    {"float_chain_in_a_loop",
     "x := 0.0; y := 0.5; for i := 1 to 4 do x := (x * 2.0 - y) + i / 4; Print(x)", "-1\n"},
    {"mixed_comparisons_exactly",
     "x := 0.1 + 0.2; n := 2147483647; f := 2147483647.0; Print(x = 0.3, x > 0.3, n = f, n < f + "
     "1, 3 >= 3.0)",
     "False True True True True\n"},
    {"float_division_by_zero",
     "x := 1.0; z := 0; Print(x / z > 1.0e300, -x / z < -1.0e300, (z / z) = (z / z))",
     "True True False\n"},
    {"negation", "x := 5; f := 2.5; m := -2147483647 - 1; Print(-x, -f, -(x * f), -m, -x - -f)",
     "-5 -2.5 -12.5 -2147483648 -2.5\n"},
    {"negation_of_a_string", "s := 'a'; x := -s",
     "ERROR: Runtimeerror: Function ~ expects type INTEGER/FLOAT instead of type VAR STRING at "
     "argument 1 [Position 17]"},
    {"div_and_mod_in_a_while",
     "n := 1000; s := 0; while n > 0 do begin s := s + n mod 7; n := n div 3 end; Print(s, -7 div "
     "2, -7 mod 2)",
     "28 -3 -1\n"},
    {"div_by_zero_inside_an_expression", "n := 7; d := 0; x := (n div d) + 1",
     "ERROR: Runtimeerror: Division by zero [Position 25]"},
    {"div_of_a_float", "n := 7.0; d := 2; x := (n div d) + 1",
     "ERROR: Runtimeerror: Function DIV expects type INTEGER instead of type VAR FLOAT at argument "
     "1 [Position 27]"},
    {"integer_store_of_a_float_result", "x := 1; y := 2; x := y / 1",
     "ERROR: Runtimeerror: Variable X expects type INTEGER instead of type FLOAT. [Position 17]"},
    {"float_store_of_an_integer_result", "x := 1.5; y := 2; x := y * 3",
     "ERROR: Runtimeerror: Variable X expects type FLOAT instead of type INTEGER. [Position 19]"},
    {"leaf_stores_keep_kinds",
     "x := 1.5; y := 2.5; x := y; n := 1; m := 4; n := m; b := false; c := true; b := c; Print(x, "
     "n, b); n := x",
     "2.5 4 True\nERROR: Runtimeerror: Variable N expects type INTEGER instead of type FLOAT. "
     "[Position 100]"},
};
INSTANTIATE_TEST_SUITE_P(NumberShortcuts, ScriptCases, ::testing::ValuesIn(NumberShortcutCases),
                         CaseName);

// Elements of every kind and any number of indices, the indices read in place (constants,
// variables, number operators over those): one bounds check per index, reported as the
// general way reports it.
const TScriptCase ElementShortcutCases[] = {
    {"float_matrix_product",
     "SetArray(a, FLOAT, 2, 2); SetArray(c, FLOAT, 2, 2); for i := 0 to 1 do for j := 0 to 1 do "
     "a[i, j] := i + j / 2; for i := 0 to 1 do for j := 0 to 1 do begin s := 0.0; for k := 0 to 1 "
     "do s := s + a[i, k] * a[k, j]; c[i, j] := s end; Print(c[0, 0], c[0, 1], c[1, 0], c[1, 1])",
     "0.5 0.75 1.5 2.75\n"},
    {"index_expressions",
     "SetArray(a, INTEGER, 5); for i := 0 to 3 do a[i + 1] := a[i] + i * 2; i := 2; Print(a[4], "
     "a[i * 2], a[(i + 7) mod 5])",
     "12 12 12\n"},
    {"second_index_out_of_bounds", "SetArray(m, FLOAT, 3, 2); i := 2; j := 1; m[i, j + 1] := 1.5",
     "ERROR: Runtimeerror: Array index (2) out of bounds (dimension 2 has bounds [0..1]) [Position "
     "43]"},
    {"first_index_out_of_bounds_read",
     "SetArray(m, BOOLEAN, 3, 2); i := 2; b := m[i + 1, 0] or true",
     "ERROR: Runtimeerror: Array index (3) out of bounds (dimension 1 has bounds [0..2]) [Position "
     "42]"},
    {"three_dimensions",
     "SetArray(t, INTEGER, 2, 3, 4); i := 1; j := 2; k := 3; t[i, j, k] := 9; t[0, j - 1, k - 1] "
     ":= t[i, j, k] * 2; Print(t[1, 2, 3] + t[0, 1, 2])",
     "27\n"},
    {"boolean_and_string_elements",
     "SetArray(b, BOOLEAN, 3); SetArray(s, STRING, 2, 2); i := 1; b[i] := true; s[i, 0] := 'x'; "
     "s[0, i] := 'y'; Print(b[i] and not b[i + 1], s[i, 0] < s[0, i], s[i - 1, i] = s[0, 1])",
     "True True True\n"},
    {"float_index_rounds", "SetArray(f, FLOAT, 3); x := 1.6; f[2] := 4.5; Print(f[x] * 2)", "9\n"},
};
INSTANTIATE_TEST_SUITE_P(ElementShortcuts, ScriptCases, ::testing::ValuesIn(ElementShortcutCases),
                         CaseName);

// and, or, xor and not over comparisons, flags and elements, and the conditions of if, while
// and repeat read straight to a truth; a non-BOOLEAN operand is reported by the general call.
const TScriptCase LogicShortcutCases[] = {
    {"logic_over_comparisons",
     "x := 3; y := 2.5; Print((x > y) and (y > 2), (x < 0) or (y < 0), (x = 3) xor (y = 2.5), not "
     "(x <> 3))",
     "True False False True\n"},
    {"compound_while_and_repeat",
     "x := 0; y := 10.0; while (x < 10) and (y > 1) do begin x := x + 1; y := y / 2 end; n := 0; "
     "repeat n := n + 3 until (n > 10) or (n mod 7 = 0); Print(x, y, n)",
     "4 0.625 12\n"},
    {"flag_controlled_loop",
     "done := false; n := 0; while not done do begin n := n + 1; done := n * n > 50 end; Print(n)",
     "8\n"},
    {"flags_in_an_array",
     "SetArray(f, BOOLEAN, 10); for i := 2 to 9 do f[i] := (i mod 2 = 0) or (i mod 3 = 0); c := 0; "
     "for i := 0 to 9 do if f[i] and not f[9 - i] then c := c + 1; Print(c)",
     "4\n"},
    {"string_comparisons_in_conditions",
     "s := 'abc'; t := 'abd'; u := 'ab'; Print(s < t, u < s, s >= s, t <> t); while s < t do s := "
     "t; Print(s)",
     "True True True False\nabd\n"},
    {"non_boolean_operand", "x := 5; b := true; c := b and x",
     "ERROR: Runtimeerror: Function AND expects type BOOLEAN instead of type VAR INTEGER at "
     "argument 2 [Position 27]"},
    {"undefined_operand", "b := true; c := b or nothing",
     "ERROR: Runtimeerror: Function OR expects type BOOLEAN instead of type VAR VOID at argument 2 "
     "[Position 19]"},
    {"both_operands_always_read", "x := 0; SetArray(a, BOOLEAN, 2); c := (x > 0) and a[x + 5]",
     "ERROR: Runtimeerror: Array index (5) out of bounds (dimension 1 has bounds [0..1]) [Position "
     "51]"},
};
INSTANTIATE_TEST_SUITE_P(LogicShortcuts, ScriptCases, ::testing::ValuesIn(LogicShortcutCases),
                         CaseName);

// Values read and stored where they are kept: texts, an element updated from itself, branches
// on a flag, two floats at once; what is not of the kind the way needs is the general call's.
const TScriptCase InPlaceCases[] = {
    {"texts_stored_from_leaves",
     "SetArray(a, STRING, 3); a[0] := 'x'; a[1] := a[0]; s := 'y'; s := a[1]; a[2] := s; a[1] := "
     "a[1]; s := s; Print(a[0], a[1], a[2], s)",
     "x x x x\n"},
    {"text_into_an_integer_variable", "n := 1; s := 'a'; n := s",
     "ERROR: Runtimeerror: Variable N expects type INTEGER instead of type STRING. [Position 19]"},
    {"text_into_a_boolean_element", "SetArray(b, BOOLEAN, 1); s := 'x'; b[0] := s",
     "ERROR: Runtimeerror: Variable B expects type BOOLEAN instead of type STRING. [Position 36]"},
    {"element_updated_from_itself",
     "SetArray(c, INTEGER, 3, 3); for i := 0 to 8 do c[i mod 3, i div 3] := c[i mod 3, i div 3] + "
     "i; c[1, 1] := 2 * c[1, 1]; SetArray(f, FLOAT, 2); f[1] := 3.0; f[1] := f[1] / 2; Print(c[0, "
     "0], c[1, 1], c[2, 2], f[1])",
     "0 8 8 1.5\n"},
    {"elements_alike_but_not_the_same",
     "SetArray(a, INTEGER, 3); i := 0; j := 1; a[j] := 5; a[i] := a[j] + 1; a[i + 1] := a[1 + i] + "
     "1; a[2] := a[2] - a[i + 1]; a[j] := -a[j]; Print(a[0], a[1], a[2])",
     "6 -6 -6\n"},
    {"element_update_of_another_kind", "SetArray(a, INTEGER, 2); a[1] := 3; a[1] := a[1] / 2",
     "ERROR: Runtimeerror: Variable A expects type INTEGER instead of type FLOAT. [Position 37]"},
    {"element_update_out_of_bounds", "SetArray(a, INTEGER, 2); i := 2; a[i] := a[i] + 1",
     "ERROR: Runtimeerror: Array index (2) out of bounds (dimension 1 has bounds [0..1]) [Position "
     "42]"},
    {"branches_on_flags",
     "b := true; SetArray(f, BOOLEAN, 2); f[1] := true; if b then Print(1); if f[0] then Print(2) "
     "else Print(3); if f[1] then Print(4)",
     "1\n3\n4\n"},
    {"branch_on_an_integer_variable", "x := 1; if x then Print('yes') else Print('no')",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (VAR INTEGER, FUNC VOID, FUNC VOID)\n\rParameter patterns:\n\r"
     "(BOOLEAN, FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN, FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN)\n\r"
     "(BOOLEAN, FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN)\n\rFunction: ELSE [Position 32]"},
    {"branch_on_an_element_out_of_bounds", "SetArray(f, BOOLEAN, 2); i := 2; if f[i] then Print(1)",
     "ERROR: Runtimeerror: Array index (2) out of bounds (dimension 1 has bounds [0..1]) [Position "
     "37]"},
    {"two_floats_at_once",
     "x := 2.5; y := 0.5; Print(x * y, x / y, x - y, x + y, x < y, x >= y, x = 2.5, x * y + y * x)",
     "1.25 5 2 3 False True True 2.5\n"},
    {"negation_stored", "d := -2.5; d := -d; n := 3; n := -n; Print(d, n); n := -d",
     "2.5 -3\nERROR: Runtimeerror: Variable N expects type INTEGER instead of type FLOAT. "
     "[Position 51]"},
    {"text_elements_compared_in_place",
     "SetArray(w, STRING, 2); w[0] := 'b'; s := 'a'; Print(w[0] > s, s >= w[1], w[1] = '')",
     "True True True\n"},
    {"text_element_compared_with_a_number", "SetArray(w, STRING, 2); x := w[0] > 1",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (ARRAY VAR STRING, INTEGER)\n\rParameter patterns:\n\r"
     "(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\r(BOOLEAN, BOOLEAN)\n\r"
     "Function: > [Position 35]"},
    {"two_indices_in_slots_as_floats",
     "SetArray(m, INTEGER, 3, 2); m[2, 1] := 7; x := 1.6; y := 1; Print(m[x, y] + m[x + 0.4, y])",
     "14\n"},
    {"two_indices_in_slots_below_bounds",
     "SetArray(m, INTEGER, 3, 2); i := -1; j := 0; m[i, j] := 1",
     "ERROR: Runtimeerror: Array index (-1) out of bounds (dimension 1 has bounds [0..2]) "
     "[Position 46]"},
    {"element_update_after_a_resize",
     "SetArray(a, INTEGER, 4); i := 3; a[i] := a[i] + 1; SetArray(a, 2); a[i] := a[i] + 1",
     "ERROR: Runtimeerror: Array index (3) out of bounds (dimension 1 has bounds [0..1]) "
     "[Position 76]"},
    {"branch_on_a_text_element", "SetArray(w, STRING, 2); if w[0] then Print(1)",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (ARRAY VAR STRING, FUNC VOID)\n\rParameter patterns:\n\r"
     "(BOOLEAN, FUNC VOID/INTEGER/FLOAT/STRING/BOOLEAN)\n\r(BOOLEAN)\n\rFunction: IF "
     "[Position 45]"},
    {"children_over_mixed_numbers",
     "n := 3; x := 0.5; Print(n * 2 + x * x, (x + x) * n, n - x * 2, x * x < n)",
     "6.25 3 2 True\n"},
};
INSTANTIATE_TEST_SUITE_P(InPlace, ScriptCases, ::testing::ValuesIn(InPlaceCases), CaseName);

// Texts that once could have exhausted the stack: they fail with a clear error instead.
TEST(ScriptLimits, DeepNestingIsASyntaxError)
{
  const std::string nested[] = {
      "x := " + std::string(5000, '(') + "1" + std::string(5000, ')'),
      [] {
        std::string text = "x := ";
        for (int i = 0; i < 3000; ++i) text += "not ";
        return text + "true";
      }(),
      "x := " + std::string(6000, '-') + "1",
      [] {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += "begin ";
        return text;
      }(),
      [] {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += "if true then ";
        return text + "x := 1";
      }(),
  };
  for (const std::string& text : nested) {
    TScriptRunner runner;
    const std::string result = runner.Run(text);
    EXPECT_NE(result.find("Syntaxerror: Nesting too deep (more than 1000 levels)."),
              std::string::npos)
        << text.substr(0, 40) << ": " << result.substr(0, 200);
  }
}

TEST(ScriptLimits, ModerateNestingStillWorks)
{
  TScriptRunner runner;
  std::string text = "x := 1; y := x";
  for (int i = 0; i < 100; ++i) text += " + x";
  text += "; Print(y); z := " + std::string(100, '(') + "2" + std::string(100, ')') + "; Print(z)";
  EXPECT_EQ(runner.Run(text), "101\n2\n");
}

// A long chain of operators is one level as written: it compiles and runs, and only a chain
// too long to evaluate safely is refused.
TEST(ScriptLimits, LongOperatorChains)
{
  TScriptRunner runner;
  std::string text = "x := 1; y := x";
  for (int i = 1; i < 5000; ++i) text += " + x";
  text += "; z := 1";
  for (int i = 1; i < 5000; ++i) text += " + 1";
  EXPECT_EQ(runner.Run(text + "; Print(y, z)"), "5000 5000\n");

  std::string longer = "x := 1; y := x";
  for (int i = 0; i < 10000; ++i) longer += " * x";
  EXPECT_EQ(runner.Run(longer),
            "ERROR: Syntaxerror: Expression too complex (more than 6000 operations nested). "
            "[Position 16012]");
}

}  // namespace
}  // namespace quarn::script::test
