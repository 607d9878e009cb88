// Encodes a GifRecipe with giflib's encoder.
#pragma once

#include "GifRecipe.h"

#include <vector>

// The encoded file; empty when giflib refuses the description.
std::vector<uint8_t> encodeWithGiflib(const GifRecipe &recipe);
