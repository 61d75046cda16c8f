#include "engine/TWSimilarName.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace {

constexpr std::u16string_view kCopyOfMarker = u"copy of";
constexpr std::u16string_view kCopyMarker = u"copy";

// A Linux file name is at most 255 bytes, which never decode to more than 255 code units, so
// real names are worked on without touching the heap.
constexpr std::size_t kInlineUnits = 256;

// Upper-casing runs over slices of the text so that its output fits a fixed buffer: under the
// full case mapping one code unit becomes at most three (U+0390, U+FB03), and a surrogate pair
// at most two.
constexpr std::size_t kUpperSliceUnits = 256;
constexpr std::size_t kUpperUnitsPerUnit = 3;

// The marker letters are ASCII lower case. Simple case folding brings a code unit to one of
// them (c, o, p, y, f) or to the space only from that character or its ASCII capital: the
// Kelvin sign and the long s fold to k and s, fullwidth letters fold to fullwidth letters, and
// neither dotted nor dotless i takes part. Comparing ASCII case-insensitively is therefore
// exactly comparing simply folded code units, without a call into ICU per unit.
bool markerStartsAt(const char16_t* units, std::size_t length, std::size_t at,
                    std::u16string_view marker) {
    if (length - at < marker.size()) {
        return false;
    }
    for (std::size_t k = 0; k < marker.size(); ++k) {
        char16_t unit = units[at + k];
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit + (u'a' - u'A'));
        }
        if (unit != marker[k]) {
            return false;
        }
    }
    return true;
}

// Matching always looks at text not yet touched by this scan, so two pieces joined by a
// removal never form a match. Works in place; returns the new length.
std::size_t removeMarker(char16_t* units, std::size_t length, std::u16string_view marker) {
    std::size_t kept = 0;
    std::size_t at = 0;
    while (at < length) {
        if (markerStartsAt(units, length, at, marker)) {
            at += marker.size();
        } else {
            units[kept++] = units[at++];
        }
    }
    return kept;
}

// A kept unit is never a surrogate half (those are Cs), so each is a whole code point.
void appendUtf8(std::string& out, char16_t unit) {
    if (unit < 0x80) {
        out.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
}

void appendKept(std::string& out, const char16_t* units, std::size_t length,
                const TWSimilarNameCharacterSet& keptSet) {
    for (std::size_t i = 0; i < length; ++i) {
        if (keptSet.contains(units[i])) {
            appendUtf8(out, units[i]);
        }
    }
}

// In the root locale upper-casing has no context rules (those belong to Turkish, Lithuanian
// and Greek), so slices cut between code points give the same text as one call on the whole.
void appendKeptUpperCase(std::string& out, const char16_t* units, std::size_t length,
                         const TWSimilarNameCharacterSet& keptSet) {
    std::array<char16_t, kUpperSliceUnits * kUpperUnitsPerUnit> upper;
    std::size_t at = 0;
    while (at < length) {
        std::size_t sliceLength = std::min(kUpperSliceUnits, length - at);
        if (at + sliceLength < length && U16_IS_LEAD(units[at + sliceLength - 1])) {
            --sliceLength;
        }
        const char16_t* slice = units + at;
        UErrorCode status = U_ZERO_ERROR;
        const int32_t upperLength =
            u_strToUpper(upper.data(), static_cast<int32_t>(upper.size()), slice,
                         static_cast<int32_t>(sliceLength), "", &status);
        if (U_SUCCESS(status)) {
            appendKept(out, upper.data(), static_cast<std::size_t>(upperLength), keptSet);
        } else if (status == U_BUFFER_OVERFLOW_ERROR) {
            // Only if a future Unicode version lets a mapping grow further.
            std::u16string grown(static_cast<std::size_t>(upperLength), u'\0');
            status = U_ZERO_ERROR;
            u_strToUpper(grown.data(), upperLength, slice, static_cast<int32_t>(sliceLength), "",
                         &status);
            appendKept(out, grown.data(), U_SUCCESS(status) ? grown.size() : 0, keptSet);
        }
        at += sliceLength;
    }
}

} // namespace

