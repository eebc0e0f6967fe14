#pragma once
// Reading and writing the pixels of a 32-bit bottom-up DIB section, top-down coordinates.
#include <windows.h>

#include <cstdint>
#include <vector>

struct Bgra {
    std::uint8_t b, g, r, a;
    bool operator==(const Bgra&) const = default;
};

inline Bgra DibPixel(HBITMAP bitmap, int x, int y) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return {};
    const int height = section.dsBm.bmHeight;
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const auto* pixel = bits + static_cast<std::size_t>(height - 1 - y) * section.dsBm.bmWidthBytes + x * 4;
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

inline void SetDibPixel(HBITMAP bitmap, POINT at, Bgra colour) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return;
    GdiFlush();
    auto* bits = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    auto* pixel = bits +
                  static_cast<std::size_t>(section.dsBm.bmHeight - 1 - at.y) * section.dsBm.bmWidthBytes +
                  at.x * 4;
    pixel[0] = colour.b;
    pixel[1] = colour.g;
    pixel[2] = colour.r;
    pixel[3] = colour.a;
}

inline std::vector<std::uint8_t> DibBytes(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return {};
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    return {bits, bits + static_cast<std::size_t>(section.dsBm.bmHeight) * section.dsBm.bmWidthBytes};
}
