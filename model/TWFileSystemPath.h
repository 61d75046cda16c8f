#pragma once

#include "platform/TWFolderListing.h"
#include "platform/TWItemLocation.h"
#include "platform/TWPathChain.h"
#include "platform/TWStatSnapshot.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TWTrash;

// One file or folder met by a search, identified by its absolute path (raw bytes).
//
// Made from one statx that does not follow a final link: it keeps the directory and link
// flags, the size (a folder's grows to the total below it on the first fileSize() call), and
// what it saw then (device, inode, times), which later tells whether the file has changed.
// Every other attribute is asked of the file system when asked.
//
// While a walk visits a node, it knows the folder that holds it and answers through that
// folder's descriptor, so no question depends on PATH_MAX. A node is used by one thread at a
// time and carries no lock. Nodes compare by identity: two nodes for one path are two nodes.
class TWFileSystemPath {
public:
    // A node for `absolutePath`; the item need not exist.
    static std::shared_ptr<TWFileSystemPath> initWithAbsolutePath(std::string absolutePath);
    // A node for an entry met by a walk in the folder `parent`, with the entry's attributes.
    TWFileSystemPath(std::shared_ptr<const TWPathChain> parent, std::string name,
                     const TWStatSnapshot& stat);

    TWFileSystemPath(const TWFileSystemPath&) = delete;
    TWFileSystemPath& operator=(const TWFileSystemPath&) = delete;

    // Path methods.
    const std::string& absolutePath() const;
    bool hasAbsolutePath(std::string_view path) const;
    const std::string& lastPathComponent() const { return name_; }
    std::string fileName() const;      // the last component without its extension
    std::string pathExtension() const; // after the final period; "" when none
    std::string parentPath() const;
    bool isReadable() const;
    bool isVisible() const;
    std::string displayName() const;   // the name as UTF-8 text, for people

    // Attribute methods.
    std::uint64_t fileSize();
    bool isDirectory() const { return isDir_; }
    bool isLink() const { return isLink_; }
    bool exists() const; // follows a final link: a dangling link does not exist
    std::optional<TWTimestamp> created() const;
    std::optional<TWTimestamp> modified() const;
    std::string fileHFSTypeCode() const;    // "'TEXT'", or "" when the file has none
    std::string fileHFSCreatorCode() const;
    std::uint64_t resourceForkSize() const; // 0 for folders, and when there is none
    std::string sizeString();
    // -1 when this node is larger, 1 when smaller, 0 when equal: ascending order puts the
    // largest first.
    int sizeCompare(TWFileSystemPath& other);

    // What the search saw when it made the node; empty for an item that was missing.
    const std::optional<TWStatSnapshot>& seenStat() const { return seen_; }
    // Whether the item at the path is still the one the search saw: same device, inode, size
    // and modification time.
    bool isUnchangedSinceSeen() const;

    // Trash methods.
    // Moves the item to the trash unless it is in one already; true when it is there
    // afterwards, and then the node follows it to its new path.
    bool movedToTrash(TWTrash& trash);
    bool hasMovedToTrash() const { return movedToTrash_; }
    bool isInTrash(const TWTrash& trash) const;
    // "Trash" for an item in the trash, else the name of the enclosing folder.
    std::string parentPathComponent(const TWTrash& trash) const;

    // The walk sets the folder that holds the node for the length of its visit.
    void setWalkFolder(const TWFolderListing* folder) { walkFolder_ = folder; }
    TWItemLocation location() const;
    TWCompanionHint companionHint() const;

private:
    TWFileSystemPath() = default;
    void adoptStat(const std::optional<TWStatSnapshot>& stat);

    std::shared_ptr<const TWPathChain> parent_; // nothing for a node made from a whole path
    std::string name_;
    mutable std::string absolutePath_;          // put together on first request
    std::optional<TWStatSnapshot> seen_;
    std::uint64_t fileSize_ = 0;
    bool isDir_ = false;
    bool isLink_ = false;
    bool haveSize_ = false;
    bool movedToTrash_ = false;
    const TWFolderListing* walkFolder_ = nullptr;
};

using TWFileSystemPathRef = std::shared_ptr<TWFileSystemPath>;
