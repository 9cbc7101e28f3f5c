#pragma once
// Where `zkf780a disk read` puts its sectors: OUTFILE taken as what it is. A new name or a
// regular file is replaced atomically; a symbolic link is followed to its target and stays a
// link; a character device or a FIFO is written in place; anything else (a block device, a
// folder, a socket, a link to nothing) is refused. A device node is never replaced by a file.

#include "XVclUtil/AtomicFile.h"

#include <cstddef>
#include <memory>
#include <string>
#include <sys/types.h>

namespace Cli {

class TDiskOutputFile {
public:
    TDiskOutputFile() = default;
    ~TDiskOutputFile();
    TDiskOutputFile(const TDiskOutputFile&) = delete;
    TDiskOutputFile& operator=(const TDiskOutputFile&) = delete;

    // False, with the reason in error, when OUTFILE cannot or must not be written.
    bool Open(const std::string& path, std::string& error);
    // False once a write failed; Commit then reports it.
    bool Write(const void* data, std::size_t size);
    // Puts a regular file in place; false, with the reason, when any step failed.
    bool Commit(std::string& error);

private:
    bool OpenInPlace(const std::string& path, mode_t mode, std::string& error);

    std::unique_ptr<XVclUtil::TAtomicFileWriter> Atomic;
    int Fd = -1;        // a character device or FIFO, written in place
    int WriteError = 0; // errno of the first failed write in place
};

} // namespace Cli
