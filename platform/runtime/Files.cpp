#include "Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "CodePage.h"

namespace fs = std::filesystem;

namespace {

AnsiString& ProgramFolderOverride() {
  static AnsiString folder;
  return folder;
}

fs::path AnsiToNative(std::string_view path) {
  const QByteArray native = QFile::encodeName(AnsiToQString(path));
  fs::path converted(std::string(native.constData(), static_cast<std::size_t>(native.size())));
  // A name the code page cannot hold reached the program as its own bytes (NativeToAnsi); those
  // bytes, not their reading in the code page, are the name on disk.
  fs::path raw{std::string(path)};
  if (raw == converted) return converted;
  std::error_code ec;
  for (const bool parent : {false, true})
    for (const fs::path* candidate : {&converted, &raw})
      if (fs::exists(fs::symlink_status(parent ? candidate->parent_path() : *candidate, ec))) return *candidate;
  return converted;
}

QString FoldedName(const fs::path& name) {
  return QFile::decodeName(name.native().c_str()).toCaseFolded();
}

// The entry of folder whose name equals name with case ignored (the first in name order).
std::optional<fs::path> FindEntryIgnoringCase(const fs::path& folder, const fs::path& name) {
  const QString wanted = FoldedName(name);
  std::optional<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path entry = it->path().filename();
    if (FoldedName(entry) == wanted && (!found || entry < *found)) found = entry;
  }
  return found;
}

bool WildcardMatch(const QString& name, qsizetype n, const QString& mask, qsizetype m) {
  while (m < mask.size()) {
    const QChar c = mask[m];
    if (c == u'*') {
      while (m < mask.size() && mask[m] == u'*') ++m;
      if (m == mask.size()) return true;
      for (qsizetype k = n; k <= name.size(); ++k)
        if (WildcardMatch(name, k, mask, m)) return true;
      return false;
    }
    if (n == name.size()) return false;
    if (c != u'?' && c != name[n]) return false;
    ++n;
    ++m;
  }
  return n == name.size();
}

TOutcome Failed(const char* step, int error) {
  return TOutcome::Failure(Format("%s: %s", step, std::strerror(error)));
}

// A file is written in pieces of at most this size: one write of a whole large book costs several
// times more kernel time than the same bytes in pieces.
constexpr std::size_t kWritePiece = std::size_t{1} << 20;

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), std::min(data.size(), kWritePiece));
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

AnsiString UniqueSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  return Format(".%016llx.tmp", static_cast<unsigned long long>(generator()));
}

// Creates a new file beside path that no other file had; returns the descriptor or -1.
int CreateExclusive(const fs::path& path, fs::path& created, mode_t mode) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    created = path;
    created += UniqueSuffix();
    const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Copies source to a new file target and syncs it; 0 or the error.
int CopySynced(const fs::path& source, const fs::path& target) {
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    return error;
  }
  int error = 0;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got < 0) error = errno;
      break;
    }
    if (!WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(got)))) {
      error = errno;
      break;
    }
  }
  struct stat info {};
  if (error == 0 && ::fstat(in, &info) == 0 && ::fchmod(out, info.st_mode & 07777) != 0) error = errno;
  if (error == 0 && ::fsync(out) != 0) error = errno;
  if (::close(out) != 0 && error == 0) error = errno;
  ::close(in);
  if (error != 0) ::unlink(target.c_str());
  return error;
}

bool SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return ok;
}

}  // namespace

