#include "platform/TWKernelTextFile.h"

#include "platform/TWFileDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

std::string readKernelTextFile(const char* path) {
    TWFileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC));
    if (!fd)
        return {};
    std::string contents;
    char buffer[16384];
    for (;;) {
        ssize_t n = retryOnInterrupt([&] { return ::read(fd.get(), buffer, sizeof buffer); });
        if (n <= 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(n));
        if (contents.size() > (16u << 20))
            break; // a table this large is not worth more than its first part
    }
    return contents;
}
