// Arbitrary bytes as a search parameter dictionary, read into fresh search settings. The
// bytes are decoded as tag-length-value entries: a key, then its value, which may be a text,
// a number or a list nested a few levels deep. A tag can also name one of the dictionary's
// own key and value texts, so that most inputs reach the reader's real paths.

#include "engine/TWParamValue.h"
#include "engine/TWSearchSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

namespace {

constexpr const char* kKnownTexts[] = {
    TWParamKey::kContentsMatch,      TWParamKey::kSizesMatch,
    TWParamKey::kCreatedMatch,       TWParamKey::kModifiedMatch,
    TWParamKey::kHFSTypeMatch,       TWParamKey::kHFSCreatorMatch,
    TWParamKey::kExtensionMatch,     TWParamKey::kPackageContentsFilter,
    TWParamKey::kInvisiblesFilter,   TWParamKey::kSymLinkAliasFilter,
    TWParamKey::kExamineResourceForks, TWParamKey::kNamesMatch,
    TWParamKey::kExact,              TWParamKey::kSimilar,
    TWParamKey::kSizeFilter,         TWParamKey::kLessThan,
    TWParamKey::kGreaterThan,        TWParamKey::kExtensionFilter,
    TWParamKey::kHFSTypeFilter,      TWParamKey::kHFSCreatorFilter,
    TWParamKey::kExclude,            TWParamKey::kInclude,
    "", "'", "TEXT", "'PICT", "jpg",
};
constexpr std::size_t kKnownCount = sizeof kKnownTexts / sizeof kKnownTexts[0];
constexpr int kMaxDepth = 4;

void check(bool condition) {
    if (!condition)
        std::abort();
}

class Decoder {
public:
    explicit Decoder(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool atEnd() const { return bytes_.empty(); }

    std::uint8_t byte() {
        if (bytes_.empty())
            return 0;
        std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }

    std::string text() {
        std::size_t length = std::min<std::size_t>(byte(), bytes_.size());
        std::string result(reinterpret_cast<const char*>(bytes_.data()), length);
        bytes_ = bytes_.subspan(length);
        return result;
    }

    std::string key() {
        std::uint8_t tag = byte();
        if (tag & 1)
            return kKnownTexts[(tag >> 1) % kKnownCount];
        return text();
    }

    TWParamValue value(int depth) {
        std::uint8_t tag = byte();
        switch (tag % 4) {
        case 0:
            return TWParamValue(text());
        case 1: {
            std::uint64_t number = 0;
            for (int i = 0; i < 8; ++i)
                number = (number << 8) | byte();
            return TWParamValue(number);
        }
        case 2: {
            TWParamValue::List list;
            if (depth < kMaxDepth) {
                std::size_t count = (tag >> 2) % 8;
                for (std::size_t i = 0; i < count && !atEnd(); ++i)
                    list.push_back(value(depth + 1));
            }
            return TWParamValue(std::move(list));
        }
        default:
            return TWParamValue(kKnownTexts[(tag >> 2) % kKnownCount]);
        }
    }

private:
    std::span<const std::uint8_t> bytes_;
};

bool isQuoted(const std::string& code) {
    return !code.empty() && code.front() == '\'' && code.back() == '\'';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Decoder decoder(std::span<const std::uint8_t>(data, size));
    TWSearchParams params;
    while (!decoder.atEnd()) {
        std::string key = decoder.key();
        params[key] = decoder.value(0);
    }

    TWSearchSettings settings;
    settings.readParamDict(params);

    // What the search relies on, whatever the dictionary held.
    check(!(settings.matchExactNames && settings.matchSimilarNames));
    check(!settings.matchContents || settings.matchSizes);
    check(settings.willFilterExtensions == !settings.extensions.empty());
    check(settings.willFilterTypes == !settings.hfsTypes.empty());
    check(settings.willFilterCreators == !settings.hfsCreators.empty());
    for (const std::string& code : settings.hfsTypes)
        check(isQuoted(code));
    for (const std::string& code : settings.hfsCreators)
        check(isQuoted(code));
    check(settings.willFilterSizesLessThan || settings.minimumSize == 0);
    check(settings.willFilterSizesGreaterThan || settings.maximumSize == 0);

    // Reading is a function of the dictionary: a second reader sees the same settings.
    TWSearchSettings again;
    again.readParamDict(params);
    check(again.extensions == settings.extensions && again.hfsTypes == settings.hfsTypes &&
          again.hfsCreators == settings.hfsCreators && again.minimumSize == settings.minimumSize &&
          again.maximumSize == settings.maximumSize &&
          again.willFilterSizesGreaterThan == settings.willFilterSizesGreaterThan);
    return 0;
}
