#include "platform/TWDisplayText.h"

#include <cstdint>

namespace {

// Length of the valid UTF-8 sequence at the start of `bytes`, or 0 when it is not one.
std::size_t validSequenceLength(std::string_view bytes) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length;
    std::uint32_t min;
    std::uint32_t cp;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t length = validSequenceLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::string displayTextForBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        std::size_t length = validSequenceLength(bytes);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            length = 1;
        } else {
            text.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    return text;
}
