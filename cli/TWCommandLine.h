#pragma once

#include "engine/TWContentsPassOptions.h"
#include "engine/TWParamValue.h"

#include <optional>
#include <string>
#include <vector>

// What the command line asks for: the same parameter dictionary the setup views build, the
// start folders, and how to print the result.
struct TWCommandLineOptions {
    enum class Output { plain, json, nulSeparated };

    std::vector<std::string> startPaths; // raw bytes as given
    TWSearchParams params;
    Output output = Output::plain;
    bool summary = false;
    bool showHelp = false;
    bool showVersion = false;
    bool searchOptionsGiven = false; // any criterion or filter was named
    unsigned readers = 0; // 0: chosen by the contents pass
    std::optional<TWContentsReadOrder> readOrder; // nothing: the pass's default
};

struct TWCommandLineResult {
    std::optional<TWCommandLineOptions> options;
    std::string error; // one line naming the bad option, when options is empty
};

TWCommandLineResult parseCommandLine(const std::vector<std::string>& arguments);

// "N", "Nk", "Nm" or "Ng" (steps of 1024, either case); nothing when malformed or too large
// for a signed 64-bit byte count.
std::optional<std::uint64_t> parseSizeOption(const std::string& text);

std::string commandLineHelp();
