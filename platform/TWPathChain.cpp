#include "platform/TWPathChain.h"

std::shared_ptr<const TWPathChain> TWPathChain::root(std::string absolutePath) {
    std::size_t length = absolutePath.size();
    return std::make_shared<const TWPathChain>(nullptr, std::move(absolutePath), length);
}

std::shared_ptr<const TWPathChain> TWPathChain::child(std::shared_ptr<const TWPathChain> parent,
                                                      std::string name) {
    std::size_t length = parent->length_ + (parent->isFileSystemRoot() ? 0 : 1) + name.size();
    return std::make_shared<const TWPathChain>(std::move(parent), std::move(name), length);
}

std::string TWPathChain::path() const { return pathWithRoom(0); }

std::string TWPathChain::pathOf(const std::string& name) const {
    // One allocation for the whole path, the name included.
    bool root = isFileSystemRoot();
    std::string result = pathWithRoom((root ? 0 : 1) + name.size());
    std::size_t start = length_ + (root ? 0 : 1);
    result.replace(start, name.size(), name);
    return result;
}

std::string TWPathChain::pathWithRoom(std::size_t extra) const {
    std::string result(length_ + extra, '/');
    const TWPathChain* link = this;
    std::size_t end = length_;
    while (link) {
        std::size_t start = end - link->component_.size();
        result.replace(start, link->component_.size(), link->component_);
        if (!link->parent_)
            break;
        // One separator between this component and the parent's path, unless the parent is "/".
        end = start - (link->parent_->isFileSystemRoot() ? 0 : 1);
        link = link->parent_.get();
    }
    return result;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    std::string result;
    result.reserve(folder.size() + 1 + name.size());
    result = folder;
    if (result.back() != '/')
        result.push_back('/');
    result += name;
    return result;
}
