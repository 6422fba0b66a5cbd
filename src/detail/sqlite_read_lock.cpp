#include "detail/sqlite_read_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>

#include "detail/row_source.h"
#include "detail/sqlite_connection.h"

namespace Detail {

namespace {

// SQLite's lock bytes, the same in every database file: a reader holds a
// read lock on the shared range, taken while it holds one on the pending
// byte, which a writer that waits for the readers to leave holds.
constexpr off_t pending_byte = 0x40000000;
constexpr off_t shared_first = pending_byte + 2;
constexpr off_t shared_size = 510;

bool lock_range(int descriptor, short type, off_t start, off_t length) {
  struct flock request = {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = start;
  request.l_len = length;
  return fcntl(descriptor, F_SETLK, &request) == 0;
}

// Whether the database's header says it keeps a write-ahead log (its read
// version, byte 19, is 2).
bool has_write_ahead_log(int descriptor) {
  unsigned char header[100];
  if (pread(descriptor, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return false;
  return std::memcmp(header, "SQLite format 3", 16) == 0 && header[19] == 2;
}

// SQLite names the files beside a database after its path with every
// symbolic link resolved.
std::string resolved(const std::string& path) {
  char buffer[PATH_MAX];
  return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

sqlite_reading write_ahead_log_reading(const std::string& database) {
  struct stat log = {};
  struct stat shared_memory = {};
  const bool has_log = stat((database + "-wal").c_str(), &log) == 0;
  const bool has_shared_memory = stat((database + "-shm").c_str(), &shared_memory) == 0;
  if (has_log && has_shared_memory) return sqlite_reading::shared;
  if (!has_log || log.st_size == 0) return sqlite_reading::file_only;
  return sqlite_reading::refused;
}

}  // namespace

SqliteReadLock::SqliteReadLock(const std::string& path) {
  // Without blocking: a named pipe opens at once, and is left to SQLite.
  descriptor_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat opened = {};
  if (descriptor_ < 0 || fstat(descriptor_, &opened) != 0) return;
  directory_ = S_ISDIR(opened.st_mode);
  if (!S_ISREG(opened.st_mode)) return;
  using clock = std::chrono::steady_clock;
  const clock::time_point give_up = clock::now() + std::chrono::milliseconds(SqliteConnection::busy_timeout_ms);
  auto pause = std::chrono::milliseconds(1);
  while (!take_shared_lock()) {
    // A file system without locks leaves the file to SQLite's own.
    if (errno != EAGAIN && errno != EACCES) break;
    if (clock::now() >= give_up) {
      close(descriptor_);
      throw database_error("database is locked");
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(100));
  }
  fstat(descriptor_, &locked_state_);
  if (has_write_ahead_log(descriptor_)) {
    reading_ = write_ahead_log_reading(resolved(path));
    return;
  }
  // A rollback journal is left to SQLite's own lock. Held until SQLite takes
  // it, this one would deadlock with a load that waits to commit: SQLite's
  // reader waits for that load, which waits for this lock.
  lock_range(descriptor_, F_UNLCK, shared_first, shared_size);
}

SqliteReadLock::~SqliteReadLock() {
  // Closing any descriptor of a file ends every lock the process holds on
  // it, SQLite's too: the connection is closed first.
  if (descriptor_ >= 0) close(descriptor_);
}

bool SqliteReadLock::take_shared_lock() {
  if (!lock_range(descriptor_, F_RDLCK, pending_byte, 1)) return false;
  const bool locked = lock_range(descriptor_, F_RDLCK, shared_first, shared_size);
  const int reason = errno;
  lock_range(descriptor_, F_UNLCK, pending_byte, 1);
  errno = reason;
  return locked;
}

bool SqliteReadLock::changed() const {
  struct stat now = {};
  if (descriptor_ < 0 || directory_ || fstat(descriptor_, &now) != 0) return false;
  return now.st_size != locked_state_.st_size || now.st_mtim.tv_sec != locked_state_.st_mtim.tv_sec ||
         now.st_mtim.tv_nsec != locked_state_.st_mtim.tv_nsec;
}

}  // namespace Detail