AnsiString ProgramFolder() {
  AnsiString folder = ProgramFolderOverride();
  if (folder.empty()) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    folder = NativeToAnsi(ec ? fs::current_path(ec) : exe.parent_path());
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

void SetProgramFolder(const AnsiString& folder) {
  ProgramFolderOverride() = folder;
}

AnsiString NativeToAnsi(const fs::path& path) {
  const QString text = QFile::decodeName(path.native().c_str());
  // A name the code page cannot hold is kept byte for byte rather than damaged.
  return QStringToAnsi(text).value_or(path.native());
}

std::optional<fs::path> ResolveExistingPath(const AnsiString& path) {
  if (path.empty()) return std::nullopt;
  if (path.back() == '/' && path.size() > 1) {
    // "name/" names a folder only.
    std::optional<fs::path> folder = ResolveExistingPath(path.substr(0, path.find_last_not_of('/') + 1));
    std::error_code ec;
    if (folder && fs::is_directory(*folder, ec)) return folder;
    return std::nullopt;
  }
  const fs::path native = AnsiToNative(path);
  std::error_code ec;
  if (fs::exists(fs::symlink_status(native, ec))) return native;
  fs::path resolved = native.root_path();
  for (const fs::path& part : native.relative_path()) {
    if (part.empty()) continue;
    fs::path next = resolved / part;
    if (part != "." && part != ".." && !fs::exists(fs::symlink_status(next, ec))) {
      const std::optional<fs::path> entry = FindEntryIgnoringCase(resolved.empty() ? fs::path(".") : resolved, part);
      if (!entry) return std::nullopt;
      next = resolved / *entry;
    }
    resolved = std::move(next);
  }
  return resolved;
}

fs::path ResolvePathForWrite(const AnsiString& path) {
  if (std::optional<fs::path> existing = ResolveExistingPath(path)) return *existing;
  const fs::path native = AnsiToNative(path);
  const fs::path parent = native.parent_path();
  if (parent.empty()) return native;
  const std::optional<fs::path> folder = ResolveExistingPath(NativeToAnsi(parent));
  return folder ? *folder / native.filename() : native;
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  return WildcardMatch(AnsiToQString(name).toCaseFolded(), 0, AnsiToQString(mask).toCaseFolded(), 0);
}

std::vector<AnsiString> FindFiles(const AnsiString& folder, std::string_view mask) {
  std::vector<AnsiString> names;
  const std::optional<fs::path> resolved = ResolveExistingPath(folder.empty() ? AnsiString(".") : folder);
  if (!resolved) return names;
  std::error_code ec;
  for (fs::directory_iterator it(*resolved, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    AnsiString name = NativeToAnsi(it->path().filename());
    if (MatchesMask(name, mask)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool FileExists(const AnsiString& path) {
  const std::optional<fs::path> resolved = ResolveExistingPath(path);
  std::error_code ec;
  return resolved && !fs::is_directory(*resolved, ec);
}

bool DirectoryExists(const AnsiString& path) {
  const std::optional<fs::path> resolved = ResolveExistingPath(path);
  std::error_code ec;
  return resolved && fs::is_directory(*resolved, ec);
}

bool DeleteFile(const AnsiString& path) {
  const std::optional<fs::path> resolved = ResolveExistingPath(path);
  return resolved && ::unlink(resolved->c_str()) == 0;
}

bool RenameFile(const AnsiString& from, const AnsiString& to) {
  const std::optional<fs::path> source = ResolveExistingPath(from);
  if (!source) return false;
  const fs::path target = ResolvePathForWrite(to);
  std::error_code ec;
  // As on Windows, a rename never replaces an existing file.
  if (fs::exists(fs::symlink_status(target, ec)) && !fs::equivalent(*source, target, ec)) return false;
  return ::rename(source->c_str(), target.c_str()) == 0;
}

bool CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists) {
  const std::optional<fs::path> source = ResolveExistingPath(from);
  if (!source) return false;
  std::error_code ec;
  const auto options = failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing;
  return fs::copy_file(*source, ResolvePathForWrite(to), options, ec) && !ec;
}

void TFileBytesDeleter::operator()(char* bytes) const {
  if (Mapped > 0)
    ::munmap(bytes, Mapped);
  else
    delete[] bytes;
}

namespace {

// Room for capacity bytes. A large file gets pages of its own, in huge pages where the system has
// them: the kernel then faults in and clears a few hundred pages instead of tens of thousands.
TFileBytes AllocateBytes(std::size_t capacity) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (capacity >= 2 * kHugePage) {
    const std::size_t length = (capacity + kHugePage - 1) / kHugePage * kHugePage;
    void* pages = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages != MAP_FAILED) {
      ::madvise(pages, length, MADV_HUGEPAGE);  // a hint; without huge pages the pages are simply small
      return TFileBytes(static_cast<char*>(pages), TFileBytesDeleter{length});
    }
  }
  return TFileBytes(new char[capacity]);
}

}  // namespace

TOutcome KeepFileAs(const AnsiString& from, const AnsiString& to) {
  const std::optional<fs::path> source = ResolveExistingPath(from);
  if (!source) return Failed("cannot keep the file", ENOENT);
  const fs::path target = ResolvePathForWrite(to);
  if (::link(source->c_str(), target.c_str()) == 0) {
    SyncFolder(target.parent_path());
    return {};
  }
  if (errno != EPERM && errno != ENOTSUP && errno != EXDEV && errno != EMLINK && errno != ENOSYS)
    return Failed("cannot keep the file", errno);
  const int error = CopySynced(*source, target);
  if (error != 0) return Failed("cannot keep the file", error);
  SyncFolder(target.parent_path());
  return {};
}

TFileBytes ReadWholeFile(const AnsiString& path, std::size_t& size, std::size_t limit) {
  const std::optional<fs::path> resolved = ResolveExistingPath(path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer (it is refused below).
  const int fd = resolved ? ::open(resolved->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
  if (fd < 0)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), std::strerror(resolved ? errno : ENOENT)));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw EFOpenError(Format("Cannot open file \"%s\". It is not a regular file.", path.c_str()));
  }
  const auto tooLarge = [&] {
    ::close(fd);
    return EReadError(Format("The file \"%s\" is larger than %zu bytes.", path.c_str(), limit));
  };
  const auto reported = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
  if (reported > limit) throw tooLarge();
  // One byte more than the file's size, so that the read that finds its end needs no new room.
  std::size_t capacity = reported + 1;
  TFileBytes buffer = AllocateBytes(capacity);
  size = 0;
  for (;;) {
    if (size == capacity) {
      // The file grew while it was read.
      if (size > limit) throw tooLarge();
      const std::size_t larger = std::min(capacity * 2, limit + 1);
      TFileBytes bigger = AllocateBytes(larger);
      std::memcpy(bigger.get(), buffer.get(), size);
      buffer = std::move(bigger);
      capacity = larger;
    }
    const ssize_t got = ::read(fd, buffer.get() + size, std::min<std::size_t>(capacity - size, 1u << 30));
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      throw EReadError("Stream read error");
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (size > limit) throw EReadError(Format("The file \"%s\" is larger than %zu bytes.", path.c_str(), limit));
  return buffer;
}

void WriteWholeFile(const AnsiString& path, std::string_view contents) {
  const fs::path target = ResolvePathForWrite(path);
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), std::strerror(errno)));
  const bool written = WriteAll(fd, contents);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) throw EWriteError("Stream write error");
}

