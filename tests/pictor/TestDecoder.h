// A decoder record over a GIF held by the test, and readable views of its
// canvas and mask.
#pragma once

#include "pictor.h"

#include <memory>
#include <string>
#include <vector>

class TestDecoder
{
public:
    explicit TestDecoder(std::vector<uint8_t> gif);

    GIFDECINFO *operator->() const { return m_record.get(); }
    GIFDECINFO *get() const { return m_record.get(); }
    bool opened() const { return m_opened; }

    // GifParseControl until the end mark; the number of frame calls.
    int walk();
    // Canvas rows as hexadecimal digits, one per pixel ('?' above 15).
    std::vector<std::string> rows() const;
    // Mask rows as '0' and '1'.
    std::vector<std::string> maskRows() const;
    uint8_t pixel(unsigned x, unsigned y) const;

private:
    std::vector<uint8_t> m_gif;
    std::unique_ptr<GIFDECINFO, decltype(&ReleaseDecoder)> m_record;
    bool m_opened = false;
};
