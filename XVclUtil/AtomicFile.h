#pragma once
// Files that hold the user's work are written to a temporary file in the same folder and then
// renamed over the target, so a crash, a kill or a full disk never leaves a half-written file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace XVclUtil {

// Streams a file into place: buffered writes to the temporary file, then Commit renames it
// over the target. Destroyed without a successful Commit, it removes the temporary file.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::string& path);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    bool IsOpen() const { return Fd >= 0; }
    void Write(const void* data, std::size_t size);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    // False when any write failed or the file could not be put in place.
    bool Commit();
    // Why the first failing step failed (the system's error text); empty before a failure.
    std::string ErrorText() const;

private:
    bool Flush();
    bool Fail(); // notes errno of the first failure; returns false

    std::string Path, TempPath;
    int Fd = -1;
    bool Failed = false;
    int ErrorNumber = 0;
    std::string Buffer;
};

// False when the data could not be written completely; the target is then untouched, no
// temporary file stays, and error (when given) says why.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string* error = nullptr);
bool WriteFileAtomically(const std::string& path, const std::string& data,
                         std::string* error = nullptr);
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data,
                         std::string* error = nullptr);

} // namespace XVclUtil
