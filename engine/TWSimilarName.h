#pragma once

#include <string>
#include <string_view>

// The similar form of a file name (without its extension): put in its canonical decomposed
// form (as Mac volumes store names, so "Café" typed here and "Café" copied from a Mac, with
// its accent as a combining mark, are the same), copy markers removed ("copy of",
// then "copy", one scan each over the text as it stood before that scan, so text joined by a
// removal is not matched again), upper-cased with the full Unicode case mapping of the root
// locale (a sharp s becomes SS), and only upper-case letters (Lu, Lt) and punctuation (Pc, Pd,
// Ps, Pe, Pi, Pf, Po) kept, UTF-16 code unit by code unit (so combining marks and both halves
// of a character outside the BMP are dropped). Two names are similar when their similar forms
// are equal.
//
// Markers match in any letter case under simple case folding per code unit, which for their
// letters is ASCII case-insensitivity: "COPY Of" is a marker, fullwidth or other look-alike
// letters are not.
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
