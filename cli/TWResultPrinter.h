#pragma once

#include "cli/TWCommandLine.h"
#include "model/TWDuplicateGroup.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Writes the groups of a finished search: one path per line and a blank line after each group
// (the format duplicate-finding scripts already read), optionally with the group's row text
// before it; or one JSON array of groups; or NUL-separated paths.
void printGroups(std::FILE* out, const std::vector<TWDuplicateGroupRef>& groups,
                 const TWCommandLineOptions& options);

// The row text of a group: "%d like '%@' (%@)" with its file count, its first file's name and
// its size text.
std::string groupRowText(TWDuplicateGroup& group);

// A JSON string for raw bytes. Valid UTF-8 is written as it is (with the escapes JSON needs);
// every byte that is not part of valid UTF-8 is written as the escape \udcXX (XX its value
// in hex), a lone low surrogate no real text holds, so the bytes can be restored exactly.
std::string jsonStringForBytes(std::string_view bytes);
