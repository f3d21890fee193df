#pragma once
// Sole owner of a file descriptor: closes it once, when the owner goes.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <utility>

namespace linuxhid {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int Get() const { return fd_; }
  bool IsValid() const { return fd_ >= 0; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

// A non-blocking, close-on-exec eventfd; invalid when the system refuses one.
UniqueFd MakeEventFd();
// Makes the eventfd readable for good: nothing ever reads it back.
void SignalEventFd(int fd);
// A wait as poll() takes it: at least 0, at most what an int holds.
inline int PollTimeout(std::chrono::milliseconds wait) {
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, INT_MAX));
}
// Whether the fd is readable now, or within timeoutMs (negative: no limit).
bool WaitReadable(int fd, int timeoutMs);

}  // namespace linuxhid
