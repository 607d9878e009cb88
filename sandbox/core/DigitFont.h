#pragma once

// A 5 x 7 bitmap font of the ten digits, drawn into the verification picture.
class DigitFont
{
public:
    static constexpr int kWidth = 5;
    static constexpr int kHeight = 7;

    // True when the pixel at (x, y) of `digit` (0..9) is set.
    static bool pixel(int digit, int x, int y);
};
