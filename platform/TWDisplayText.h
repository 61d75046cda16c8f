#pragma once

#include <string>
#include <string_view>

// File names are bytes. For display (and nothing else) they are read as UTF-8, each byte
// that is not part of a valid UTF-8 sequence becoming U+FFFD.
std::string displayTextForBytes(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);
