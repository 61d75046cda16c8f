#include "platform/TWFolderListing.h"

#include "platform/TWFileDescriptor.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

std::unique_ptr<TWFolderListing> TWFolderListing::read(int folderFd,
                                                       std::shared_ptr<const TWPathChain> path,
                                                       bool readHiddenList) {
    // fdopendir takes the descriptor over, so it gets a duplicate to close.
    int listingFd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (listingFd < 0)
        return nullptr;
    DIR* dir = ::fdopendir(listingFd);
    if (!dir) {
        ::close(listingFd);
        return nullptr;
    }
    ::rewinddir(dir);
    auto listing = std::make_unique<TWFolderListing>();
    listing->fd_ = folderFd;
    listing->path_ = std::move(path);
    bool hasHiddenList = false;
    for (;;) {
        errno = 0;
        struct dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        std::size_t length = std::strlen(name);
        // Only a regular file can be a companion; anything else under such a name (a FIFO
        // above all) must not be opened to find out.
        bool mayBeFile = entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN;
        if (length > 2 && name[0] == '.' && name[1] == '_' && mayBeFile)
            listing->namesWithCompanion_.emplace(name + 2, length - 2);
        if (std::strcmp(name, TWHiddenFileList::kFileName) == 0)
            hasHiddenList = true;
        listing->names_.emplace_back(name, length);
    }
    ::closedir(dir);
    if (readHiddenList && hasHiddenList)
        listing->hidden_ = TWHiddenFileList::readFromFolder(folderFd);
    return listing;
}

TWCompanionHint TWFolderListing::companionOf(const std::string& name) const {
    if (namesWithCompanion_.empty())
        return TWCompanionHint::absent;
    return namesWithCompanion_.contains(name) ? TWCompanionHint::present : TWCompanionHint::absent;
}
