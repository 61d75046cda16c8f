#include "model/TWContentsDigest.h"

#include "platform/TWDirectoryWalker.h"
#include "platform/TWMacMetadata.h"

#include <xxhash.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

// One seed per kind, so that a link whose target text equals a file's bytes, or a package
// whose framing happens to equal a file, never shares that file's digest.
constexpr XXH64_hash_t kFileSeed = 0;
constexpr XXH64_hash_t kLinkSeed = 0x6c696e6b; // "link"
constexpr XXH64_hash_t kPackageSeed = 0x7061636b; // "pack"
constexpr XXH64_hash_t kForkSeed = 0x666f726b; // "fork"

TWContentsDigest digestOf(XXH128_hash_t hash) { return {hash.high64, hash.low64}; }

struct StateDeleter {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};
using State = std::unique_ptr<XXH3_state_t, StateDeleter>;

State newState(XXH64_hash_t seed) {
    State state(XXH3_createState());
    if (state)
        XXH3_128bits_reset_withSeed(state.get(), seed);
    return state;
}

void updateWithLength(XXH3_state_t* state, std::uint64_t length) {
    std::array<std::uint8_t, 8> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(length >> (8 * i));
    XXH3_128bits_update(state, bytes.data(), bytes.size());
}

TWContentsReader::Expected expectedOf(const TWFileSystemPath& node) {
    return {node.seenStat()->identity, node.seenStat()->size};
}

// Streams the pieces of a read into a hash state.
class StateFeeder final : public TWContentsReader::Consumer {
public:
    StateFeeder(XXH3_state_t* state, const std::function<bool()>& keepGoing)
        : state_(state), keepGoing_(keepGoing) {}
    bool consume(std::span<const std::uint8_t> piece) override {
        XXH3_128bits_update(state_, piece.data(), piece.size());
        return !keepGoing_ || keepGoing_();
    }

private:
    XXH3_state_t* state_;
    const std::function<bool()>& keepGoing_;
};

bool hashRange(TWContentsReader& reader, int fd, std::uint64_t offset, std::uint64_t length,
               XXH3_state_t* state, const std::function<bool()>& keepGoing, bool sequential) {
    StateFeeder feeder(state, keepGoing);
    return reader.readRange(fd, offset, length, feeder, sequential);
}

// A range that fits the buffer is hashed in one call, without a streaming state.
class OnePieceDigest final : public TWContentsReader::Consumer {
public:
    explicit OnePieceDigest(std::uint64_t length) : length_(length) {}
    bool consume(std::span<const std::uint8_t> piece) override {
        if (piece.size() != length_)
            return false; // a short read: the range is not there whole
        digest = digestOf(XXH3_128bits_withSeed(piece.data(), piece.size(), kFileSeed));
        return true;
    }
    std::optional<TWContentsDigest> digest;

private:
    std::uint64_t length_;
};

std::optional<TWContentsDigest> digestOfRange(TWContentsReader& reader, int fd,
                                              std::uint64_t offset, std::uint64_t length) {
    if (length == 0)
        return digestOf(XXH3_128bits_withSeed(nullptr, 0, kFileSeed));
    OnePieceDigest piece(length);
    if (!reader.readRange(fd, offset, length, piece))
        return std::nullopt;
    return piece.digest;
}

std::optional<TWContentsDigest> digestOfFile(TWItemLocation item,
                                             const TWContentsReader::Expected* expected,
                                             TWContentsReader& reader,
                                             const std::function<bool()>& keepGoing) {
    std::uint64_t size = 0;
    TWFileDescriptor fd = TWContentsReader::openRegularFile(item, expected, &size);
    State state = newState(kFileSeed);
    if (!fd || !state)
        return std::nullopt;
    if (!hashRange(reader, fd.get(), 0, size, state.get(), keepGoing, true))
        return std::nullopt;
    return digestOf(XXH3_128bits_digest(state.get()));
}

struct PackageItem {
    std::string relativePath;
    bool isLink = false;
    TWContentsReader::Expected seen; // as listed: a file swapped in since is not read
};

