#pragma once

#include <cstdint>
#include <string>

// The short size text of a byte count, in steps of 1024: "1 byte", "%d bytes", "%.2fkb",
// "%.2fmb" or "%.2fgb". Each unit's threshold is tested on the value already scaled for it,
// so one byte below a boundary reads 1024.00 of the smaller unit. Never translated.
std::string stringForFileSize(std::uint64_t byteCount);
