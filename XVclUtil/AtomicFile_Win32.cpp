// The atomic writer on Windows: a named temporary "<target>.tmpXXXXXX" created new in the
// target's folder, flushed with FlushFileBuffers and moved over the target with MoveFileEx
// (replace, write-through). The C library's rename refuses an existing target there.
#include "AtomicFile.h"
#include "AtomicFileParts.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <system_error>
#include <windows.h>

namespace XVclUtil {

using namespace AtomicFileParts;

namespace {

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

// Regular files "<name>.tmpXXXXXX" in the folder: temporaries of a writer that was killed.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    std::error_code ec;
    const std::string prefix = name + TempMark;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string file = entry.path().filename().string();
        if (file.compare(0, prefix.size(), prefix) != 0) continue;
        if (IsTempRandomPart(file.c_str() + prefix.size()) && entry.is_regular_file(ec) &&
            !entry.is_symlink(ec))
            ::DeleteFileA(entry.path().string().c_str());
    }
}

// A new file of that name as a C runtime descriptor in binary mode; -1 with errno set.
int CreateNew(const std::string& path) {
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY | _O_WRONLY);
    if (fd < 0) ::CloseHandle(h);
    return fd;
}

} // namespace

TAtomicFileWriter::TAtomicFileWriter(const std::string& path, TLinkPolicy links) : Target(path) {
    Buffer.reserve(BufferBytes);
    std::error_code ec; // a missing target is no error here: it is the new file's name
    if (links == TLinkPolicy::Follow && std::filesystem::is_symlink(Target, ec)) {
        Target = std::filesystem::weakly_canonical(Target, ec).string();
        if (ec) {
            Fail(ec.value());
            return;
        }
    }
    Folder = FolderOf(Target);
    Open();
}

bool TAtomicFileWriter::Open() {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(Target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
        !std::filesystem::is_symlink(status))
        return Fail(NotRegularFile);
    RemoveStaleTemporaries(Folder, NameOf(Target));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = Target + TempMark + RandomSuffix();
        Fd = CreateNew(name);
        if (Fd >= 0) {
            TempPath = std::move(name);
            return true;
        }
        if (errno != EEXIST) break;
    }
    return Fail(errno);
}

TAtomicFileWriter::~TAtomicFileWriter() {
    if (Fd >= 0) ::_close(Fd);
    if (!TempPath.empty()) ::DeleteFileA(TempPath.c_str());
    RestoreOld();
}

bool TAtomicFileWriter::SetAsideOld() {
    if (Failed) return false;
    if (!AsidePath.empty()) return true;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(Target, ec))) return true;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = Target + TempMark + RandomSuffix();
        // Without MOVEFILE_REPLACE_EXISTING the move never lands on a file already there.
        if (::MoveFileExA(Target.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH)) {
            AsidePath = std::move(name);
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return Fail(ErrnoOf(error));
    }
    return Fail(EEXIST);
}

void TAtomicFileWriter::DropOld() {
    if (AsidePath.empty()) return;
    ::DeleteFileA(AsidePath.c_str());
    AsidePath.clear();
}

void TAtomicFileWriter::RestoreOld() {
    if (AsidePath.empty()) return;
    ::MoveFileExA(AsidePath.c_str(), Target.c_str(), MOVEFILE_WRITE_THROUGH);
    AsidePath.clear();
}

bool TAtomicFileWriter::Sync() {
    if (Fd < 0 || Failed) return false;
    if (Synced) return true;
    if (!Flush()) return false;
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(Fd))))
        return Fail(ErrnoOf(::GetLastError()));
    Synced = true;
    return true;
}

// The move is written through to the disk before it returns, so there is no folder to flush
// later.
bool TAtomicFileWriter::Commit(TFolderFlush) {
    if (!Sync()) return false;
    const bool closed = ::_close(Fd) == 0;
    Fd = -1;
    if (!closed) return Fail(errno);
    if (!::MoveFileExA(TempPath.c_str(), Target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Fail(ErrnoOf(::GetLastError()));
    TempPath.clear();
    DropOld();
    return true;
}

} // namespace XVclUtil
