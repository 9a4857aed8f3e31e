#pragma once
#include <string>
#include <vector>

#include "convert/SkinImages.h"

namespace quarn::convert {

// `quarn --export ...`: writes a model as glTF without a window (args without the program's
// name). Returns the exit status: 0 done, 2 a bad option, 1 a model or skin that cannot be
// read, a model without frames or a file that cannot be written. Errors are one line on
// stderr; the sizes are a line on stdout.
int RunExportCommand(const std::vector<std::string>& args, const TSkinFinder& findSkin);

// Whether the arguments ask for --export.
bool WantsExport(int argc, char** argv);

}  // namespace quarn::convert
