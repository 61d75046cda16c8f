#include "platform/TWPathChain.h"

#include <cstring>

std::shared_ptr<const TWPathChain> TWPathChain::root(std::string absolutePath) {
    std::size_t length = absolutePath.size();
    return std::make_shared<const TWPathChain>(nullptr, std::move(absolutePath), length);
}

std::shared_ptr<const TWPathChain> TWPathChain::child(std::shared_ptr<const TWPathChain> parent,
                                                      std::string name) {
    std::size_t length = parent->length_ + (parent->isFileSystemRoot() ? 0 : 1) + name.size();
    return std::make_shared<const TWPathChain>(std::move(parent), std::move(name), length);
}

TWPathChain::~TWPathChain() {
    std::shared_ptr<const TWPathChain> link = std::move(parent_);
    // Only the last holder of a link may take its parent away from it; a link someone else
    // still holds keeps the rest of the chain.
    while (link && link.use_count() == 1) {
        std::shared_ptr<const TWPathChain> above = std::move(link->parent_);
        link = std::move(above); // frees the link, which no longer holds anything above it
    }
}

const std::string& TWPathChain::path() const {
    if (!parent_)
        return component_;
    if (cachedPath_.empty()) {
        cachedPath_.resize(length_);
        char* out = cachedPath_.data();
        const TWPathChain* link = this;
        std::size_t end = length_;
        while (link) {
            std::size_t start = end - link->component_.size();
            std::memcpy(out + start, link->component_.data(), link->component_.size());
            if (!link->parent_)
                break;
            // One separator between this component and the parent's path, unless that is "/".
            if (!link->parent_->isFileSystemRoot())
                out[--start] = '/';
            end = start;
            link = link->parent_.get();
        }
    }
    return cachedPath_;
}

std::string TWPathChain::pathOf(const std::string& name) const { return joinPath(path(), name); }

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
