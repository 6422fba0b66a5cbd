// Preloaded into the program by the tests (LD_PRELOAD) to make reading fail
// part-way, as a network share or a failing disk does: every read() from a
// file descriptor above 2 fails with EIO once VIVIRI_FAIL_READ_AFTER bytes
// have been read from such descriptors.

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern "C" ssize_t read(int descriptor, void* buffer, size_t size) {
  using read_function = ssize_t (*)(int, void*, size_t);
  static const auto real_read = reinterpret_cast<read_function>(dlsym(RTLD_NEXT, "read"));
  static const char* limit_text = std::getenv("VIVIRI_FAIL_READ_AFTER");
  static size_t passed = 0;
  if (descriptor <= 2 || limit_text == nullptr) return real_read(descriptor, buffer, size);
  const auto limit = static_cast<size_t>(std::strtoull(limit_text, nullptr, 10));
  if (passed >= limit) {
    errno = EIO;
    return -1;
  }
  const ssize_t got = real_read(descriptor, buffer, size < limit - passed ? size : limit - passed);
  if (got > 0) passed += static_cast<size_t>(got);
  return got;
}
