#include "engine/TWSearchSettings.h"

namespace {

std::vector<std::string> textsOf(const TWParamValue& value) {
    std::vector<std::string> texts;
    for (const TWParamValue& element : value.list())
        if (element.isText())
            texts.push_back(element.text());
    return texts;
}

// A type or creator entry between single quotes, as the file's code text is.
std::vector<std::string> quotedCodes(const std::vector<std::string>& list) {
    std::vector<std::string> codes;
    codes.reserve(list.size());
    for (std::string entry : list) {
        if (entry.empty() || entry.front() != '\'')
            entry.insert(entry.begin(), '\'');
        if (entry.back() != '\'')
            entry.push_back('\'');
        codes.push_back(std::move(entry));
    }
    return codes;
}

// A filter list is the mode text and the list of entries; true when it has that shape.
bool readFilterList(const TWSearchParams& params, const char* key, bool& exclude,
                    std::vector<std::string>& entries) {
    auto found = params.find(key);
    if (found == params.end() || !found->second.isList())
        return false;
    const TWParamValue::List& list = found->second.list();
    if (list.size() < 2)
        return false;
    exclude = list[0].isText(TWParamKey::kExclude);
    entries = textsOf(list[1]);
    return true;
}

} // namespace

void TWSearchSettings::readParamDict(const TWSearchParams& params) {
    auto has = [&](const char* key) { return params.count(key) != 0; };

    if (auto names = params.find(TWParamKey::kNamesMatch); names != params.end()) {
        if (names->second.isText(TWParamKey::kExact))
            matchExactNames = true;
        if (names->second.isText(TWParamKey::kSimilar))
            matchSimilarNames = true;
    }
    if (has(TWParamKey::kContentsMatch))
        matchSizes = matchContents = true;
    if (has(TWParamKey::kSizesMatch))
        matchSizes = true;
    if (has(TWParamKey::kCreatedMatch))
        matchCreated = true;
    if (has(TWParamKey::kModifiedMatch))
        matchModified = true;
    if (has(TWParamKey::kHFSTypeMatch))
        matchHFSType = true;
    if (has(TWParamKey::kHFSCreatorMatch))
        matchHFSCreator = true;
    if (has(TWParamKey::kExtensionMatch))
        matchExtension = true;
    if (has(TWParamKey::kPackageContentsFilter))
        willTreatPackagesAsFiles = true;
    if (has(TWParamKey::kInvisiblesFilter))
        willIgnoreInvisibles = true;
    if (has(TWParamKey::kSymLinkAliasFilter))
        willFilterSymLinksAndAliases = true;
    if (has(TWParamKey::kExamineResourceForks))
        matchResourceFork = true;

    if (auto sizes = params.find(TWParamKey::kSizeFilter);
        sizes != params.end() && sizes->second.isList() && sizes->second.list().size() % 2 == 0) {
        const TWParamValue::List& list = sizes->second.list();
        for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
            // A bound that is no number would read as 0 and leave out every file that is not
            // empty; the pair is passed over instead.
            if (!list[i + 1].isNumber())
                continue;
            // The bound is a 64-bit integer that stands for an unsigned byte count.
            auto bound = static_cast<std::uint64_t>(list[i + 1].number());
            if (list[i].isText(TWParamKey::kLessThan)) {
                willFilterSizesLessThan = true;
                minimumSize = bound;
            } else if (list[i].isText(TWParamKey::kGreaterThan)) {
                willFilterSizesGreaterThan = true;
                maximumSize = bound;
            }
        }
    }

    std::vector<std::string> entries;
    bool exclude = false;
    if (readFilterList(params, TWParamKey::kExtensionFilter, exclude, entries)) {
        willFilterExtensions = true;
        excludeExtensions = exclude;
        setExtensions(entries);
    }
    if (readFilterList(params, TWParamKey::kHFSTypeFilter, exclude, entries)) {
        willFilterTypes = true;
        excludeTypes = exclude;
        setHFSTypes(entries);
    }
    if (readFilterList(params, TWParamKey::kHFSCreatorFilter, exclude, entries)) {
        willFilterCreators = true;
        excludeCreators = exclude;
        setHFSCreators(entries);
    }
}

void TWSearchSettings::setExtensions(const std::vector<std::string>& list) {
    extensions = list;
    willFilterExtensions = !extensions.empty();
}

void TWSearchSettings::setHFSTypes(const std::vector<std::string>& list) {
    hfsTypes = quotedCodes(list);
    willFilterTypes = !hfsTypes.empty();
}

void TWSearchSettings::setHFSCreators(const std::vector<std::string>& list) {
    hfsCreators = quotedCodes(list);
    willFilterCreators = !hfsCreators.empty();
}
