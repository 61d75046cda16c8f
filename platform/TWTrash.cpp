#include "platform/TWTrash.h"

#include "platform/TWFileDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h> // renameat2
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A trashed name leaves room for ".trashinfo" within the longest name Linux file systems take.
constexpr std::size_t kLongestName = 255;
constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr unsigned kMostNameAttempts = 100000;

// Path text.

// The components of a path, without empty ones and ".".
std::vector<std::string_view> splitComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (!part.empty() && part != ".")
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

// The absolute path made of the first `count` components.
std::string joinComponents(const std::vector<std::string_view>& parts, std::size_t count) {
    if (count == 0)
        return "/";
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        path += '/';
        path += parts[i];
    }
    return path;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string parentOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

// Single slashes, no "." and no trailing slash; ".." is kept, since only the file system
// knows what it means after a link.
std::string tidied(std::string_view absolutePath) {
    auto parts = splitComponents(absolutePath);
    return joinComponents(parts, parts.size());
}

// ".." taken out by the text alone: what comparisons use for items that may be gone.
std::string lexicallyNormal(std::string_view absolutePath) {
    std::vector<std::string_view> kept;
    for (std::string_view part : splitComponents(absolutePath)) {
        if (part != "..")
            kept.push_back(part);
        else if (!kept.empty())
            kept.pop_back();
    }
    return joinComponents(kept, kept.size());
}

// Both paths absolute and normal. A string prefix is not enough: "/a/files2" is not in "/a/files".
bool isAtOrBelow(std::string_view folder, std::string_view path) {
    if (folder == "/")
        return !path.empty() && path[0] == '/';
    return path.substr(0, folder.size()) == folder &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool isStrictlyBelow(std::string_view folder, std::string_view path) {
    return path != folder && isAtOrBelow(folder, path);
}

// The real path of an existing item, links followed; empty when it cannot be had.
std::string realPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

// `normalPath` with its deepest existing part resolved and the rest appended as written, so
// that a path reached through a link compares equal to the real one even when its end is
// gone. With `resolveLast` false the last component is never resolved: a link in the trash
// is in the trash wherever it points.
std::string resolvedAsFarAsExists(const std::string& normalPath, bool resolveLast) {
    auto parts = splitComponents(normalPath);
    if (parts.empty())
        return normalPath;
    for (std::size_t keep = resolveLast ? parts.size() : parts.size() - 1;; --keep) {
        std::string resolved = realPath(joinComponents(parts, keep));
        if (!resolved.empty()) {
            for (std::size_t i = keep; i < parts.size(); ++i)
                resolved = joinPath(resolved, parts[i]);
            return resolved;
        }
        if (keep == 0)
            return normalPath;
    }
}

// Info file text.

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("-_.!~*'()").find(static_cast<char>(c)) != std::string_view::npos;
}

// Escaped byte by byte, so names that are not UTF-8 survive the round trip.
std::string percentEncoded(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size());
    for (char byte : bytes) {
        auto c = static_cast<unsigned char>(byte);
        if (isUnreserved(c) || c == '/') {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0f];
        }
    }
    return encoded;
}

std::string deletionDateNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&now, &local))
        return {};
    char text[32];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return std::string(text, length);
}

std::string infoFileContents(std::string_view pathValue) {
    return "[Trash Info]\nPath=" + percentEncoded(pathValue) +
           "\nDeletionDate=" + deletionDateNow() + "\n";
}

// The name an item gets in the trash on attempt `attempt`: its own name first, then
// "stem.N.ext". A leading period does not start an extension (".bashrc" becomes
// ".bashrc.2"), nor does a very long tail. Long names are cut so that NAME.trashinfo still
// fits, never inside a UTF-8 sequence when the name is UTF-8.
std::string trashName(std::string_view name, unsigned attempt) {
    std::string_view stem = name;
    std::string_view extension;
    std::string number;
    if (attempt > 1) {
        number = "." + std::to_string(attempt);
        std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos && dot > 0 && dot + 1 < name.size() &&
            name.size() - dot <= 32) {
            stem = name.substr(0, dot);
            extension = name.substr(dot);
        }
    }
    const std::size_t longest = kLongestName - kInfoSuffix.size();
    const std::size_t room = longest - number.size() - extension.size();
    if (stem.size() > room) {
        std::size_t cut = room;
        for (int back = 0;
             back < 3 && cut > 1 && (static_cast<unsigned char>(stem[cut]) & 0xc0) == 0x80; ++back)
            --cut;
        stem = stem.substr(0, cut);
    }
    std::string result(stem);
    result += number;
    result += extension;
    return result;
}

