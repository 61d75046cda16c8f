#include "engine/TWTextCase.h"

#include "platform/TWDisplayText.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace {

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string asciiLowercase(std::string_view bytes) {
    std::string lowered(bytes);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

} // namespace

std::string lowercaseText(std::string_view bytes) {
    if (isAscii(bytes))
        return asciiLowercase(bytes);
    // ICU would turn invalid bytes into U+FFFD and lose them.
    if (!isValidUtf8(bytes))
        return asciiLowercase(bytes);
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())));
    std::string lowered;
    text.toLower(icu::Locale::getRoot()).toUTF8String(lowered);
    return lowered;
}
