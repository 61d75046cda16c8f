#pragma once

#include "engine/TWParamValue.h"

#include <cstdint>
#include <string>
#include <vector>

// The settings of one search, read once from its parameter dictionary and fixed for the life
// of its controller. Every flag starts off and reading only turns flags on, so reading one
// dictionary into fresh settings gives exactly what the dictionary names.
struct TWSearchSettings {
    // Filters.
    bool willTreatPackagesAsFiles = false;
    bool willIgnoreInvisibles = false;
    bool willFilterSymLinksAndAliases = false;
    bool willFilterSizesLessThan = false;
    bool willFilterSizesGreaterThan = false;
    bool willFilterExtensions = false;
    bool willFilterTypes = false;
    bool willFilterCreators = false;
    bool excludeExtensions = false;
    bool excludeTypes = false;
    bool excludeCreators = false;
    // Criteria.
    bool matchModified = false;
    bool matchHFSType = false;
    bool matchHFSCreator = false;
    bool matchExtension = false;
    bool matchExactNames = false;
    bool matchSimilarNames = false;
    bool matchSizes = false;
    bool matchCreated = false;
    bool matchContents = false;
    bool matchResourceFork = false;

    std::vector<std::string> extensions;  // compared as stored
    std::vector<std::string> hfsTypes;    // each between single quotes
    std::vector<std::string> hfsCreators; // each between single quotes
    std::uint64_t minimumSize = 0;
    std::uint64_t maximumSize = 0;

    // Sets the settings that the dictionary's keys name. A size list of odd length, a filter
    // list with fewer than two elements and values of the wrong kind are ignored as a whole.
    void readParamDict(const TWSearchParams& params);

    void setExtensions(const std::vector<std::string>& list);
    void setHFSTypes(const std::vector<std::string>& list);
    void setHFSCreators(const std::vector<std::string>& list);
};

// The dictionary's keys and fixed values.
namespace TWParamKey {
inline constexpr const char* kContentsMatch = "TWContentsMatch";
inline constexpr const char* kSizesMatch = "TWSizesMatch";
inline constexpr const char* kCreatedMatch = "TWCreatedMatch";
inline constexpr const char* kModifiedMatch = "TWModifiedMatch";
inline constexpr const char* kHFSTypeMatch = "TWHFSTypeMatch";
inline constexpr const char* kHFSCreatorMatch = "TWHFSCreatorMatch";
inline constexpr const char* kExtensionMatch = "TWExtensionMatch";
inline constexpr const char* kPackageContentsFilter = "TWPackageContentsFilter";
inline constexpr const char* kInvisiblesFilter = "TWInvisiblesFilter";
inline constexpr const char* kSymLinkAliasFilter = "TWSymLinkAliasFilter";
inline constexpr const char* kExamineResourceForks = "TWExamineResourceForks";
inline constexpr const char* kNamesMatch = "TWNamesMatch";
inline constexpr const char* kExact = "TWExact";
inline constexpr const char* kSimilar = "TWSimilar";
inline constexpr const char* kSizeFilter = "TWSizeFilter";
inline constexpr const char* kLessThan = "TWLessThan";
inline constexpr const char* kGreaterThan = "TWGreaterThan";
inline constexpr const char* kExtensionFilter = "TWExtensionFilter";
inline constexpr const char* kHFSTypeFilter = "TWHFSTypeFilter";
inline constexpr const char* kHFSCreatorFilter = "TWHFSCreatorFilter";
inline constexpr const char* kExclude = "TWExclude";
inline constexpr const char* kInclude = "TWInclude";
} // namespace TWParamKey
