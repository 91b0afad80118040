#include "driver/StandardStreams.h"

#include <fcntl.h>

#include <cerrno>
#include <iostream>

#include "core/Error.h"

namespace {

bool isClosed(int fd) {
  return ::fcntl(fd, F_GETFD) == -1 && errno == EBADF;
}

}  // namespace

void openClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (!isClosed(fd)) continue;
    // open() takes the lowest free descriptor, which is this one.
    ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (fd == 1) std::cout.setstate(std::ios::badbit);
  }
}

void checkStandardOutput() {
  if (!std::cout.flush()) throwMessage("write error on standard output");
}
