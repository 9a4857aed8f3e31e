#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/Errors.h"
#include "script/Tokenizer.h"

namespace quarn::script {
namespace {

// Each token written as kind@position, with its value: I<n>, F<x>, S'<text>', N<name>.
std::string Describe(const TToken& token)
{
  std::string text =
      std::to_string(static_cast<int>(token.Kind)) + "@" + std::to_string(token.Position);
  switch (token.Kind) {
    case TTokenKind::IntegerLit: text += " I" + std::to_string(token.IntValue); break;
    case TTokenKind::FloatLit: {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, " F%g", token.FloatValue);
      text += buffer;
      break;
    }
    case TTokenKind::StringLit: text += " S'" + token.Text + "'"; break;
    case TTokenKind::Identifier: text += " N" + token.Text; break;
    default: break;
  }
  return text;
}

std::string Tokenize(const std::string& source)
{
  TTokenizer tokenizer(source);
  std::string result;
  try {
    while (auto token = tokenizer.ReadToken()) {
      if (!result.empty()) result += ", ";
      result += Describe(*token);
    }
  } catch (const ESyntaxError& error) {
    if (!result.empty()) result += ", ";
    result += error.Message();
  }
  return result;
}

struct TTokenCase {
  const char* Name;  // the case's name in test listings
  const char* Source;
  const char* Expected;
};

const TTokenCase TokenCases[] = {
    {"empty", "", ""},
    {"comments_only", "  {comment} // line", ""},
    {"unterminated_brace_comment", "{unterminated", ""},
    {"assignment_statement", "x := 'a'#65 + 10;",
     "5@1 NX, 41@3, 2@9 S'aA', 28@13, 3@15 I10, 38@17"},
    {"keywords_ignore_case", "Begin BEGIN begin BeginX", "8@1, 8@7, 8@13, 5@19 NBEGINX"},
    {"comparison_operators", "a:=b a<>b a<=b a>=b a<b a>b a:b",
     "5@1 NA, 41@2, 5@4 NB, 5@6 NA, 33@7, 5@9 NB, 5@11 NA, 37@12, "
     "5@14 NB, 5@16 NA, 35@17, 5@19 NB, 5@21 NA, 36@22, 5@23 NB, "
     "5@25 NA, 34@26, 5@27 NB, 5@29 NA, 40@30, 5@31 NB"},
    {"punctuation", "( ) * + , - / ; = [ ]",
     "42@1, 43@3, 30@5, 28@7, 39@9, 29@11, 31@13, 38@15, 32@17, 44@19, 45@21"},
    {"slash_between_names", "a/b", "5@1 NA, 31@2, 5@3 NB"},
    {"decimal_integers", "2147483647 0 007", "3@1 I2147483647, 3@12 I0, 3@14 I7"},
    {"hexadecimal_integers", "$7fffffff $FFFFFFFF $0000000001",
     "3@1 I2147483647, 3@11 I-1, 3@21 I1"},
    {"floats", "1e5 1.5E-3 2.5 1. 1e-999", "4@1 F100000, 4@5 F0.0015, 4@12 F2.5, 4@16 F1, 4@19 F0"},
    {"char_constants_and_quotes", "#65#66 #$41 'it''s' '' 'a'#13#10'b'",
     "2@4 S'AB', 2@8 S'A', 2@13 S'it's', 2@21 S'', 2@33 S'a\r\nb'"},
    {"adjacent_strings", "'x' 'y'", "2@1 S'x', 2@5 S'y'"},
    {"brace_comment_between_names", "x {note} y", "5@1 NX, 5@10 NY"},
    // only a carriage return ends a line comment; a string may run across line feeds
    {"line_feed_inside_line_comment", "a // c\nb", "5@1 NA"},
    {"carriage_return_ends_line_comment", "a // c\rb", "5@1 NA, 5@8 NB"},
    {"line_feed_inside_string", "'a\nb'", "2@1 S'a\nb'"},
    {"statement_keywords",
     "SCRIPT CONST END IF THEN ELSE WHILE REPEAT UNTIL FOR TO DOWNTO DO TRUE FALSE",
     "6@1, 7@8, 9@14, 10@18, 11@21, 12@26, 13@31, 14@37, 15@44, 16@50, 17@54, 18@57, 19@64, 20@67, "
     "21@72"},
    {"operator_and_type_keywords",
     "and or xor div mod not var func open integer float string boolean add mult array void all",
     "22@1, 23@5, 24@8, 25@12, 26@16, 27@20, 46@24, 47@28, 48@33, 49@38, 50@46, 51@52, 52@59, "
     "53@67, 54@71, 55@76, 56@82, 57@87"},
    // errors: message and position
    {"question_mark", "x?", "Syntaxerror: Invalid character (\"?\", 63) [Position 2]"},
    {"comment_glued_to_identifier", "x{note}",
     "Syntaxerror: Invalid character (\"{\", 123) [Position 2]"},
    {"point_after_name", "a.b", "Syntaxerror: Invalid character (\".\", 46) [Position 2]"},
    {"second_point_in_number", "1.2.3",
     "Syntaxerror: Number or exponent expected (\".\", 46) [Position 4]"},
    {"letters_after_digits", "12abc",
     "Syntaxerror: Number, point or exponent expected (\"a\", 97) [Position 3]"},
    {"exponent_without_digits", "1e ",
     "Syntaxerror: Number or minus expected (\" \", 32) [Position 3]"},
    {"exponent_sign_without_digits", "1e+ ",
     "Syntaxerror: Number expected (\" \", 32) [Position 4]"},
    {"letter_after_exponent", "1e5x", "Syntaxerror: Number expected (\"x\", 120) [Position 4]"},
    {"integer_too_large", "2147483648",
     "Syntaxerror: Invalid integer constant \"2147483648\" [Position 11]"},
    {"integer_too_large_after_tokens", "x := 2147483648;",
     "5@1 NX, 41@3, Syntaxerror: Invalid integer constant \"2147483648\" [Position 16]"},
    {"hexadecimal_too_large", "$100000000",
     "Syntaxerror: Invalid hexadezimal constant \"$100000000\" [Position 11]"},
    {"dollar_without_digits", "$ ",
     "Syntaxerror: Hexadecimal digit expected (\" \", 32) [Position 2]"},
    {"bad_hexadecimal_digit", "$1G",
     "Syntaxerror: Hexadecimal digit expected (\"G\", 71) [Position 3]"},
    {"float_too_large", "1e999",
     "Syntaxerror: Invalid floating point constant \"1e999\" [Position 6]"},
    {"char_code_too_large", "#256", "Syntaxerror: Invalid char constant \"256\" [Position 5]"},
    {"hexadecimal_char_code_too_large", "#$100",
     "Syntaxerror: Invalid char constant \"$100\" [Position 6]"},
    {"hash_without_number", "# ", "Syntaxerror: Number expected (\" \", 32) [Position 2]"},
    {"hash_dollar_without_digits", "#$ ",
     "Syntaxerror: Hexadecimal digit expected (\" \", 32) [Position 3]"},
    {"letter_after_char_constant", "#65x",
     "Syntaxerror: Invalid character (\"x\", 120) [Position 4]"},
    {"unterminated_string", "'abc",
     "Syntaxerror: End of string constant not found (end of line) (\"\r\", 13) [Position 5]"},
    {"letter_after_string", "'a'b", "Syntaxerror: Invalid character (\"b\", 98) [Position 4]"},
    {"less_than_before_brace", "a<{",
     "5@1 NA, Syntaxerror: \">\" or \"=\" expected (\"{\", 123) [Position 3]"},
    {"colon_before_point", "a:.", "5@1 NA, Syntaxerror: \"=\" expected (\".\", 46) [Position 3]"},
    {"greater_than_before_brace", "a>}",
     "5@1 NA, Syntaxerror: \"=\" expected (\"}\", 125) [Position 3]"},
    {"control_character", "\x01", "Syntaxerror: Invalid character (\"\x01\", 1) [Position 1]"},
    {"non_ascii_byte", "\xe9", "Syntaxerror: Invalid character (\"\xe9\", 233) [Position 1]"},
};

class TokenizerCases : public ::testing::TestWithParam<TTokenCase> {};

TEST_P(TokenizerCases, ProducesTokensOrError)
{
  EXPECT_EQ(Tokenize(GetParam().Source), GetParam().Expected) << "source: " << GetParam().Source;
}

INSTANTIATE_TEST_SUITE_P(Table, TokenizerCases, ::testing::ValuesIn(TokenCases),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST(Tokenizer, ClassifyLooksAtTheFirstCharacter)
{
  EXPECT_EQ(TTokenizer::Classify("(xyz"), TTokenKind::OpenParen);
  EXPECT_EQ(TTokenizer::Classify(":x"), TTokenKind::Identifier);
  EXPECT_EQ(TTokenizer::Classify("<>"), TTokenKind::NotEqual);
  EXPECT_EQ(TTokenizer::Classify(">>"), TTokenKind::Identifier);
  EXPECT_EQ(TTokenizer::Classify("downTo"), TTokenKind::KwDownTo);
  EXPECT_EQ(TTokenizer::Classify("Downtown"), TTokenKind::Identifier);
}

TEST(Tokenizer, ParserInterfaceKeepsOneTokenOfLookahead)
{
  TTokenizer tokenizer("a := 1 b");
  EXPECT_EQ(tokenizer.TokenPos(), -1);
  EXPECT_TRUE(tokenizer.Is(TTokenKind::Identifier));
  EXPECT_EQ(tokenizer.TokenPos(), 1);
  EXPECT_TRUE(tokenizer.PeekIs(TTokenKind::Assign));
  EXPECT_EQ(tokenizer.TokenPos(), 1);  // PeekIs does not move TokenPos
  EXPECT_FALSE(tokenizer.Accept(TTokenKind::Assign));
  EXPECT_TRUE(tokenizer.Accept(TTokenKind::Identifier));
  EXPECT_TRUE(tokenizer.Is(TTokenKind::Assign));
  EXPECT_EQ(tokenizer.TokenPos(), 3);
  tokenizer.Advance();
  EXPECT_TRUE(tokenizer.Accept(TTokenKind::IntegerLit));
  EXPECT_TRUE(tokenizer.HasToken());
  EXPECT_EQ(tokenizer.Current()->Text, "B");
  tokenizer.Advance();
  EXPECT_FALSE(tokenizer.HasToken());
  EXPECT_FALSE(tokenizer.Is(TTokenKind::Identifier));
  EXPECT_EQ(tokenizer.TokenPos(), 6);  // HasToken and Advance do not set it
  try {
    tokenizer.Fail("THEN expected.");
    FAIL();
  } catch (const ESyntaxError& error) {
    EXPECT_STREQ(error.what(), "Syntaxerror: THEN expected. [Position 6]");
    EXPECT_EQ(error.Position(), 6);
  }
}

}  // namespace
}  // namespace quarn::script