// File system.

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = retryOnInterrupt([&] { return ::write(fd, bytes.data(), bytes.size()); });
        if (written < 0)
            return errno;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string readWholeFile(const char* path) {
    std::string contents;
    TWFileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC));
    if (!fd)
        return contents;
    char buffer[8192];
    for (;;) {
        ssize_t got = retryOnInterrupt([&] { return ::read(fd.get(), buffer, sizeof buffer); });
        if (got <= 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    return contents;
}

// Mount points as /proc/self/mountinfo lists them (fifth field, octal escapes undone);
// empty when it cannot be read.
std::vector<std::string> mountPoints() {
    std::vector<std::string> points;
    const std::string text = readWholeFile("/proc/self/mountinfo");
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        std::string_view line(text.data() + lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        std::size_t fieldStart = 0;
        for (int skip = 0; skip < 4 && fieldStart != std::string_view::npos; ++skip) {
            fieldStart = line.find(' ', fieldStart);
            if (fieldStart != std::string_view::npos)
                ++fieldStart;
        }
        if (fieldStart == std::string_view::npos)
            continue;
        std::string_view field = line.substr(fieldStart, line.find(' ', fieldStart) - fieldStart);
        std::string point;
        for (std::size_t i = 0; i < field.size(); ++i) {
            auto isOctal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
            if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) &&
                isOctal(i + 3)) {
                point += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                           (field[i + 3] - '0'));
                i += 3;
            } else {
                point += field[i];
            }
        }
        if (!point.empty() && point[0] == '/')
            points.push_back(std::move(point));
    }
    return points;
}

// The mount point ($topdir) of the file system holding `folder` (a real path) on `device`.
// The mount table tells bind mounts apart, which a walk up comparing devices cannot; the walk
// is kept for when the table is unreadable or disagrees.
std::string mountPointOf(const std::string& folder, dev_t device) {
    std::string best;
    for (const std::string& point : mountPoints())
        if (point.size() > best.size() && isAtOrBelow(point, folder))
            best = point;
    struct stat status {};
    if (!best.empty() && ::stat(best.c_str(), &status) == 0 && status.st_dev == device)
        return best;
    std::string current = folder;
    while (current != "/") {
        std::string parent = parentOf(current);
        if (::stat(parent.c_str(), &status) != 0 || status.st_dev != device)
            return current;
        current = parent;
    }
    return current;
}

bool isMountPoint(const std::string& folder) {
    if (folder == "/")
        return true;
    struct stat status {};
    struct stat parentStatus {};
    if (::stat(folder.c_str(), &status) != 0)
        return true; // gone with its volume: the trash's own name has to do
    for (const std::string& point : mountPoints())
        if (point == folder)
            return true;
    if (::stat(parentOf(folder).c_str(), &parentStatus) != 0)
        return true;
    return status.st_dev != parentStatus.st_dev;
}

// The device an existing folder, or the deepest existing folder above it, lies on.
bool deviceOfFolder(const std::string& path, dev_t& device) {
    std::string current = path;
    for (;;) {
        struct stat status {};
        if (::stat(current.c_str(), &status) == 0) {
            device = status.st_dev;
            return true;
        }
        if (errno != ENOENT || current == "/")
            return false;
        current = parentOf(current);
    }
}

enum class FolderTrust {
    FollowLinks,  // in the user's own home: links there are the user's choice
    RealAndOwned, // on a shared volume: a link or someone else's folder could expose the files
};

// 0 when `path` is a folder the trash may use, made with mode 0700 when missing; else errno.
int ensureFolder(const std::string& path, FolderTrust trust) {
    if (::mkdir(path.c_str(), 0700) == 0)
        return 0;
    if (errno != EEXIST)
        return errno;
    struct stat status {};
    if (trust == FolderTrust::FollowLinks) {
        if (::stat(path.c_str(), &status) != 0)
            return errno;
        return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
    }
    if (::lstat(path.c_str(), &status) != 0)
        return errno;
    if (S_ISLNK(status.st_mode))
        return ELOOP;
    if (!S_ISDIR(status.st_mode))
        return ENOTDIR;
    if (status.st_uid != ::geteuid())
        return EPERM;
    return 0;
}

// Makes `path` and the missing folders above it, each with mode 0700.
int ensureFolderPath(const std::string& path) {
    auto parts = splitComponents(path);
    for (std::size_t count = 1; count <= parts.size(); ++count) {
        const std::string folder = joinComponents(parts, count);
        struct stat status {};
        if (::stat(folder.c_str(), &status) == 0) {
            if (!S_ISDIR(status.st_mode))
                return ENOTDIR;
            continue;
        }
        if (errno != ENOENT)
            return errno;
        if (int error = ensureFolder(folder, FolderTrust::FollowLinks))
            return error;
    }
    return 0;
}

