#pragma once
#include <string>
#include <vector>

#include "convert/ExportOptions.h"
#include "convert/SkinImages.h"

namespace quarn::bots {
class TMD2;
}

namespace quarn::convert {

// `quarn --export ...`: writes a model as glTF without a window (args without the program's
// name). Returns the exit status: 0 done, 2 a bad option, 1 a model or skin that cannot be
// read, a model without frames or a file that cannot be written. Errors are one line on
// stderr; the sizes are a line on stdout.
int RunExportCommand(const std::vector<std::string>& args);

// Whether the arguments ask for --export.
bool WantsExport(int argc, char** argv);

// Writes loaded models to options.Out as the options say (their Model and Weapon are not
// read). Each model's skins: the one given in the options, else the one it wears, then every
// one the search finds. Returns 0 with `line` the sizes, or 1 with `line` the error; `notes`
// gets a line for each skin found that could not be read and was left out.
int ExportLoaded(const TExportOptions& options, const bots::TMD2& body, const bots::TMD2* weapon,
                 std::string& line, std::vector<std::string>& notes);

}  // namespace quarn::convert