TFileSink::TFileSink(int fd) : Fd(fd), Buffer(std::make_unique_for_overwrite<char[]>(kWritePiece)) {}
TFileSink::~TFileSink() = default;

void TFileSink::Append(std::string_view bytes) {
  if (WriteError != 0) return;
  if (bytes.size() <= kWritePiece - Used) {
    std::memcpy(Buffer.get() + Used, bytes.data(), bytes.size());
    Used += bytes.size();
    return;
  }
  if (!Flush()) return;
  if (bytes.size() >= kWritePiece) {
    if (!WriteAll(Fd, bytes))
      WriteError = errno;
    else
      Written(bytes.size());
    return;
  }
  std::memcpy(Buffer.get(), bytes.data(), bytes.size());
  Used = bytes.size();
}

bool TFileSink::Flush() {
  if (WriteError == 0 && Used > 0) {
    if (!WriteAll(Fd, std::string_view(Buffer.get(), Used)))
      WriteError = errno;
    else
      Written(Used);
  }
  Used = 0;
  return WriteError == 0;
}

void TFileSink::Written(std::size_t bytes) {
  // A large file starts on its way to the disk while the rest is still being made, so that the
  // final sync waits only for the tail.
  constexpr std::uint64_t kAhead = std::uint64_t{8} << 20;
  WrittenBytes += bytes;
  if (WrittenBytes - QueuedBytes < kAhead) return;
  ::sync_file_range(Fd, static_cast<off_t>(QueuedBytes), static_cast<off_t>(WrittenBytes - QueuedBytes),
                    SYNC_FILE_RANGE_WRITE);
  QueuedBytes = WrittenBytes;
}

