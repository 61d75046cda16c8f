#pragma once

#include <string>
#include <string_view>

// The similar form of a file name (without its extension): copy markers removed ("copy of",
// then "copy", any letter case, one scan each), upper-cased with the full Unicode case
// mapping, and only upper-case letters (Lu, Lt) and punctuation (Pc, Pd, Ps, Pe, Pi, Pf, Po)
// kept, UTF-16 code unit by code unit. Two names are similar when their similar forms are
// equal.
//
// `name` is raw bytes; bytes that are not UTF-8 are decoded as U+FFFD, which is not kept. The
// result is UTF-8 and may be empty. Safe to call from any thread.
std::string similarNameForName(std::string_view name);

class TWSimilarNameCharacterSet;

// The kept-character set, built once on first use (safely when several threads ask at the
// same moment) and shared, unchanged, for the life of the process.
const TWSimilarNameCharacterSet& similarNameCharacterSet();

class TWSimilarNameCharacterSet {
public:
    bool contains(char16_t codeUnit) const;

private:
    friend const TWSimilarNameCharacterSet& similarNameCharacterSet();
    TWSimilarNameCharacterSet();
    // One bit per BMP code unit: 8 KiB, answered without a call into ICU.
    unsigned char bits_[0x10000 / 8] = {};
};
