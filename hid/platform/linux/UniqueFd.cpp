#include "UniqueFd.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>

namespace linuxhid {

UniqueFd MakeEventFd() { return UniqueFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)); }

void SignalEventFd(int fd) {
  const std::uint64_t one = 1;
  // Can only fail when the counter is about to overflow, and then it is readable anyway.
  [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
}

bool WaitReadable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  int ready = 0;
  do {
    ready = ::poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (entry.revents & POLLIN) != 0;
}

}  // namespace linuxhid
