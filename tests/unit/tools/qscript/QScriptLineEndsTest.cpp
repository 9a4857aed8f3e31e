// qscript reads a script's lines whatever their line ends, and answers -h, -v and --version.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "QScript.h"

namespace quarn::qscript {
namespace {

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun RunQ(const std::vector<std::string>& args)
{
  std::ostringstream out, err;
  const int status = Main(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(QScriptLineEnds, ACommentEndsAtAnyLineEnd)
{
  const std::string name = ::testing::TempDir() + "qscript_line_ends.qs";
  for (const char* end : {"\n", "\r\n", "\r"}) {
    const std::string good = std::string("// a comment") + end + "Print('hi')" + end;
    const std::string bad = std::string("// a comment") + end + "Print('hi'" + end;
    std::ofstream(name, std::ios::binary | std::ios::trunc) << good;
    EXPECT_EQ(RunQ({name}).Out, "hi\n");
    EXPECT_EQ(RunQ({"-e", good}).Out, "hi\n");
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bad;
    EXPECT_EQ(RunQ({name}).Status, ExitScriptFailed);
    EXPECT_EQ(RunQ({"--check", name}).Status, ExitScriptFailed);
    EXPECT_EQ(RunQ({"-e", bad}).Status, ExitScriptFailed);
  }
  std::remove(name.c_str());
}

TEST(QScriptLineEnds, ShortHelpAndVersionOptions)
{
  EXPECT_EQ(RunQ({"-h"}).Out, RunQ({"--help"}).Out);
  for (const char* option : {"-v", "--version"}) {
    const TRun r = RunQ({option});
    EXPECT_EQ(r.Status, ExitSuccess);
    EXPECT_EQ(r.Out, "qscript 1.0\n");
  }
}

}  // namespace
}  // namespace quarn::qscript
