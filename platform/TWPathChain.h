#pragma once

#include <memory>
#include <string>

// The path of a folder met by a walk, shared by everything below it: each link holds one
// component and its parent. Whole paths are put together only for the items that need one,
// so a walk down a tree 100,000 folders deep does not copy ever longer paths.
class TWPathChain {
public:
    // The chain of a start folder, whose path is given whole.
    static std::shared_ptr<const TWPathChain> root(std::string absolutePath);
    static std::shared_ptr<const TWPathChain> child(std::shared_ptr<const TWPathChain> parent,
                                                    std::string name);

    // The folder's absolute path: the components joined by exactly one separator. Put
    // together on the first request and kept, so the files of one folder share the work.
    // Not safe for two threads at once; a search's chains are used by one thread at a time.
    const std::string& path() const;
    // `name` joined to the folder's path.
    std::string pathOf(const std::string& name) const;

    const std::string& component() const { return component_; }
    const std::shared_ptr<const TWPathChain>& parent() const { return parent_; }

    TWPathChain(std::shared_ptr<const TWPathChain> parent, std::string component, std::size_t length)
        : parent_(std::move(parent)), component_(std::move(component)), length_(length) {}
    // Lets go of the links above that nothing else holds one by one, so that the chain of a
    // tree 100,000 folders deep is not freed by a recursion as deep as the tree.
    ~TWPathChain();
    TWPathChain(const TWPathChain&) = delete;
    TWPathChain& operator=(const TWPathChain&) = delete;

private:
    bool isFileSystemRoot() const { return !parent_ && component_ == "/"; }

    mutable std::shared_ptr<const TWPathChain> parent_; // mutable only for the destructor
    std::string component_;
    std::size_t length_; // of the whole path, so that it is built with one allocation
    mutable std::string cachedPath_;
};

// Joins a folder path and a name with exactly one separator, also when the folder is "/".
std::string joinPath(const std::string& folder, const std::string& name);
