#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "images/Image.h"

namespace quarn::convert {

// Every skin model::FindSkin finds for the model at `modelPath`, each once: what each recorded
// name leads to (the first model::MaxSkinNames non-empty names, in order), then what the whole
// search finds when none of them does (an image named like the model beside it).
std::vector<std::string> FindSkins(const std::string& modelPath,
                                   const std::vector<std::string>& recordedNames);

// A skin image in any format the program reads, as PNG file contents: RGB, or RGBA when the
// program keeps the image's alpha. False with `reason` when it cannot be read or encoded.
bool SkinAsPng(const std::string& fileName, std::vector<uint8_t>& png, std::string& reason);
// A decoded image as PNG file contents, as SkinAsPng makes them.
bool ImageAsPng(const images::TImage& image, std::vector<uint8_t>& png, std::string& reason);

}  // namespace quarn::convert