int ensureFilesAndInfo(const std::string& root, FolderTrust trust) {
    if (int error = ensureFolder(joinPath(root, "files"), trust))
        return error;
    return ensureFolder(joinPath(root, "info"), trust);
}

// rename() would silently replace an item of the same name left in files/ without its info
// file; that item is user data too.
int renameWithoutReplacing(int fromFolder, const std::string& from, int toFolder,
                           const std::string& to) {
    if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system cannot promise not to replace; look first. The info file already
    // reserves the name against other trash users.
    struct stat status {};
    if (::fstatat(toFolder, to.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    if (::renameat(fromFolder, from.c_str(), toFolder, to.c_str()) == 0)
        return 0;
    return errno;
}

struct TWTrashFolder {
    std::string root;   // the trash; files/ and info/ lie in it
    std::string topdir; // the mount it serves, for relative Path= values; empty for the home trash
};

// Moves the item `name` of the open folder `folderFd` into the prepared trash `trash`.
TWTrashOutcome moveIntoTrash(const TWTrashFolder& trash, int folderFd, const std::string& name,
                             const std::string& itemPath) {
    TWTrashOutcome outcome;
    const std::string filesPath = joinPath(trash.root, "files");
    TWFileDescriptor files(::open(filesPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!files) {
        outcome.error = errno;
        return outcome;
    }
    TWFileDescriptor info(
        ::open(joinPath(trash.root, "info").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!info) {
        outcome.error = errno;
        return outcome;
    }
    std::string_view pathValue = itemPath;
    if (!trash.topdir.empty())
        pathValue.remove_prefix(trash.topdir == "/" ? 1 : trash.topdir.size() + 1);
    const std::string contents = infoFileContents(pathValue);

    for (unsigned attempt = 1; attempt <= kMostNameAttempts; ++attempt) {
        const std::string trashed = trashName(name, attempt);
        struct stat status {};
        if (::fstatat(files.get(), trashed.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
            continue; // left in files/ without its info file
        const std::string infoName = trashed + std::string(kInfoSuffix);
        TWFileDescriptor infoFile(retryOnInterrupt([&] {
            return ::openat(info.get(), infoName.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        }));
        if (!infoFile) {
            if (errno == EEXIST)
                continue;
            outcome.error = errno;
            return outcome;
        }
        int error = writeAll(infoFile.get(), contents);
        // A failed close can be the first report of a failed write on network file systems.
        if (::close(infoFile.release()) != 0 && error == 0)
            error = errno;
        if (error == 0)
            error = renameWithoutReplacing(folderFd, name, files.get(), trashed);
        if (error == 0) {
            outcome.moved = true;
            outcome.newPath = joinPath(filesPath, trashed);
            return outcome;
        }
        ::unlinkat(info.get(), infoName.c_str(), 0);
        if (error != EEXIST) {
            outcome.error = error;
            return outcome;
        }
    }
    outcome.error = EEXIST;
    return outcome;
}

// A trash must not swallow itself or a folder above it.
bool holdsTrash(const std::string& itemPath, const std::string& trashRoot) {
    return isAtOrBelow(itemPath, resolvedAsFarAsExists(lexicallyNormal(trashRoot), true));
}

std::string userIdText() {
    return std::to_string(::geteuid());
}

// Tries the top-level trashes of the mount at `topdir` in their order: $topdir/.Trash/$uid
// when $topdir/.Trash is a real sticky folder, then $topdir/.Trash-$uid.
TWTrashOutcome moveIntoTopLevelTrash(const std::string& topdir, int folderFd,
                                     const std::string& name, const std::string& itemPath) {
    TWTrashOutcome outcome;
    outcome.error = EXDEV;
    const std::string uid = userIdText();
    std::vector<std::string> roots;
    const std::string shared = joinPath(topdir, ".Trash");
    struct stat status {};
    if (::lstat(shared.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
        (status.st_mode & S_ISVTX) != 0)
        roots.push_back(joinPath(shared, uid));
    roots.push_back(joinPath(topdir, ".Trash-" + uid));

    for (const std::string& root : roots)
        if (holdsTrash(itemPath, root)) {
            outcome.error = EINVAL;
            return outcome;
        }
    for (const std::string& root : roots) {
        int error = ensureFolder(root, FolderTrust::RealAndOwned);
        if (error == 0)
            error = ensureFilesAndInfo(root, FolderTrust::RealAndOwned);
        if (error != 0) {
            outcome.error = error;
            continue;
        }
        outcome = moveIntoTrash({root, topdir}, folderFd, name, itemPath);
        if (outcome.moved || outcome.error != EXDEV)
            return outcome;
    }
    return outcome;
}

} // namespace

TWTrashOutcome TWFreedesktopTrash::moveToTrash(const std::string& absolutePath) {
    TWTrashOutcome failed;
    auto fail = [&failed](int error) {
        failed.error = error;
        return failed;
    };
    if (absolutePath.empty() || absolutePath[0] != '/')
        return fail(EINVAL);
    std::string_view trimmed = absolutePath;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.remove_suffix(1);
    const std::size_t slash = trimmed.rfind('/');
    const std::string name(trimmed.substr(slash + 1));
    if (name.empty() || name == "." || name == "..")
        return fail(EINVAL);

    // Links in the folder part are followed so that Path= names the real place; the item
    // itself is only ever named relative to its open folder, so a final link stays a link.
    const std::string folder = realPath(slash == 0 ? "/" : std::string(trimmed.substr(0, slash)));
    if (folder.empty())
        return fail(errno);
    TWFileDescriptor folderFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd)
        return fail(errno);
    struct stat item {};
    struct stat folderStatus {};
    if (::fstatat(folderFd.get(), name.c_str(), &item, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::fstat(folderFd.get(), &folderStatus) != 0)
        return fail(errno);
    const std::string itemPath = joinPath(folder, name);
    if (isInsideTrash(itemPath)) {
        TWTrashOutcome already;
        already.moved = true;
        already.newPath = itemPath;
        return already;
    }

    const std::string home = homeTrashFolder();
    dev_t homeDevice = 0;
    if (!home.empty() && deviceOfFolder(home, homeDevice) && homeDevice == folderStatus.st_dev) {
        if (holdsTrash(itemPath, home))
            return fail(EINVAL);
        int error = ensureFolderPath(home);
        if (error == 0)
            error = ensureFilesAndInfo(home, FolderTrust::FollowLinks);
        if (error != 0)
            return fail(error);
        TWTrashOutcome outcome = moveIntoTrash({home, {}}, folderFd.get(), name, itemPath);
        // EXDEV here means the same file system reached through another mount (a bind
        // mount): the trash at the top of the item's own mount can still take it.
        if (outcome.moved || outcome.error != EXDEV)
            return outcome;
    }
    return moveIntoTopLevelTrash(mountPointOf(folder, folderStatus.st_dev), folderFd.get(), name,
                                 itemPath);
}

bool TWFreedesktopTrash::isInsideTrash(const std::string& absolutePath) const {
    if (absolutePath.empty() || absolutePath[0] != '/')
        return false;
    const std::string homeFiles = homeTrashFilesFolder();
    const std::string homeFilesNormal = homeFiles.empty() ? "" : lexicallyNormal(homeFiles);
    const std::string uid = userIdText();
    const std::string privateTrash = ".Trash-" + uid;

    auto liesInTrashFiles = [&](const std::string& path, const std::string& homeFilesForm) {
        if (!homeFilesForm.empty() && isStrictlyBelow(homeFilesForm, path))
            return true;
        auto parts = splitComponents(path);
        for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
            if (parts[i] != "files")
                continue;
            if (parts[i - 1] == privateTrash && isMountPoint(joinComponents(parts, i - 1)))
                return true;
            if (i >= 2 && parts[i - 1] == uid && parts[i - 2] == ".Trash" &&
                isMountPoint(joinComponents(parts, i - 2)))
                return true;
        }
        return false;
    };

    const std::string path = lexicallyNormal(absolutePath);
    if (liesInTrashFiles(path, homeFilesNormal))
        return true;
    // Either side may have been reached through a link.
    const std::string resolved = resolvedAsFarAsExists(path, false);
    const std::string homeFilesResolved =
        homeFiles.empty() ? "" : resolvedAsFarAsExists(homeFilesNormal, true);
    if (resolved == path && homeFilesResolved == homeFilesNormal)
        return false;
    return liesInTrashFiles(resolved, homeFilesResolved);
}

std::string TWFreedesktopTrash::homeTrashFilesFolder() const {
    const std::string root = homeTrashFolder();
    return root.empty() ? root : joinPath(root, "files");
}

std::string TWFreedesktopTrash::homeTrashFolder() const {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return joinPath(tidied(dataHome), "Trash");
    std::string home;
    if (const char* homeVariable = std::getenv("HOME"); homeVariable && homeVariable[0] == '/') {
        home = homeVariable;
    } else {
        long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
        struct passwd entry {};
        struct passwd* found = nullptr;
        if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir && found->pw_dir[0] == '/')
            home = found->pw_dir;
    }
    if (home.empty())
        return home;
    return joinPath(tidied(home), ".local/share/Trash");
}

TWFreedesktopTrash& TWFreedesktopTrash::standard() {
    static TWFreedesktopTrash trash;
    return trash;
}
