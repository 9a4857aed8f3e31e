#pragma once
#include <string>
#include <vector>

namespace quarn::sprites {

// `quarn --render ...`: renders sprites without a window (args without the program's name).
// Returns the exit status: 0 done, 2 a bad option, 1 a model or skin that cannot be read or
// a file that cannot be written. Errors are one line on stderr; a progress line is kept on
// stderr when it is a terminal. Each model's skin is told there too, as the viewer tells it:
// "Skin FILE on MODEL", or that none was found and every name tried.
int RunRenderCommand(const std::vector<std::string>& args);

// Whether the arguments ask for --render.
bool WantsRender(int argc, char** argv);

}  // namespace quarn::sprites
