#pragma once
#include <string>
#include <vector>

namespace quarn::convert {

// `quarn --import ...`: writes an MD2 model made from a glTF file without a window (args
// without the program's name). Returns the exit status: 0 done, 2 a bad option, 1 a file that
// cannot be read or imported or a model that cannot be written (one line on stderr, and no
// file left). Notes go to stderr; the sizes and the precision are a line on stdout.
int RunImportCommand(const std::vector<std::string>& args);

// Whether the arguments ask for --import.
bool WantsImport(int argc, char** argv);

}  // namespace quarn::convert
