#pragma once
// Files that hold the user's work are written to a temporary file in the same folder, flushed
// to the disk and then renamed over the target, so a crash, a kill or a full disk never leaves
// a half-written file.
//
// On Linux the temporary is an unnamed file (O_TMPFILE) that gets a name only for the rename at
// the end, so a kill leaves nothing behind. Where that is not possible, the temporary is named
// "<target>.tmpXXXXXX"; leftovers of that pattern, from a writer that was killed, are removed
// at the next save of the same file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace XVclUtil {

// What a symbolic link at the target's name means.
enum class TLinkPolicy {
    Follow,  // the file the user named: the link's target is replaced, the link stays a link
    Replace, // a name this program chose inside a folder: the link itself is replaced
};

// When Commit flushes the folder that holds the renamed file.
enum class TFolderFlush {
    Now,   // before Commit returns: the new file is on the disk under its name
    Later, // left to the Commit of a second file in the same folder, which flushes both names
};

// Streams a file into place: buffered writes to the temporary file, then Commit renames it
// over the target. Destroyed without a successful Commit, it removes the temporary file. A
// target that exists and is not a regular file (folder, FIFO, device) is refused.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::string& path, TLinkPolicy links = TLinkPolicy::Follow);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    bool IsOpen() const { return Fd >= 0; }
    void Write(const void* data, std::size_t size);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    // Writes what is buffered and flushes the file to the disk, without putting it in place.
    // Lets a caller prepare several files before committing any. False on any failure.
    bool Sync();
    // Sync when not done yet, then rename over the target and flush the folder (Later: only
    // when the order in which this rename and a following one reach the disk does not
    // matter). False when any write failed or the file could not be put in place.
    bool Commit(TFolderFlush flush = TFolderFlush::Now);
    // Whether the regular file now at the target holds exactly these bytes.
    bool TargetHolds(std::span<const std::uint8_t> data) const;
    // Moves the file now at the target out of the way, to "<target>.tmpXXXXXX" in its folder
    // (a name the next save of the target clears away). Two files that belong together can so
    // be replaced one after the other while a crash leaves one of them missing, never an old
    // one beside a new one. Commit and DropOld remove the old file; a writer destroyed while it
    // is still set aside puts it back. True when nothing is at the target.
    bool SetAsideOld();
    // Removes the old file that SetAsideOld moved away: the new one is the only one wanted.
    void DropOld();
    // Why the first failing step failed (the system's error text); empty before a failure.
    std::string ErrorText() const;
    // The file that Commit replaces: the path given, or what its links lead to.
    const std::string& TargetPath() const { return Target; }
    const std::string& TargetFolder() const { return Folder; }

private:
    bool Open();
    bool Flush();
    bool LinkIn(); // gives an unnamed temporary its name
    bool Fail(int error);
    void RestoreOld();

    std::string Target, Folder, TempPath, AsidePath;
    int Fd = -1;
    bool Unnamed = false, Synced = false, Failed = false;
    int ErrorNumber = 0;
    std::string Buffer;
};

// False when the data could not be written completely; the target is then untouched, no
// temporary file stays, and error (when given) says why.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string* error = nullptr, TLinkPolicy links = TLinkPolicy::Follow);
bool WriteFileAtomically(const std::string& path, const std::string& data,
                         std::string* error = nullptr, TLinkPolicy links = TLinkPolicy::Follow);
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data,
                         std::string* error = nullptr, TLinkPolicy links = TLinkPolicy::Follow);

} // namespace XVclUtil
