#include "AtomicFile.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

namespace {

constexpr std::size_t BufferBytes = 1 << 16;
constexpr int NotRegularFile = -1; // ErrorNumber for a target that is no regular file
constexpr const char* TempMark = ".tmp";
constexpr std::size_t TempRandomChars = 6;

bool WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = EIO; // no progress: never loop on it
            return false;
        }
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// Mode for the new file: the old file's, or what a plain create would give under the umask.
mode_t TargetMode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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

bool IsTempRandomPart(const char* s) {
    std::size_t n = 0;
    for (; s[n]; ++n)
        if (!std::isalnum(static_cast<unsigned char>(s[n]))) return false;
    return n == TempRandomChars;
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

std::string RandomSuffix() {
    static std::atomic<unsigned> counter{0};
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long long seed = static_cast<unsigned long long>(
                                  std::chrono::steady_clock::now().time_since_epoch().count()) ^
                              (static_cast<unsigned long long>(::getpid()) << 20) ^
                              (counter++ * 0x9E3779B97F4A7C15ull);
    std::string s;
    for (std::size_t i = 0; i < TempRandomChars; ++i, seed /= 62) s += digits[seed % 62];
    return s;
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
}

bool TAtomicFileWriter::Fail(int error) {
    if (!Failed) ErrorNumber = error;
    Failed = true;
    return false;
}

std::string TAtomicFileWriter::ErrorText() const {
    if (ErrorNumber == NotRegularFile) return "not a regular file";
    if (ErrorNumber != 0) return std::strerror(ErrorNumber);
    return Failed ? "cannot write the file" : std::string();
}

bool TAtomicFileWriter::Flush() {
    if (!Failed && !WriteAll(Fd, Buffer.data(), Buffer.size())) Fail(errno);
    Buffer.clear();
    return !Failed;
}

void TAtomicFileWriter::Write(const void* data, std::size_t size) {
    if (Fd < 0 || Failed || Synced) return;
    if (Buffer.size() + size > BufferBytes) {
        if (!Flush()) return;
        if (size > BufferBytes) {
            if (!WriteAll(Fd, static_cast<const char*>(data), size)) Fail(errno);
            return;
        }
    }
    Buffer.append(static_cast<const char*>(data), size);
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

bool TAtomicFileWriter::Commit() {
    if (!Sync()) return false;
    if (Unnamed && !LinkIn()) return false;
    const bool closed = ::close(Fd) == 0;
    Fd = -1;
    if (!closed) return Fail(errno);
    if (::rename(TempPath.c_str(), Target.c_str()) != 0) return Fail(errno);
    TempPath.clear();
    SyncFolder(Folder);
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string* error, TLinkPolicy links) {
    TAtomicFileWriter writer(path, links);
    writer.Write(data, size);
    if (writer.Commit()) return true;
    if (error) *error = writer.ErrorText();
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& data, std::string* error,
                         TLinkPolicy links) {
    return WriteFileAtomically(path, data.data(), data.size(), error, links);
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data,
                         std::string* error, TLinkPolicy links) {
    return WriteFileAtomically(path, data.data(), data.size(), error, links);
}

} // namespace XVclUtil
