#pragma once
// The file system as the units see it: 8-bit paths in the ANSI code page, names matched with case
// ignored (as on Windows), and the program folder that is the base of every file the program keeps.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "Outcome.h"
#include "SysUtils.h"

// The folder of the running program with a trailing "/".
[[nodiscard]] AnsiString ProgramFolder();
// Points ProgramFolder() at another folder (tests); an empty text restores the running program's.
void SetProgramFolder(const AnsiString& folder);

// The native path of an existing file or folder, each component matched with case ignored when
// no exact match exists; nullopt when there is none.
[[nodiscard]] std::optional<std::filesystem::path> ResolveExistingPath(const AnsiString& path);
// The native path to create or replace: the existing file whatever its case, or the name as given
// inside the resolved folder.
[[nodiscard]] std::filesystem::path ResolvePathForWrite(const AnsiString& path);
[[nodiscard]] AnsiString NativeToAnsi(const std::filesystem::path& path);

// Windows wildcard match ("*" any run, "?" one character), case ignored.
[[nodiscard]] bool MatchesMask(std::string_view name, std::string_view mask);
// Names (without folder) of the regular files in folder that match mask, sorted by name.
[[nodiscard]] std::vector<AnsiString> FindFiles(const AnsiString& folder, std::string_view mask);

[[nodiscard]] bool FileExists(const AnsiString& path);
[[nodiscard]] bool DirectoryExists(const AnsiString& path);
// These report success; a failure leaves the files as they were.
bool DeleteFile(const AnsiString& path);
bool RenameFile(const AnsiString& from, const AnsiString& to);
bool CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists);
// Gives the file from a second name, to, that did not exist: a hard link, or a synced copy where
// the file system has no links.
TOutcome KeepFileAs(const AnsiString& from, const AnsiString& to);

// The bytes of a file read whole: a heap block, or pages mapped for them alone when the file is large.
struct TFileBytesDeleter {
  std::size_t Mapped = 0;  // length of the mapping; 0 for a heap block
  void operator()(char* bytes) const;
};
using TFileBytes = std::unique_ptr<char[], TFileBytesDeleter>;

// No file the program reads whole is larger than this unless its reader says otherwise.
inline constexpr std::size_t kReadLimit = std::size_t{1} << 30;

// Whole-file reads and writes for the stream classes. ReadWholeFile reads only a regular file and
// never waits to open one (a FIFO or a device is refused, not read); it raises EFOpenError when the
// file cannot be opened or is no regular file, and EReadError when reading fails or the file holds
// more than limit bytes. WriteWholeFile raises EFCreateError when the file cannot be created and
// EWriteError when writing or closing fails.
[[nodiscard]] TFileBytes ReadWholeFile(const AnsiString& path, std::size_t& size, std::size_t limit = kReadLimit);
void WriteWholeFile(const AnsiString& path, std::string_view contents);

// Replaces target by contents so that a failure at any step leaves the previous target complete
// under its own name, or under backup when one is asked for: the contents go to a temporary file
// beside target (with target's permissions) and are synced; the previous target becomes backup
// through a hard link, never by removing target; the temporary file is renamed over target and the
// folder synced. The temporary file has no name until it is complete where the file system allows
// it, so a crash leaves nothing behind; elsewhere it is named as TemporaryFileOf. An empty backup
// keeps no copy.
TOutcome ReplaceFileDurably(const AnsiString& target, const AnsiString& backup, std::string_view contents);

// Bytes on their way to a file, written in pieces of 1 MiB; after a failed write every later
// Append is dropped and Error() holds the errno.
class TFileSink final {
 public:
  explicit TFileSink(int fd);
  ~TFileSink();
  TFileSink(const TFileSink&) = delete;
  TFileSink& operator=(const TFileSink&) = delete;

  void Append(std::string_view bytes);
  // Writes what is buffered; false once any write has failed.
  bool Flush();
  [[nodiscard]] int Error() const { return WriteError; }

 private:
  void Written(std::size_t bytes);

  int Fd;
  std::unique_ptr<char[]> Buffer;
  std::size_t Used = 0;
  int WriteError = 0;
  std::uint64_t WrittenBytes = 0;  // so far
  std::uint64_t QueuedBytes = 0;   // handed to the disk ahead of the final sync
};

// Whether name is one of the temporary names a replace of target (or of its backup) gives its files:
// target + "." + 16 hexadecimal digits + ".tmp".
[[nodiscard]] bool IsTemporaryFileOf(std::string_view name, std::string_view target);
// Removes the temporary files that replaces of target left behind when the program was killed
// (only names as IsTemporaryFileOf says, only regular files). Returns how many were removed.
int RemoveStaleTemporaryFiles(const AnsiString& target);
// Makes ReplaceFileDurably name its temporary files from the start, as on a file system without
// unnamed temporary files (tests); false restores the normal way.
void SetNamedTemporaryFiles(bool named);

// Whether a replacement waits for the disk: files that are made again at will (pages, exports
// for viewing) skip the syncs and are still replaced whole by the rename.
enum class TFileSync { Sync, NoSync };

// What a replace does when target is a symbolic link: a name the user chose and confirmed may be
// a link on purpose, and the file it leads to is replaced; a name the program makes up itself is
// never written through, and the link is replaced by the new file (what it led to stays as it was).
enum class TFileLink { ReplaceItsFile, ReplaceTheLink };

// ReplaceFileDurably with the contents produced into a sink, so that a large file is never
// held whole in memory. An exception from produce removes the temporary file and passes on.
TOutcome ReplaceFileDurably(const AnsiString& target, const AnsiString& backup,
                            const std::function<void(TFileSink&)>& produce, TFileSync sync = TFileSync::Sync,
                            TFileLink links = TFileLink::ReplaceItsFile);

// An exclusive advisory lock (flock) on a folder, for one running program per folder. The system
// releases it when the holder ends, however it ends; child processes do not inherit it.
class TFolderLock final {
 public:
  enum class TState { Locked, HeldElsewhere, Unavailable };
  explicit TFolderLock(const AnsiString& folder);
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;
  // Unavailable: the folder cannot be opened or locked at all (no lock is then held).
  [[nodiscard]] TState State() const { return FState; }

 private:
  int Fd = -1;
  TState FState = TState::Unavailable;
};
