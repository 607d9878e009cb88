// Encodes a GifSpec with giflib's encoder.
#pragma once

#include "GifSpec.h"

#include <vector>

// The encoded file; empty when giflib refuses the description.
std::vector<uint8_t> encodeWithGiflib(const GifSpec &spec);
