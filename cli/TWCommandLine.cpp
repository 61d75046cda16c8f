#include "cli/TWCommandLine.h"

#include "engine/TWSearchSettings.h"

#include <charconv>
#include <limits>

namespace {

// An empty entry (from a trailing or doubled comma) is left out: it would stand for "no
// extension" and quietly take in, or leave out, every file that has none.
TWParamValue::List splitList(const std::string& text) {
    TWParamValue::List entries;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma > start)
            entries.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return entries;
}

// False when the list names nothing.
bool setFilterList(TWSearchParams& params, const char* key, bool exclude, const std::string& list) {
    TWParamValue::List entries = splitList(list);
    if (entries.empty())
        return false;
    params[key] = TWParamValue::List{exclude ? TWParamKey::kExclude : TWParamKey::kInclude,
                                     std::move(entries)};
    return true;
}

} // namespace

std::optional<std::uint64_t> parseSizeOption(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t multiplier = 1;
    std::string digits = text;
    switch (digits.back()) {
    case 'k': case 'K': multiplier = 1ull << 10; break;
    case 'm': case 'M': multiplier = 1ull << 20; break;
    case 'g': case 'G': multiplier = 1ull << 30; break;
    default: break;
    }
    if (multiplier != 1)
        digits.pop_back();
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (value > kLimit / multiplier)
        return std::nullopt;
    return value * multiplier;
}

TWCommandLineResult parseCommandLine(const std::vector<std::string>& arguments) {
    TWCommandLineOptions options;
    TWParamValue::List sizeFilter;
    bool anyCriterion = false;
    bool optionsEnded = false;
    auto fail = [](std::string message) { return TWCommandLineResult{std::nullopt, message}; };

    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.startPaths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::size_t equals = argument.find('=');
        std::string name = argument.substr(0, equals);
        bool hasValue = equals != std::string::npos;
        std::string value = hasValue ? argument.substr(equals + 1) : std::string();
        auto flag = [&](const char* key) {
            options.params[key] = "";
            return !hasValue;
        };
        bool ok = true;
        if (name == "--names") {
            if (value == "exact")
                options.params[TWParamKey::kNamesMatch] = TWParamKey::kExact;
            else if (value == "similar")
                options.params[TWParamKey::kNamesMatch] = TWParamKey::kSimilar;
            else
                return fail("--names takes exact or similar: '" + argument + "'");
            anyCriterion = true;
        } else if (name == "--sizes") {
            ok = flag(TWParamKey::kSizesMatch), anyCriterion = true;
        } else if (name == "--contents") {
            ok = flag(TWParamKey::kContentsMatch), anyCriterion = true;
        } else if (name == "--created") {
            ok = flag(TWParamKey::kCreatedMatch), anyCriterion = true;
        } else if (name == "--modified") {
            ok = flag(TWParamKey::kModifiedMatch), anyCriterion = true;
        } else if (name == "--type") {
            ok = flag(TWParamKey::kHFSTypeMatch), anyCriterion = true;
        } else if (name == "--creator") {
            ok = flag(TWParamKey::kHFSCreatorMatch), anyCriterion = true;
        } else if (name == "--extension") {
            ok = flag(TWParamKey::kExtensionMatch), anyCriterion = true;
        } else if (name == "--resource-forks") {
            ok = flag(TWParamKey::kExamineResourceForks);
        } else if (name == "--skip-invisible") {
            ok = flag(TWParamKey::kInvisiblesFilter);
        } else if (name == "--packages-as-files") {
            ok = flag(TWParamKey::kPackageContentsFilter);
        } else if (name == "--skip-links") {
            ok = flag(TWParamKey::kSymLinkAliasFilter);
        } else if (name == "--min-size" || name == "--max-size") {
            auto bound = hasValue ? parseSizeOption(value) : std::nullopt;
            if (!bound)
                return fail(name + " takes a whole number of bytes with an optional k, m or g: '" +
                            argument + "'");
            // Files smaller than the minimum and larger than the maximum are left out.
            sizeFilter.emplace_back(name == "--min-size" ? TWParamKey::kLessThan
                                                         : TWParamKey::kGreaterThan);
            sizeFilter.emplace_back(*bound);
        } else if (name == "--include-ext" || name == "--exclude-ext") {
            if (!hasValue || !setFilterList(options.params, TWParamKey::kExtensionFilter,
                                            name == "--exclude-ext", value))
                return fail(name + " takes a comma-separated list: '" + argument + "'");
        } else if (name == "--include-type" || name == "--exclude-type") {
            if (!hasValue || !setFilterList(options.params, TWParamKey::kHFSTypeFilter,
                                            name == "--exclude-type", value))
                return fail(name + " takes a comma-separated list: '" + argument + "'");
        } else if (name == "--include-creator" || name == "--exclude-creator") {
            if (!hasValue || !setFilterList(options.params, TWParamKey::kHFSCreatorFilter,
                                            name == "--exclude-creator", value))
                return fail(name + " takes a comma-separated list: '" + argument + "'");
        } else if (name == "--readers") {
            unsigned readers = 0;
            auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), readers);
            if (!hasValue || error != std::errc() || end != value.data() + value.size() ||
                readers < 1 || readers > 64)
                return fail("--readers takes a number from 1 to 64: '" + argument + "'");
            options.readers = readers;
        } else if (name == "--read-order") {
            if (value == "folder")
                options.readOrder = TWContentsReadOrder::folder;
            else if (value == "inode")
                options.readOrder = TWContentsReadOrder::inode;
            else if (value == "physical")
                options.readOrder = TWContentsReadOrder::physical;
            else if (value == "listing")
                options.readOrder = TWContentsReadOrder::listing;
            else
                return fail("--read-order takes folder, inode, physical or listing: '" +
                            argument + "'");
        } else if (name == "--summary") {
            options.summary = true, ok = !hasValue;
        } else if (name == "--json") {
            options.output = TWCommandLineOptions::Output::json, ok = !hasValue;
        } else if (name == "-0" || name == "--null") {
            options.output = TWCommandLineOptions::Output::nulSeparated, ok = !hasValue;
        } else if (name == "--help" || name == "-h") {
            options.showHelp = true;
        } else if (name == "--version") {
            options.showVersion = true;
        } else {
            return fail("unknown option '" + argument + "' (see --help)");
        }
        if (!ok)
            return fail(name + " takes no value: '" + argument + "'");
    }

    options.searchOptionsGiven = !options.params.empty() || !sizeFilter.empty();
    if (!sizeFilter.empty())
        options.params[TWParamKey::kSizeFilter] = sizeFilter;
    if (!anyCriterion)
        options.params[TWParamKey::kContentsMatch] = "";
    return {options, {}};
}

