#include "model/TWFileSystemPath.h"

#include "model/TWSizeText.h"
#include "platform/TWDirectoryWalker.h"
#include "platform/TWDisplayText.h"
#include "platform/TWFileDescriptor.h"
#include "platform/TWFinderInfo.h"
#include "platform/TWHiddenFileList.h"
#include "platform/TWMacMetadata.h"
#include "platform/TWReadAccess.h"
#include "platform/TWTrash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <unordered_set>

namespace {

std::string lastComponentOf(const std::string& path) {
    if (path == "/")
        return path;
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The position of the period that starts the extension; npos when there is none. A leading
// period makes a hidden name, not an extension.
std::size_t extensionPeriod(const std::string& name) {
    std::size_t period = name.rfind('.');
    return period == 0 ? std::string::npos : period;
}

} // namespace

std::shared_ptr<TWFileSystemPath> TWFileSystemPath::initWithAbsolutePath(std::string absolutePath) {
    std::shared_ptr<TWFileSystemPath> node(new TWFileSystemPath());
    node->name_ = lastComponentOf(absolutePath);
    node->absolutePath_ = std::move(absolutePath);
    node->adoptStat(TWStatSnapshot::of(TWItemLocation::forPath(node->absolutePath_)));
    return node;
}

TWFileSystemPath::TWFileSystemPath(std::shared_ptr<const TWPathChain> parent, std::string name,
                                   const TWStatSnapshot& stat)
    : parent_(std::move(parent)), name_(std::move(name)) {
    adoptStat(stat);
}

void TWFileSystemPath::adoptStat(const std::optional<TWStatSnapshot>& stat) {
    seen_ = stat;
    isDir_ = stat && stat->isDirectory();
    isLink_ = stat && stat->isSymbolicLink();
    fileSize_ = stat ? stat->size : 0;
}

const std::string& TWFileSystemPath::absolutePath() const {
    if (absolutePath_.empty() && parent_)
        absolutePath_ = parent_->pathOf(name_);
    return absolutePath_;
}

bool TWFileSystemPath::hasAbsolutePath(std::string_view path) const {
    if (!absolutePath_.empty() || !parent_)
        return absolutePath_ == path;
    // Compare the last component first, so that a deep node does not build its whole path.
    if (path.size() < name_.size() || path.substr(path.size() - name_.size()) != name_)
        return false;
    // Nor when only the name matches: the walk asks this of every folder, and a tree of
    // folders named like the end of `path` would build ever longer paths, one per folder.
    // The chain is measured upwards only as far as `path` is long (each link counts its
    // component and one separator, at most one more than it adds to the path).
    std::size_t length = name_.size();
    for (const TWPathChain* link = parent_.get(); link; link = link->parent().get()) {
        length += link->component().size() + 1;
        if (length > path.size() + 1)
            return false;
    }
    return absolutePath() == path;
}

std::string TWFileSystemPath::fileName() const {
    std::size_t period = extensionPeriod(name_);
    return period == std::string::npos ? name_ : name_.substr(0, period);
}

std::string TWFileSystemPath::pathExtension() const {
    std::size_t period = extensionPeriod(name_);
    return period == std::string::npos ? std::string() : name_.substr(period + 1);
}

std::string TWFileSystemPath::parentPath() const {
    if (parent_ && absolutePath_.empty())
        return parent_->path();
    const std::string& path = absolutePath();
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

TWItemLocation TWFileSystemPath::location() const {
    if (walkFolder_)
        return walkFolder_->locationOf(name_);
    return TWItemLocation::forPath(absolutePath());
}

TWCompanionHint TWFileSystemPath::companionHint() const {
    if (name_.size() >= 2 && name_[0] == '.' && name_[1] == '_')
        return TWCompanionHint::absent; // a companion file has no companion of its own
    return walkFolder_ ? walkFolder_->companionOf(name_) : TWCompanionHint::unknown;
}

bool TWFileSystemPath::isReadable() const {
    // In a walk the attributes just read settle most cases; elsewhere ask afresh.
    return isReadableItem(location(), walkFolder_ && seen_ ? &*seen_ : nullptr);
}

bool TWFileSystemPath::isVisible() const {
    if (!name_.empty() && name_[0] == '.')
        return false;
    if (walkFolder_) {
        if (walkFolder_->isListedHidden(name_))
            return false;
    } else if (parent_ || absolutePath_ != "/") {
        TWFileDescriptor folder(openFolderAt(AT_FDCWD, parentPath().c_str()));
        if (folder && TWHiddenFileList::readFromFolder(folder.get()).contains(name_))
            return false;
    }
    auto info = TWMacMetadata::readFinderInfo(location(), companionHint());
    return !(info && info->isInvisible());
}

std::string TWFileSystemPath::displayName() const { return displayTextForBytes(name_); }

std::uint64_t TWFileSystemPath::fileSize() {
    if (haveSize_)
        return fileSize_;
    haveSize_ = true;
    if (!isDir_)
        return fileSize_;
    TWItemLocation item = location();
    TWFileDescriptor folder(openFolderAt(item.directoryFd, item.name));
    if (!folder)
        return fileSize_;
    // Everything below counts, links with their own size; nothing is followed. A folder met
    // twice (a bind mount looping back) counts once, and pseudo file systems not at all.
    std::unordered_set<TWFileIdentity> seenFolders;
    TWMountTable mounts = TWMountTable::read();
    TWWalkOptions options;
    options.seenItems = &seenFolders;
    options.mounts = &mounts;
    if (seen_)
        seenFolders.insert(seen_->identity);
    walkOpenFolder(folder.get(), TWPathChain::root(std::string()), options,
                   [this](const TWWalkEntry& entry) {
                       fileSize_ += entry.stat.size;
                       return entry.stat.isDirectory() ? TWWalkAction::enter : TWWalkAction::skip;
                   });
    return fileSize_;
}

bool TWFileSystemPath::exists() const {
    struct stat info;
    TWItemLocation item = location();
    return ::fstatat(item.directoryFd, item.name, &info, 0) == 0;
}

std::optional<TWTimestamp> TWFileSystemPath::created() const {
    auto stat = TWStatSnapshot::of(location());
    return stat ? stat->created : std::nullopt;
}

std::optional<TWTimestamp> TWFileSystemPath::modified() const {
    auto stat = TWStatSnapshot::of(location());
    if (!stat)
        return std::nullopt;
    return stat->modified;
}

std::string TWFileSystemPath::fileHFSTypeCode() const {
    auto info = TWMacMetadata::readFinderInfo(location(), companionHint());
    return info ? fourCharCodeText(info->typeCode) : std::string();
}

std::string TWFileSystemPath::fileHFSCreatorCode() const {
    auto info = TWMacMetadata::readFinderInfo(location(), companionHint());
    return info ? fourCharCodeText(info->creatorCode) : std::string();
}

std::uint64_t TWFileSystemPath::resourceForkSize() const {
    if (isDir_)
        return 0;
    return TWMacMetadata::resourceForkSize(location(), companionHint());
}

std::string TWFileSystemPath::sizeString() { return stringForFileSize(fileSize()); }

int TWFileSystemPath::sizeCompare(TWFileSystemPath& other) {
    std::uint64_t mine = fileSize();
    std::uint64_t theirs = other.fileSize();
    if (mine > theirs)
        return -1;
    return mine < theirs ? 1 : 0;
}

bool TWFileSystemPath::isUnchangedSinceSeen() const {
    if (!seen_)
        return false;
    auto now = TWStatSnapshot::of(location());
    return now && now->identity == seen_->identity && now->size == seen_->size &&
           now->modified == seen_->modified && now->mode == seen_->mode;
}

bool TWFileSystemPath::movedToTrash(TWTrash& trash) {
    if (isInTrash(trash)) {
        movedToTrash_ = true;
        return true;
    }
    TWTrashOutcome outcome = trash.moveToTrash(absolutePath());
    movedToTrash_ = outcome.moved;
    if (outcome.moved && !outcome.newPath.empty()) {
        absolutePath_ = outcome.newPath;
        parent_.reset();
        name_ = lastComponentOf(absolutePath_);
    }
    return movedToTrash_;
}

bool TWFileSystemPath::isInTrash(const TWTrash& trash) const {
    if (movedToTrash_)
        return true;
    // A ".Trash" folder anywhere above the item counts, as does a freedesktop trash.
    std::string parent = parentPath();
    std::size_t start = 0;
    while (start <= parent.size()) {
        std::size_t end = parent.find('/', start);
        if (end == std::string::npos)
            end = parent.size();
        if (parent.compare(start, end - start, ".Trash") == 0)
            return true;
        start = end + 1;
    }
    return trash.isInsideTrash(absolutePath());
}

std::string TWFileSystemPath::parentPathComponent(const TWTrash& trash) const {
    if (isInTrash(trash))
        return "Trash";
    return lastComponentOf(parentPath());
}
