#pragma once

#include <string>
#include <string_view>

// The lower-case form of a text with the full Unicode case mapping. Bytes that are not UTF-8
// are kept as they are, with only ASCII letters lowered.
std::string lowercaseText(std::string_view bytes);