std::optional<TWContentsDigest> digestOfPackage(const TWFileSystemPath& node, TWItemLocation at,
                                                TWContentsReader& reader,
                                                const std::function<bool()>& keepGoing) {
    TWFileDescriptor folder(openFolderAt(at.directoryFd, at.name));
    auto seen = TWStatSnapshot::ofDescriptor(folder.get());
    if (!folder || !seen || seen->identity != node.seenStat()->identity)
        return std::nullopt;

    std::vector<PackageItem> items;
    bool hasSpecialFile = false;
    TWWalkOptions options;
    walkOpenFolder(folder.get(), TWPathChain::root(std::string()), options,
                   [&](const TWWalkEntry& entry) {
                       if (entry.stat.isDirectory())
                           return TWWalkAction::enter;
                       if (!entry.stat.isRegularFile() && !entry.stat.isSymbolicLink()) {
                           hasSpecialFile = true;
                           return TWWalkAction::stop;
                       }
                       std::string relative = entry.folder.path()->pathOf(entry.name);
                       if (!relative.empty() && relative[0] == '/')
                           relative.erase(0, 1);
                       items.push_back({std::move(relative), entry.stat.isSymbolicLink(),
                                        {entry.stat.identity, entry.stat.size}});
                       return TWWalkAction::skip;
                   });
    if (hasSpecialFile)
        return std::nullopt;
    std::sort(items.begin(), items.end(), [](const PackageItem& a, const PackageItem& b) {
        return a.relativePath < b.relativePath;
    });

    // Each item is framed by its kind and lengths, so no two different packages give the
    // same stream of bytes.
    State state = newState(kPackageSeed);
    if (!state)
        return std::nullopt;
    for (const PackageItem& item : items) {
        const TWItemLocation location{folder.get(), item.relativePath.c_str()};
        const std::uint8_t tag = item.isLink ? 'l' : 'f';
        XXH3_128bits_update(state.get(), &tag, 1);
        updateWithLength(state.get(), item.relativePath.size());
        XXH3_128bits_update(state.get(), item.relativePath.data(), item.relativePath.size());
        if (item.isLink) {
            auto text = TWContentsReader::readLinkText(location, &item.seen.identity);
            if (!text)
                return std::nullopt;
            updateWithLength(state.get(), text->size());
            XXH3_128bits_update(state.get(), text->data(), text->size());
            continue;
        }
        std::uint64_t size = 0;
        TWFileDescriptor fd = TWContentsReader::openRegularFile(location, &item.seen, &size);
        if (!fd)
            return std::nullopt;
        updateWithLength(state.get(), size);
        if (!hashRange(reader, fd.get(), 0, size, state.get(), keepGoing, true))
            return std::nullopt;
    }
    return digestOf(XXH3_128bits_digest(state.get()));
}

} // namespace

std::string TWContentsDigest::hex() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(32, '0');
    for (int i = 0; i < 16; ++i) {
        text[15 - i] = kDigits[(high >> (4 * i)) & 0xf];
        text[31 - i] = kDigits[(low >> (4 * i)) & 0xf];
    }
    return text;
}

namespace TWNodeContents {

Kind kindOf(const TWFileSystemPath& node) {
    const auto& seen = node.seenStat();
    if (!seen)
        return Kind::none;
    if (seen->isRegularFile())
        return Kind::regularFile;
    if (seen->isSymbolicLink())
        return Kind::symbolicLink;
    if (seen->isDirectory())
        return Kind::package;
    return Kind::none;
}

std::optional<TWContentsDigest> headDigest(const TWFileSystemPath& node, TWItemLocation item,
                                           TWContentsReader& reader,
                                           std::optional<std::uint64_t>* physicalOffset) {
    if (kindOf(node) != Kind::regularFile)
        return std::nullopt;
    const TWContentsReader::Expected expected = expectedOf(node);
    TWFileDescriptor fd = TWContentsReader::openRegularFile(item, &expected);
    if (!fd)
        return std::nullopt;
    auto digest = digestOfRange(reader, fd.get(), 0, std::min(expected.size, kEdgeBytes));
    if (digest && physicalOffset && expected.size > kEdgeBytes)
        if (auto offset = TWContentsReader::physicalOffset(fd.get()))
            *physicalOffset = offset;
    return digest;
}

std::optional<TWContentsDigest> tailDigest(const TWFileSystemPath& node, TWItemLocation item,
                                           TWContentsReader& reader) {
    if (kindOf(node) != Kind::regularFile)
        return std::nullopt;
    const TWContentsReader::Expected expected = expectedOf(node);
    if (expected.size <= kEdgeBytes)
        return std::nullopt;
    TWFileDescriptor fd = TWContentsReader::openRegularFile(item, &expected);
    if (!fd)
        return std::nullopt;
    return digestOfRange(reader, fd.get(), expected.size - kEdgeBytes, kEdgeBytes);
}

std::optional<TWContentsDigest> contentsDigest(const TWFileSystemPath& node, TWItemLocation item,
                                               TWContentsReader& reader,
                                               const std::function<bool()>& keepGoing) {
    switch (kindOf(node)) {
    case Kind::regularFile: {
        const TWContentsReader::Expected expected = expectedOf(node);
        if (expected.size <= kEdgeBytes)
            return headDigest(node, item, reader);
        return digestOfFile(item, &expected, reader, keepGoing);
    }
    case Kind::symbolicLink: {
        auto text = TWContentsReader::readLinkText(item, &node.seenStat()->identity);
        if (!text)
            return std::nullopt;
        return digestOf(XXH3_128bits_withSeed(text->data(), text->size(), kLinkSeed));
    }
    case Kind::package:
        return digestOfPackage(node, item, reader, keepGoing);
    case Kind::none:
        break;
    }
    return std::nullopt;
}

std::optional<TWContentsDigest> resourceForkDigest(const TWFileSystemPath& node) {
    State state = newState(kForkSeed);
    if (!state)
        return std::nullopt;
    bool read = TWMacMetadata::readResourceFork(
        node.location(), node.companionHint(), [&](std::span<const std::uint8_t> piece) {
            XXH3_128bits_update(state.get(), piece.data(), piece.size());
        });
    if (!read)
        return std::nullopt;
    return digestOf(XXH3_128bits_digest(state.get()));
}

} // namespace TWNodeContents
