#include "platform/TWFileDescriptor.h"

#include <unistd.h>

TWFileDescriptor& TWFileDescriptor::operator=(TWFileDescriptor&& other) noexcept {
    if (this != &other)
        reset(other.release());
    return *this;
}

void TWFileDescriptor::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_); // close() is not retried: on Linux the descriptor is gone even after EINTR
    fd_ = fd;
}
