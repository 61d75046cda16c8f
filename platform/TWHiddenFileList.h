#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

// The ".hidden" file that Linux file managers honour: one file name per line, naming items of
// the same folder that are not shown. Names are raw bytes; a trailing "\r" is dropped; empty
// lines are ignored. At most kMaxBytes of the file are read.
class TWHiddenFileList {
public:
    static constexpr const char* kFileName = ".hidden";
    static constexpr std::size_t kMaxBytes = 1 << 20;

    TWHiddenFileList() = default;
    // Reads "<folder>/.hidden" relative to an open folder descriptor; empty when absent.
    static TWHiddenFileList readFromFolder(int folderFd);
    static TWHiddenFileList parse(std::string_view contents);

    bool contains(std::string_view name) const { return names_.count(std::string(name)) != 0; }
    bool isEmpty() const { return names_.empty(); }

private:
    std::unordered_set<std::string> names_;
};
