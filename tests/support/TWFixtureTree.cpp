#include "support/TWFixtureTree.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void writeAll(const std::string& path, std::string_view contents) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("open " + path);
    while (!contents.empty()) {
        ssize_t n = ::write(fd, contents.data(), contents.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            fail("write " + path);
        }
        contents.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
}

void putBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path) == 0 ? 0 : 0;
}

} // namespace

TWFixtureTree::TWFixtureTree() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/twinfind-test-XXXXXX";
    std::vector<char> buffer(templ.begin(), templ.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data()))
        fail("mkdtemp");
    root_ = buffer.data();
}

TWFixtureTree::~TWFixtureTree() {
    // Folders left unreadable or unwritable by a test must not stop the clean-up.
    ::nftw(
        root_.c_str(),
        [](const char* p, const struct stat* s, int type, struct FTW*) {
            if (type == FTW_D || type == FTW_DNR)
                ::chmod(p, 0700);
            (void)s;
            return 0;
        },
        64, FTW_PHYS);
    ::nftw(root_.c_str(), removeEntry, 64, FTW_DEPTH | FTW_PHYS);
}

std::string TWFixtureTree::path(std::string_view relative) const {
    if (relative.empty())
        return root_;
    return root_ + "/" + std::string(relative);
}

void TWFixtureTree::makeParents(std::string_view relative) {
    std::size_t slash = 0;
    while ((slash = relative.find('/', slash)) != std::string_view::npos) {
        std::string partial = path(relative.substr(0, slash));
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            fail("mkdir " + partial);
        ++slash;
    }
}

std::string TWFixtureTree::file(std::string_view relative, std::string_view contents) {
    makeParents(relative);
    std::string p = path(relative);
    writeAll(p, contents);
    return p;
}

std::string TWFixtureTree::fileOfSize(std::string_view relative, std::uint64_t size, char fill) {
    return file(relative, std::string(size, fill));
}

std::string TWFixtureTree::folder(std::string_view relative) {
    makeParents(relative);
    std::string p = path(relative);
    if (::mkdir(p.c_str(), 0755) != 0 && errno != EEXIST)
        fail("mkdir " + p);
    return p;
}

std::string TWFixtureTree::symlink(std::string_view relative, std::string_view target) {
    makeParents(relative);
    std::string p = path(relative);
    if (::symlink(std::string(target).c_str(), p.c_str()) != 0)
        fail("symlink " + p);
    return p;
}

std::string TWFixtureTree::hardLink(std::string_view relative, std::string_view existingRelative) {
    makeParents(relative);
    std::string p = path(relative);
    if (::link(path(existingRelative).c_str(), p.c_str()) != 0)
        fail("link " + p);
    return p;
}

std::string TWFixtureTree::fifo(std::string_view relative) {
    makeParents(relative);
    std::string p = path(relative);
    if (::mkfifo(p.c_str(), 0644) != 0)
        fail("mkfifo " + p);
    return p;
}

bool TWFixtureTree::setAttribute(std::string_view relative, const std::string& name,
                                 std::string_view value) {
    return ::lsetxattr(path(relative).c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
}

std::string TWFixtureTree::finderInfoBytes(std::string_view type, std::string_view creator,
                                           std::uint16_t flags) {
    std::string info(32, '\0');
    for (std::size_t i = 0; i < 4 && i < type.size(); ++i)
        info[i] = type[i];
    for (std::size_t i = 0; i < 4 && i < creator.size(); ++i)
        info[4 + i] = creator[i];
    info[8] = static_cast<char>(flags >> 8);
    info[9] = static_cast<char>(flags & 0xff);
    return info;
}

bool TWFixtureTree::setFinderInfo(std::string_view relative, std::string_view type,
                                  std::string_view creator, std::uint16_t flags) {
    return setAttribute(relative, "user.com.apple.FinderInfo",
                        finderInfoBytes(type, creator, flags));
}

std::string TWFixtureTree::appleDoubleBytes(std::string_view finderInfo,
                                            std::string_view resourceFork) {
    std::string out;
    putBigEndian(out, 0x00051607, 4);
    putBigEndian(out, 0x00020000, 4);
    out.append(16, '\0');
    std::uint32_t entries = (finderInfo.empty() ? 0 : 1) + (resourceFork.empty() ? 0 : 1);
    putBigEndian(out, entries, 2);
    std::uint32_t offset = 26 + 12 * entries;
    if (!finderInfo.empty()) {
        putBigEndian(out, 9, 4);
        putBigEndian(out, offset, 4);
        putBigEndian(out, static_cast<std::uint32_t>(finderInfo.size()), 4);
        offset += static_cast<std::uint32_t>(finderInfo.size());
    }
    if (!resourceFork.empty()) {
        putBigEndian(out, 2, 4);
        putBigEndian(out, offset, 4);
        putBigEndian(out, static_cast<std::uint32_t>(resourceFork.size()), 4);
    }
    out.append(finderInfo);
    out.append(resourceFork);
    return out;
}

std::string TWFixtureTree::appleDouble(std::string_view relative, std::string_view type,
                                       std::string_view creator, std::uint16_t flags,
                                       std::string_view resourceFork) {
    std::string rel(relative);
    std::size_t slash = rel.rfind('/');
    std::string companion = slash == std::string::npos
                                ? "._" + rel
                                : rel.substr(0, slash + 1) + "._" + rel.substr(slash + 1);
    std::string info = type.empty() ? std::string() : finderInfoBytes(type, creator, flags);
    return file(companion, appleDoubleBytes(info, resourceFork));
}

void TWFixtureTree::setModified(std::string_view relative, std::int64_t secondsSinceEpoch) {
    struct timespec times[2];
    times[0].tv_sec = secondsSinceEpoch;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail("utimensat");
}

bool TWFixtureTree::supportsUserAttributes() {
    std::string probe = file(".attribute-probe");
    bool ok = ::setxattr(probe.c_str(), "user.twinfind.probe", "1", 1, 0) == 0;
    ::unlink(probe.c_str());
    return ok;
}

TWScopedEnvironment::TWScopedEnvironment(std::string name, const std::string& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) {
        hadValue_ = true;
        oldValue_ = old;
    }
    ::setenv(name_.c_str(), value.c_str(), 1);
}

TWScopedEnvironment::~TWScopedEnvironment() {
    if (hadValue_)
        ::setenv(name_.c_str(), oldValue_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}
