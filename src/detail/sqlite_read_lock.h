#pragma once
// A database file held for the comparison as SQLite's own readers hold it,
// with a shared lock, from before SQLite opens it until after SQLite closes
// it (a file with a rollback journal only until its header is read). While
// the lock is held no load can delete a write-ahead log or its shared memory
// (the -wal and -shm files beside the database), nor checkpoint the log into
// the file as it closes; so what is found beside the file stays, and how to
// read the file without creating anything there is known before SQLite
// opens it.
//
//   SqliteReadLock lock(path);             // before the connection
//   SqliteConnection connection(path, lock.reading() == sqlite_reading::file_only
//                                         ? sqlite_access::file_only : sqlite_access::read_only);

#include <sys/stat.h>

#include <string>

namespace Detail {

/// How a database file is read without creating a file beside it.
enum class sqlite_reading {
  /// Read-only, as SQLite reads it: a rollback journal, or a write-ahead log
  /// whose -wal and -shm files both exist.
  shared,
  /// The file alone: a write-ahead log holding nothing (no -wal file, or an
  /// empty one) without both files, which SQLite would create to read it.
  file_only,
  /// Not at all: a write-ahead log holding rows without its -shm file, which
  /// reading it would create.
  refused,
};

class SqliteReadLock {
 public:
  /// Opens and locks the file at `path`, waiting for a load that is
  /// writing it as long as a load waits for another. A file that cannot be
  /// opened is left to SQLite, which says why. Throws database_error when
  /// the wait ends first.
  explicit SqliteReadLock(const std::string& path);
  ~SqliteReadLock();
  SqliteReadLock(const SqliteReadLock&) = delete;
  SqliteReadLock& operator=(const SqliteReadLock&) = delete;

  bool is_directory() const { return directory_; }
  sqlite_reading reading() const { return reading_; }

  /// Whether the file was written since it was locked. Only a checkpoint
  /// of a write-ahead log can write it then (the lock holds off every other
  /// write), and only a reading of the file alone is not protected from it.
  bool changed() const;

 private:
  bool take_shared_lock();

  int descriptor_ = -1;
  bool directory_ = false;
  sqlite_reading reading_ = sqlite_reading::shared;
  struct stat locked_state_ = {};
};

}  // namespace Detail