std::string commandLineHelp() {
    return R"HELP(Usage: twinfind [options] [FOLDER...]
Finds duplicate files below the folders (the home folder when none is given) and prints
each group of duplicates, largest group first, one path per line, a blank line after each
group.

What makes two files duplicates (any combination; identical contents when none is given):
  --names=exact          identical names (without extension, case-sensitive)
  --names=similar        similar names (copy markers, digits, spaces, case and symbols ignored)
  --sizes                equal sizes
  --contents             identical contents, byte for byte (implies equal sizes); a
                         symbolic link's contents are its target text, a package's the
                         relative paths and contents of everything inside it
  --created              creation dates in the same second
  --modified             modification dates in the same second
  --type                 equal type codes
  --creator              equal creator codes
  --extension            equal extensions (ignoring case)
  --resource-forks       also compare resource forks (sizes, and contents with --contents)

What to leave out:
  --skip-invisible       invisible files and folders (name begins with a period, listed in
                         the folder's .hidden file, or flagged invisible)
  --packages-as-files    treat packages (app bundles and the like) as single files
  --skip-links           symbolic links and alias files
  --min-size=SIZE        files smaller than SIZE bytes (suffix k, m or g: steps of 1024)
  --max-size=SIZE        files larger than SIZE bytes
  --include-ext=LIST     only files with these extensions (comma-separated, as typed, no dot)
  --exclude-ext=LIST     files with these extensions
  --include-type=LIST    only files with these type codes
  --exclude-type=LIST    files with these type codes
  --include-creator=LIST only files with these creator codes
  --exclude-creator=LIST files with these creator codes

Reading:
  --readers=N            read contents with N threads (1 to 64; by default 4 per core,
                         4 to 8, and 1 for a spinning disk that is not a virtual one)
  --read-order=ORDER     the order files are read in: folder (the default: folder by
                         folder, by inode within), inode, physical (by position on the
                         disk) or listing (as found)

Output:
  --summary              a line "N like 'NAME' (SIZE)" before each group
  --json                 one JSON array of groups, each an array of paths
  -0, --null             end each path with NUL and each group with another NUL
  -h, --help             this text
  --version              the version

The closing status line and, on a terminal, progress lines go to standard error.
)HELP";
}
