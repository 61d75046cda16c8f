#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A temporary folder that tests fill with files, folders, links, extended attributes and
// companion files in a few lines. Removed with everything inside when destroyed.
// Paths given to the methods are relative to the root; names are raw bytes.
class TWFixtureTree {
public:
    TWFixtureTree();
    ~TWFixtureTree();
    TWFixtureTree(const TWFixtureTree&) = delete;
    TWFixtureTree& operator=(const TWFixtureTree&) = delete;

    const std::string& root() const { return root_; }
    std::string path(std::string_view relative) const;

    // Each returns the absolute path it made; parent folders are made as needed.
    std::string file(std::string_view relative, std::string_view contents = {});
    std::string fileOfSize(std::string_view relative, std::uint64_t size, char fill = 'x');
    std::string folder(std::string_view relative);
    std::string symlink(std::string_view relative, std::string_view target);
    std::string hardLink(std::string_view relative, std::string_view existingRelative);
    std::string fifo(std::string_view relative);
    // A Unix domain socket, bound and closed again, so that only its file remains.
    std::string socket(std::string_view relative);
    // A chain of `depth` folders each named `name` below the folder `relative` (made as
    // needed), with `fileName` holding `contents` at its bottom when a name is given. Made
    // through descriptors relative to each other, so the chain may be far deeper than PATH_MAX
    // allows a path to be; removed the same way. Returns the path of `relative`.
    std::string deepFolderChain(std::string_view relative, std::size_t depth,
                                std::string_view name, std::string_view fileName = {},
                                std::string_view contents = {});

    // Sets a user extended attribute; returns false where the file system refuses them.
    bool setAttribute(std::string_view relative, const std::string& name, std::string_view value);
    // Writes the 32-byte Finder information into the attribute "user.com.apple.FinderInfo".
    bool setFinderInfo(std::string_view relative, std::string_view type, std::string_view creator,
                       std::uint16_t flags = 0);
    // Writes an AppleDouble companion "._NAME" beside the file with a Finder information
    // entry (when type is not empty) and a resource fork entry (when fork is not empty).
    std::string appleDouble(std::string_view relative, std::string_view type,
                            std::string_view creator, std::uint16_t flags,
                            std::string_view resourceFork = {});
    void setModified(std::string_view relative, std::int64_t secondsSinceEpoch);

    static std::string finderInfoBytes(std::string_view type, std::string_view creator,
                                       std::uint16_t flags);
    static std::string appleDoubleBytes(std::string_view finderInfo, std::string_view resourceFork);

    // Whether this tree's file system keeps user extended attributes.
    bool supportsUserAttributes();

private:
    void makeParents(std::string_view relative);
    std::string root_;
    std::vector<std::string> deepChains_; // relative folders that hold a deep chain
};

// Sets an environment variable for the life of the object, then restores it.
class TWScopedEnvironment {
public:
    TWScopedEnvironment(std::string name, const std::string& value);
    ~TWScopedEnvironment();
    TWScopedEnvironment(const TWScopedEnvironment&) = delete;
    TWScopedEnvironment& operator=(const TWScopedEnvironment&) = delete;

private:
    std::string name_;
    bool hadValue_ = false;
    std::string oldValue_;
};