std::string similarNameForName(std::string_view name) {
    const TWSimilarNameCharacterSet& keptSet = similarNameCharacterSet();

    std::array<char16_t, kInlineUnits> inlineUnits;
    std::unique_ptr<char16_t[]> heapUnits;
    char16_t* units = inlineUnits.data();
    if (name.size() > inlineUnits.size()) {
        heapUnits = std::make_unique_for_overwrite<char16_t[]>(name.size());
        units = heapUnits.get();
    }

    // Each ill-formed sequence becomes one U+FFFD. It is never kept, but it does stand between
    // its neighbours, so a marker cannot be made out of letters around a bad byte.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(name.data());
    const std::size_t byteCount = name.size();
    std::size_t length = 0;
    bool asciiOnly = true;
    for (std::size_t i = 0; i < byteCount;) {
        UChar32 c;
        U8_NEXT_OR_FFFD(bytes, i, byteCount, c);
        if (c >= 0x80) {
            asciiOnly = false;
        }
        if (U_IS_BMP(c)) {
            units[length++] = static_cast<char16_t>(c);
        } else {
            units[length++] = U16_LEAD(c);
            units[length++] = U16_TRAIL(c);
        }
    }

    // Names are compared in their decomposed form, as a Mac volume stores them, so that a name
    // typed here and the same name copied from a Mac fall together: an accent becomes a
    // combining mark (dropped below) after its letter.
    std::u16string decomposed;
    if (!asciiOnly) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
        icu::UnicodeString normalized;
        if (U_SUCCESS(status))
            nfd->normalize(icu::UnicodeString(false, units, static_cast<int32_t>(length)),
                           normalized, status);
        if (U_SUCCESS(status)) {
            decomposed.assign(normalized.getBuffer(),
                              static_cast<std::size_t>(normalized.length()));
            units = decomposed.data();
            length = decomposed.size();
        }
    }

    length = removeMarker(units, length, kCopyOfMarker);
    length = removeMarker(units, length, kCopyMarker);

    std::string result;
    if (asciiOnly) {
        // ASCII upper-cases to ASCII, one to one, in the root locale.
        result.reserve(length);
        for (std::size_t i = 0; i < length; ++i) {
            char16_t unit = units[i];
            if (unit >= u'a' && unit <= u'z') {
                unit = static_cast<char16_t>(unit - (u'a' - u'A'));
            }
            if (keptSet.contains(unit)) {
                result.push_back(static_cast<char>(unit));
            }
        }
    } else {
        // The input's byte count: the kept part of the upper-cased text is rarely longer in
        // UTF-8, since upper-casing seldom grows a character's encoding and much is dropped.
        result.reserve(byteCount);
        appendKeptUpperCase(result, units, length, keptSet);
    }
    return result;
}

const TWSimilarNameCharacterSet& similarNameCharacterSet() {
    static const TWSimilarNameCharacterSet set;
    return set;
}

TWSimilarNameCharacterSet::TWSimilarNameCharacterSet() {
    constexpr std::uint32_t keptCategories = U_GC_LU_MASK | U_GC_LT_MASK | U_GC_PC_MASK |
                                             U_GC_PD_MASK | U_GC_PS_MASK | U_GC_PE_MASK |
                                             U_GC_PI_MASK | U_GC_PF_MASK | U_GC_PO_MASK;
    for (UChar32 c = 0; c < 0x10000; ++c) {
        if (U_GET_GC_MASK(c) & keptCategories) {
            bits_[c >> 3] = static_cast<unsigned char>(bits_[c >> 3] | (1u << (c & 7)));
        }
    }
}

bool TWSimilarNameCharacterSet::contains(char16_t codeUnit) const {
    return (bits_[codeUnit >> 3] >> (codeUnit & 7)) & 1u;
}
