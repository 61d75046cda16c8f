#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// A status line as the engine hands it to a front end: the English format, which is also the
// key under which a translation is looked up, and its arguments. The formats use %qu and %u
// (unsigned), %d and %ld (signed) and %@ (a text); %% is a percent sign.
struct TWStatusText {
    using Argument = std::variant<std::uint64_t, std::int64_t, std::string>;

    std::string format;
    std::vector<Argument> arguments;

    bool operator==(const TWStatusText&) const = default;

    // The English line.
    std::string text() const { return fill(format, arguments); }
    // `format` (for example a translation of this line's format) filled with the arguments
    // in order; a conversion without an argument stays as written.
    static std::string fill(const std::string& format, const std::vector<Argument>& arguments);
};

// The status formats of a search.
namespace TWStatusFormat {
inline constexpr const char* kSearching = "Searching...";
inline constexpr const char* kCleaningUp = "Cleaning up...";
inline constexpr const char* kFoundMatches = "Found %qu matches in %qu groups...";
inline constexpr const char* kFoundPossibleMatches = "Found %qu possible matches in %qu groups...";
inline constexpr const char* kFindingContentMatches = "Finding exact content matches...";
inline constexpr const char* kCheckingFile = "Finding exact content matches...checking file %ld of %ld";
inline constexpr const char* kFoundSummary = "Found %d files in %d matching groups (%@).";
} // namespace TWStatusFormat
