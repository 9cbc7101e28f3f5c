// The atomic writer on POSIX systems: an unnamed temporary (O_TMPFILE) where the system has
// it, else a named one created new; fsync of the file and, after the rename, of its folder.
#include "AtomicFile.h"
#include "AtomicFileParts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

using namespace AtomicFileParts;

namespace {

// Mode for the new file: the old file's, or what a plain create would give under the umask.
mode_t TargetMode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a chain of symbolic links leads to (the path itself when it is no link). A link to
// a name that does not exist yet leads to that name. False on a loop.
bool ResolveLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string next(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), next.data(), next.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= next.size()) return false;
        next.resize(static_cast<std::size_t>(n));
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

// Regular files "<name>.tmpXXXXXX" in the folder: temporaries of a writer that was killed.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = name + TempMark;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0) continue;
        if (!IsTempRandomPart(entry->d_name + prefix.size())) continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Best effort: the rename is on the disk once its folder is. Some file systems refuse fsync on
// a folder; the file's own data was flushed before the rename either way.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

TAtomicFileWriter::TAtomicFileWriter(const std::string& path, TLinkPolicy links) : Target(path) {
    Buffer.reserve(BufferBytes);
    if (links == TLinkPolicy::Follow && !ResolveLinks(Target)) {
        Fail(errno);
        return;
    }
    Folder = FolderOf(Target);
    Open();
}

bool TAtomicFileWriter::Open() {
    struct stat st;
    if (::lstat(Target.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return Fail(NotRegularFile);
    RemoveStaleTemporaries(Folder, NameOf(Target));
#ifdef O_TMPFILE
    Fd = ::open(Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    Unnamed = Fd >= 0;
    if (Unnamed) return true;
#endif
    // No unnamed files here: a named temporary, created new (never through a link).
    TempPath = Target + TempMark + "XXXXXX";
    Fd = ::mkostemp(TempPath.data(), O_CLOEXEC);
    if (Fd >= 0) return true;
    TempPath.clear();
    return Fail(errno);
}

TAtomicFileWriter::~TAtomicFileWriter() {
    if (Fd >= 0) ::close(Fd);
    if (!TempPath.empty()) ::unlink(TempPath.c_str());
    RestoreOld();
}

bool TAtomicFileWriter::SetAsideOld() {
    if (Failed) return false;
    if (!AsidePath.empty()) return true;
    struct stat st;
    if (::lstat(Target.c_str(), &st) != 0) return errno == ENOENT || Fail(errno);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = Target + TempMark + RandomSuffix();
        // A second name, then the first one removed: never over a file already there. A file
        // system without hard links takes a rename to a name checked to be free.
        bool moved = false;
        if (::link(Target.c_str(), name.c_str()) == 0) {
            moved = ::unlink(Target.c_str()) == 0;
            if (!moved) {
                const int error = errno;
                ::unlink(name.c_str());
                return Fail(error);
            }
        } else if (errno == EEXIST) {
            continue;
        } else if (errno == EPERM || errno == ENOTSUP || errno == EXDEV) {
            if (::lstat(name.c_str(), &st) == 0) continue;
            moved = ::rename(Target.c_str(), name.c_str()) == 0;
        }
        if (!moved) return Fail(errno);
        AsidePath = std::move(name);
        SyncFolder(Folder);
        return true;
    }
    return Fail(EEXIST);
}

void TAtomicFileWriter::DropOld() {
    if (AsidePath.empty()) return;
    ::unlink(AsidePath.c_str());
    AsidePath.clear();
}

void TAtomicFileWriter::RestoreOld() {
    if (AsidePath.empty()) return;
    // Back under its name unless something new took the name meanwhile; else the next save
    // of the target clears it away.
    struct stat st;
    if (::link(AsidePath.c_str(), Target.c_str()) == 0)
        ::unlink(AsidePath.c_str());
    else if (errno != EEXIST && ::lstat(Target.c_str(), &st) != 0)
        ::rename(AsidePath.c_str(), Target.c_str()); // no hard links here
    AsidePath.clear();
    SyncFolder(Folder);
}

bool TAtomicFileWriter::Sync() {
    if (Fd < 0 || Failed) return false;
    if (Synced) return true;
    if (!Flush()) return false;
    if (::fchmod(Fd, TargetMode(Target)) != 0 || ::fsync(Fd) != 0) return Fail(errno);
    Synced = true;
    return true;
}

bool TAtomicFileWriter::LinkIn() {
    const std::string self = "/proc/self/fd/" + std::to_string(Fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = Target + TempMark + RandomSuffix();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno != EEXIST && ::linkat(Fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)) {
            TempPath = std::move(name);
            return true;
        }
        if (errno != EEXIST) return Fail(errno);
    }
    return Fail(EEXIST);
}

bool TAtomicFileWriter::Commit(TFolderFlush flush) {
    if (!Sync()) return false;
    if (Unnamed && !LinkIn()) return false;
    const bool closed = ::close(Fd) == 0;
    Fd = -1;
    if (!closed) return Fail(errno);
    if (::rename(TempPath.c_str(), Target.c_str()) != 0) return Fail(errno);
    TempPath.clear();
    DropOld();
    if (flush == TFolderFlush::Now) SyncFolder(Folder);
    return true;
}

} // namespace XVclUtil
