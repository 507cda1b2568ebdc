#include "DW_Resources.h"

bool dwImageResourceSize(const ucstring& name, int32_t& width, int32_t& height) {
    width = height = 0;
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!dwImageResource(name, data, size) || size < 24) return false;
    // The signature, then the IHDR chunk: length, "IHDR", width and height (big-endian).
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int i = 0; i < 8; ++i)
        if (data[i] != kSignature[i]) return false;
    if (data[12] != 'I' || data[13] != 'H' || data[14] != 'D' || data[15] != 'R') return false;
    auto be32 = [&](size_t at) {
        return static_cast<int32_t>((uint32_t(data[at]) << 24) | (uint32_t(data[at + 1]) << 16) |
                                    (uint32_t(data[at + 2]) << 8) | uint32_t(data[at + 3]));
    };
    width = be32(16);
    height = be32(20);
    return width > 0 && height > 0;
}
