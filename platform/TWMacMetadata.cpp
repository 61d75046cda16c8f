#include "platform/TWMacMetadata.h"

#include "platform/TWAppleDouble.h"
#include "platform/TWFileDescriptor.h"
#include "platform/TWRegularFileOpen.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kPieceSize = 64 * 1024;
// Linux refuses attribute values above 64 KiB (XATTR_SIZE_MAX), so nothing larger is real.
constexpr std::size_t kMaxAttributeSize = 64 * 1024;
constexpr int kAttributeReadAttempts = 3;

bool hasName(TWItemLocation item) {
    return item.name != nullptr && item.name[0] != '\0';
}

// The path through which the l-variants of the attribute calls reach the item itself. There
// is no getxattrat: for a directory-relative item the /proc magic link stands in for the
// open folder. Without /proc the call fails and the attribute counts as absent.
std::string attributePath(TWItemLocation item) {
    if (item.directoryFd == AT_FDCWD || item.name[0] == '/')
        return item.name;
    std::string path = "/proc/self/fd/" + std::to_string(item.directoryFd) + "/";
    path += item.name;
    return path;
}

// The whole value of an attribute of the item, or nothing when it is absent, unreadable or
// implausibly large. `expectedSize` saves the size query when the value is known to be small.
std::optional<std::vector<std::uint8_t>>
readAttribute(const std::string& path, const char* attribute, std::size_t expectedSize) {
    std::vector<std::uint8_t> value(expectedSize);
    if (expectedSize > 0) {
        ssize_t n = ::lgetxattr(path.c_str(), attribute, value.data(), value.size());
        if (n >= 0) {
            value.resize(static_cast<std::size_t>(n));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    // The value may change between the size query and the read; ERANGE then means "ask again".
    for (int attempt = 0; attempt < kAttributeReadAttempts; ++attempt) {
        ssize_t size = ::lgetxattr(path.c_str(), attribute, nullptr, 0);
        if (size < 0 || static_cast<std::size_t>(size) > kMaxAttributeSize)
            return std::nullopt;
        value.resize(static_cast<std::size_t>(size));
        if (size == 0)
            return value;
        ssize_t n = ::lgetxattr(path.c_str(), attribute, value.data(), value.size());
        if (n >= 0) {
            value.resize(static_cast<std::size_t>(n));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

// Reads up to `count` bytes at `offset`, stopping early only at the end of the file.
// Returns the count read, or -1 on an error.
ssize_t readFullyAt(int fd, std::uint8_t* buffer, std::size_t count, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = retryOnInterrupt([&] {
            return ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        });
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// "._NAME" beside the item, as a name for openat relative to the item's folder descriptor;
// empty when the item cannot have a companion.
std::string companionName(std::string_view name) {
    while (name.size() > 1 && name.back() == '/')
        name.remove_suffix(1);
    const std::size_t slash = name.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : name.substr(0, slash + 1);
    const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    // A companion's own companion would be "._._NAME": such names are never metadata.
    if (base.empty() || base == "." || base == ".." || base.starts_with("._"))
        return {};
    std::string companion(folder);
    companion += "._";
    companion += base;
    return companion;
}

struct TWCompanionFile {
    TWFileDescriptor fd;
    TWAppleDoubleContents contents;
};

std::optional<TWCompanionFile> openCompanion(TWItemLocation item, TWCompanionHint hint) {
    if (hint == TWCompanionHint::absent)
        return std::nullopt;
    const std::string name = companionName(item.name);
    if (name.empty())
        return std::nullopt;
    // Nothing but a regular file is ever opened under that name: a FIFO or a device named
    // like a companion is passed over.
    struct stat status {};
    TWFileDescriptor fd = openRegularFileForReading({item.directoryFd, name.c_str()}, 0, &status);
    if (!fd || status.st_size < 0)
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    std::vector<std::uint8_t> header(
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kAppleDoubleHeaderReadSize)));
    ssize_t n = readFullyAt(fd.get(), header.data(), header.size(), 0);
    if (n < 0)
        return std::nullopt;
    // A file that shrank since fstat has a shorter header; the parser judges what is there.
    header.resize(static_cast<std::size_t>(n));
    std::optional<TWAppleDoubleContents> contents = parseAppleDouble(header, fileSize);
    if (!contents)
        return std::nullopt;
    return TWCompanionFile{std::move(fd), *contents};
}

} // namespace

namespace TWMacMetadata {

std::optional<TWFinderInfo> readFinderInfo(TWItemLocation item, TWCompanionHint companion) {
    if (!hasName(item))
        return std::nullopt;
    if (auto value = readAttribute(attributePath(item), kFinderInfoAttribute, TWFinderInfo::kSize))
        if (auto info = parseFinderInfo(*value))
            return info;
    if (auto file = openCompanion(item, companion))
        return file->contents.finderInfo;
    return std::nullopt;
}

std::uint64_t resourceForkSize(TWItemLocation item, TWCompanionHint companion) {
    if (!hasName(item))
        return 0;
    ssize_t size = ::lgetxattr(attributePath(item).c_str(), kResourceForkAttribute, nullptr, 0);
    if (size >= 0)
        return static_cast<std::uint64_t>(size);
    if (auto file = openCompanion(item, companion))
        return file->contents.resourceForkLength;
    return 0;
}

bool readResourceFork(TWItemLocation item, TWCompanionHint companion,
                      const std::function<void(std::span<const std::uint8_t>)>& consume) {
    if (!hasName(item))
        return true;
    const std::string path = attributePath(item);
    if (::lgetxattr(path.c_str(), kResourceForkAttribute, nullptr, 0) >= 0) {
        // The attribute exists: it is the fork, and failing to read it is an error, not a
        // reason to look at the companion instead.
        std::optional<std::vector<std::uint8_t>> value =
            readAttribute(path, kResourceForkAttribute, 0);
        if (!value)
            return false;
        std::span<const std::uint8_t> rest(*value);
        while (!rest.empty()) {
            const std::size_t piece = std::min(rest.size(), kPieceSize);
            consume(rest.first(piece));
            rest = rest.subspan(piece);
        }
        return true;
    }

    std::optional<TWCompanionFile> file = openCompanion(item, companion);
    if (!file || file->contents.resourceForkLength == 0)
        return true;
    std::uint64_t offset = file->contents.resourceForkOffset;
    std::uint64_t remaining = file->contents.resourceForkLength;
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kPieceSize)));
    while (remaining > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kPieceSize));
        ssize_t n = readFullyAt(file->fd.get(), buffer.data(), piece, offset);
        if (n != static_cast<ssize_t>(piece))
            return false;
        consume(std::span<const std::uint8_t>(buffer.data(), piece));
        offset += piece;
        remaining -= piece;
    }
    return true;
}

} // namespace TWMacMetadata
