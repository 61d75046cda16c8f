#include "support/TWFixtureTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

// Removes everything below the folder open as `rootFd` without ever naming a whole path, so
// that a tree deeper than PATH_MAX goes too: one descriptor at a time, down to a folder with
// no subfolder, then up through "..". The descriptor stays the caller's.
void removeEverythingBelow(int rootFd) {
    std::vector<std::string> names; // the folders from rootFd down to the current one
    int current = ::fcntl(rootFd, F_DUPFD_CLOEXEC, 0);
    while (current >= 0) {
        std::string subfolder;
        int listingFd = ::fcntl(current, F_DUPFD_CLOEXEC, 0);
        if (DIR* dir = listingFd >= 0 ? ::fdopendir(listingFd) : nullptr) {
            while (struct dirent* entry = ::readdir(dir)) {
                std::string_view name = entry->d_name;
                if (name == "." || name == "..")
                    continue;
                struct stat info;
                if (::fstatat(current, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISDIR(info.st_mode)) {
                    subfolder = entry->d_name;
                    break;
                }
                ::unlinkat(current, entry->d_name, 0);
            }
            ::closedir(dir);
        } else if (listingFd >= 0) {
            ::close(listingFd);
        }
        if (!subfolder.empty()) {
            ::fchmodat(current, subfolder.c_str(), 0700, 0);
            int child = ::openat(current, subfolder.c_str(),
                                 O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) {
                ::close(current);
                current = child;
                names.push_back(std::move(subfolder));
                continue;
            }
            if (::unlinkat(current, subfolder.c_str(), AT_REMOVEDIR) == 0)
                continue;
            break; // neither entered nor removed: give up rather than loop
        }
        if (names.empty())
            break;
        int parent = ::openat(current, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(current);
        current = parent;
        if (current >= 0)
            ::unlinkat(current, names.back().c_str(), AT_REMOVEDIR);
        names.pop_back();
    }
    if (current >= 0)
        ::close(current);
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
    for (const std::string& relative : deepChains_) {
        int fd = ::open(path(relative).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            removeEverythingBelow(fd);
            ::close(fd);
        }
    }
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

std::string TWFixtureTree::socket(std::string_view relative) {
    makeParents(relative);
    std::string p = path(relative);
    struct sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (p.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        fail("socket " + p);
    }
    std::memcpy(address.sun_path, p.c_str(), p.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        fail("socket");
    if (::bind(fd, reinterpret_cast<const struct sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        fail("bind " + p);
    }
    ::close(fd);
    return p;
}

std::string TWFixtureTree::deepFolderChain(std::string_view relative, std::size_t depth,
                                           std::string_view name, std::string_view fileName,
                                           std::string_view contents) {
    std::string top = folder(relative);
    deepChains_.emplace_back(relative);
    int current = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (current < 0)
        fail("open " + top);
    const std::string component(name);
    for (std::size_t level = 0; level < depth; ++level) {
        if (::mkdirat(current, component.c_str(), 0755) != 0 && errno != EEXIST) {
            ::close(current);
            fail("mkdirat " + component);
        }
        int child = ::openat(current, component.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(current);
        if (child < 0)
            fail("openat " + component);
        current = child;
    }
    if (!fileName.empty()) {
        int fd = ::openat(current, std::string(fileName).c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool written = fd >= 0 && ::write(fd, contents.data(), contents.size()) ==
                                      static_cast<ssize_t>(contents.size());
        if (fd >= 0)
            ::close(fd);
        if (!written) {
            ::close(current);
            fail("write " + std::string(fileName));
        }
    }
    ::close(current);
    return top;
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
