// The state a caller sees after one frame: canvas indices, mask bits,
// palette, frame rectangle, control data and the frame call's result.
#pragma once

#include "pictor.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct FrameSnapshot {
    unsigned left = 0;
    unsigned top = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned result = 0;
    std::array<uint8_t, 6> control{};
    std::vector<uint8_t> canvas; // stride x screen height
    std::vector<uint8_t> mask;   // mask stride x screen height
    std::array<PictorColor, 256> palette{};
    unsigned colorCount = 0;
};

// The first difference between two snapshot sequences, empty when equal.
std::string compareSnapshots(const std::vector<FrameSnapshot> &expected, const std::vector<FrameSnapshot> &actual);

// Every frame of a GIF decoded with Pictor through GifParseControl.
std::vector<FrameSnapshot> pictorSnapshots(const std::vector<uint8_t> &gif);
