#pragma once

#include <cerrno>
#include <utility>

// A move-only owner of one POSIX file descriptor; closes it when destroyed.
class TWFileDescriptor {
public:
    TWFileDescriptor() = default;
    explicit TWFileDescriptor(int fd) : fd_(fd) {}
    TWFileDescriptor(const TWFileDescriptor&) = delete;
    TWFileDescriptor& operator=(const TWFileDescriptor&) = delete;
    TWFileDescriptor(TWFileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    TWFileDescriptor& operator=(TWFileDescriptor&& other) noexcept;
    ~TWFileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool isValid() const { return fd_ >= 0; }
    explicit operator bool() const { return isValid(); }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Calls `call` again while it fails with EINTR; returns its last result.
template <typename Call> auto retryOnInterrupt(Call&& call) {
    for (;;) {
        auto result = call();
        if (!(result == -1 && errno == EINTR))
            return result;
    }
}