TOutcome ReplaceFileDurably(const AnsiString& target, const AnsiString& backup, std::string_view contents) {
  return ReplaceFileDurably(target, backup, [contents](TFileSink& file) { file.Append(contents); });
}

namespace {

bool& NamedTemporaryFiles() {
  static bool named = false;
  return named;
}

// The file a replace of target writes: a link stays a link, the file it names is the one replaced.
fs::path ReplaceTargetPath(const AnsiString& target) {
  fs::path targetPath = ResolvePathForWrite(target);
  std::error_code linkError;
  if (fs::is_symlink(targetPath, linkError)) {
    const fs::path named = fs::weakly_canonical(targetPath, linkError);
    if (!linkError) targetPath = named;
  }
  return targetPath;
}

// The outcome of writing the temporary file: its name once complete, or the failure.
struct TTemporary {
  fs::path Name;
  TOutcome Outcome;
  bool Unsupported = false;  // no unnamed temporary files here: write a named one instead
};

// Writes the contents to a temporary file beside targetPath and syncs them. Unnamed, the file is
// created without a name (O_TMPFILE) and linked under one only when it is complete.
TTemporary WriteTemporary(const fs::path& targetPath, const struct stat* previous,
                          const std::function<void(TFileSink&)>& produce, bool unnamed, TFileSync sync) {
  TTemporary result;
  const mode_t mode = previous ? (previous->st_mode & 07777) : 0666;
  int fd = -1;
  if (unnamed) {
    const fs::path folder = targetPath.parent_path();
    fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
      result.Unsupported = true;
      return result;
    }
  } else {
    fd = CreateExclusive(targetPath, result.Name, mode);
  }
  if (fd < 0) {
    result.Outcome = Failed("cannot create a temporary file", errno);
    return result;
  }
  auto fail = [&](const char* step, int error) {
    ::close(fd);
    if (!result.Name.empty()) ::unlink(result.Name.c_str());
    result.Name.clear();
    result.Outcome = Failed(step, error);
    return result;
  };
  // A shared book keeps its group where the system allows it.
  if (previous) [[maybe_unused]]
    const int ignored = ::fchown(fd, static_cast<uid_t>(-1), previous->st_gid);
  // O_CREAT applies the umask; give the new file exactly the old one's permissions.
  if (previous && ::fchmod(fd, mode) != 0) return fail("cannot set the permissions", errno);
  TFileSink file(fd);
  try {
    produce(file);
  } catch (...) {
    ::close(fd);
    if (!result.Name.empty()) ::unlink(result.Name.c_str());
    throw;
  }
  if (!file.Flush()) return fail("cannot write", file.Error());
  if (sync == TFileSync::Sync && ::fsync(fd) != 0) return fail("cannot flush to disk", errno);
  if (unnamed) {
    const AnsiString self = Format("/proc/self/fd/%d", fd);
    bool linked = false;
    for (int attempt = 0; attempt < 16 && !linked; ++attempt) {
      result.Name = targetPath;
      result.Name += UniqueSuffix();
      linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, result.Name.c_str(), AT_SYMLINK_FOLLOW) == 0;
      if (!linked && errno != EEXIST) break;
    }
    if (!linked) {
      const int error = errno;
      result.Name.clear();
      // No /proc, or a file system without links: the file vanishes with its descriptor.
      if (error == ENOENT || error == EPERM || error == ENOTSUP || error == EXDEV || error == EMLINK ||
          error == ENOSYS) {
        ::close(fd);
        result.Unsupported = true;
        return result;
      }
      return fail("cannot name the temporary file", error);
    }
  }
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(result.Name.c_str());
    result.Name.clear();
    result.Outcome = Failed("cannot close", error);
  }
  return result;
}

}  // namespace

