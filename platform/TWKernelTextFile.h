#pragma once

#include <string>

// The whole text of a file the kernel makes up as it is read (/proc/self/mounts and the
// like), up to 16 MiB; empty when it cannot be read.
std::string readKernelTextFile(const char* path);
