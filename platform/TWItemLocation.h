#pragma once

#include <fcntl.h>

#include <string>

// Where an item lives for a system call: an open directory and a name inside it, or
// AT_FDCWD and a whole path. The walk uses directory-relative locations, so that no call
// depends on PATH_MAX or on folders being renamed above it.
struct TWItemLocation {
    int directoryFd = AT_FDCWD;
    const char* name = nullptr;

    static TWItemLocation forPath(const std::string& path) { return {AT_FDCWD, path.c_str()}; }
};

// Whether the item's folder holds an AppleDouble companion "._NAME". The walk knows it from
// the folder listing; elsewhere it is looked up when needed.
enum class TWCompanionHint { unknown, absent, present };
