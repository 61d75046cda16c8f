#include "platform/TWHiddenFileList.h"

#include "platform/TWFileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

TWHiddenFileList TWHiddenFileList::readFromFolder(int folderFd) {
    // File managers follow a link named ".hidden", so this does too; O_NONBLOCK and the
    // regular-file test keep a FIFO or a device under that name from stalling the walk.
    TWFileDescriptor fd(retryOnInterrupt(
        [&] { return ::openat(folderFd, kFileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK); }));
    if (!fd)
        return {};
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};

    // One byte past the limit tells a file that ends at the limit from one that goes on.
    std::string contents(kMaxBytes + 1, '\0');
    std::size_t done = 0;
    while (done < contents.size()) {
        ssize_t n = retryOnInterrupt(
            [&] { return ::read(fd.get(), contents.data() + done, contents.size() - done); });
        if (n < 0)
            return {};
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    contents.resize(done);
    if (done > kMaxBytes) {
        // The last line read is cut short; a cut name could hide some other item.
        contents.resize(kMaxBytes);
        const std::size_t lastNewline = contents.rfind('\n');
        contents.resize(lastNewline == std::string::npos ? 0 : lastNewline);
    }
    return parse(contents);
}

TWHiddenFileList TWHiddenFileList::parse(std::string_view contents) {
    TWHiddenFileList list;
    while (!contents.empty()) {
        const std::size_t newline = contents.find('\n');
        std::string_view line = contents.substr(0, newline);
        contents.remove_prefix(newline == std::string_view::npos ? contents.size() : newline + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!line.empty())
            list.names_.emplace(line);
    }
    return list;
}