bool IsTemporaryFileOf(std::string_view name, std::string_view target) {
  constexpr std::size_t kSuffix = 1 + 16 + 4;  // ".%016llx.tmp"
  if (name.size() != target.size() + kSuffix || name.substr(0, target.size()) != target) return false;
  const std::string_view suffix = name.substr(target.size());
  if (suffix.front() != '.' || suffix.substr(17) != ".tmp") return false;
  return std::all_of(suffix.begin() + 1, suffix.begin() + 17,
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

int RemoveStaleTemporaryFiles(const AnsiString& target) {
  const fs::path targetPath = ReplaceTargetPath(target);
  const fs::path folder = targetPath.parent_path().empty() ? fs::path(".") : targetPath.parent_path();
  const std::string name = targetPath.filename().native();
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!IsTemporaryFileOf(it->path().filename().native(), name) || !it->is_regular_file(typeError) ||
        it->is_symlink(typeError))
      continue;
    if (::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

void SetNamedTemporaryFiles(bool named) {
  NamedTemporaryFiles() = named;
}

TOutcome ReplaceFileDurably(const AnsiString& target, const AnsiString& backup,
                            const std::function<void(TFileSink&)>& produce, TFileSync sync, TFileLink links) {
  const bool replaceLink = links == TFileLink::ReplaceTheLink;
  const fs::path targetPath = replaceLink ? ResolvePathForWrite(target) : ReplaceTargetPath(target);
  const fs::path folder = targetPath.parent_path();
  struct stat previous {};
  const bool targetExists =
      (replaceLink ? ::lstat(targetPath.c_str(), &previous) : ::stat(targetPath.c_str(), &previous)) == 0;
  if (!targetExists && errno != ENOENT) return Failed("cannot examine the file", errno);
  // A link that is replaced passes on no permissions: they would be those of the file it led to.
  const struct stat* const kept = targetExists && !S_ISLNK(previous.st_mode) ? &previous : nullptr;

  TTemporary written;
  if (!NamedTemporaryFiles()) written = WriteTemporary(targetPath, kept, produce, true, sync);
  if (NamedTemporaryFiles() || written.Unsupported) written = WriteTemporary(targetPath, kept, produce, false, sync);
  if (!written.Outcome) return written.Outcome;
  const fs::path& temporary = written.Name;
  auto fail = [&](const char* step, int error, const fs::path& alsoRemove = {}) {
    ::unlink(temporary.c_str());
    if (!alsoRemove.empty()) ::unlink(alsoRemove.c_str());
    return Failed(step, error);
  };

  const fs::path backupPath = backup.empty() ? fs::path() : ResolvePathForWrite(backup);
  std::error_code same;
  if (targetExists && !backupPath.empty() && !fs::equivalent(targetPath, backupPath, same)) {
    fs::path link;
    bool linked = false;
    for (int attempt = 0; attempt < 16 && !linked; ++attempt) {
      link = backupPath;
      link += UniqueSuffix();
      linked = ::link(targetPath.c_str(), link.c_str()) == 0;
      if (!linked && errno != EEXIST) break;
    }
    if (!linked && (errno == EPERM || errno == ENOTSUP || errno == EXDEV || errno == EMLINK || errno == ENOSYS)) {
      // No hard links here (FAT, some network and FUSE file systems): a synced copy instead.
      const int error = CopySynced(targetPath, link);
      if (error != 0) return fail("cannot keep the backup", error, link);
      linked = true;
    }
    if (!linked) return fail("cannot keep the backup", errno);
    if (::rename(link.c_str(), backupPath.c_str()) != 0) return fail("cannot keep the backup", errno, link);
  }
  if (::rename(temporary.c_str(), targetPath.c_str()) != 0) return fail("cannot replace the file", errno);
  // Some file systems cannot sync a folder at all (EINVAL); the rename is then as durable as it gets.
  if (sync == TFileSync::Sync && !SyncFolder(folder) && errno != EINVAL && errno != ENOTSUP)
    return Failed("cannot flush the folder to disk", errno);
  return {};
}

TFolderLock::TFolderLock(const AnsiString& folder) {
  const std::optional<fs::path> resolved = ResolveExistingPath(folder);
  Fd = resolved ? ::open(resolved->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (Fd < 0) return;
  int result;
  while ((result = ::flock(Fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (result == 0) {
    FState = TState::Locked;
    return;
  }
  FState = errno == EWOULDBLOCK ? TState::HeldElsewhere : TState::Unavailable;
  ::close(Fd);
  Fd = -1;
}

TFolderLock::~TFolderLock() {
  if (Fd >= 0) ::close(Fd);
}
