#pragma once
// Writing generated files: each file whole or not at all (a temporary name in the same folder,
// then a rename), with a clear message when a folder cannot be written.

#include <functional>
#include <map>
#include <string>

namespace SampleData {

// Creates dir (and its parents) when missing and checks that files can be made in it. Raises
// XVclUtil::EXGeneral with the reason.
void EnsureWritableFolder(const std::string& dir);

// Writes one file atomically; raises XVclUtil::EXGeneral naming the file on failure.
void WriteSampleFile(const std::string& path, const std::string& bytes);

// Makes a file with write(scratch) under a scratch name beside path, then writes its bytes to
// path as WriteSampleFile does (a link at path stays a link, a FIFO or device is refused). For
// writers that make a file of their own (the INI engine). write returns false with why set
// when it failed.
void WriteThroughScratch(
    const std::string& path,
    const std::function<bool(const std::string& scratch, std::string& why)>& write);

// Writes files (relative path -> bytes) below dir, creating subfolders; stripPrefix is removed
// from the front of every relative path first.
void WriteFiles(const std::map<std::string, std::string>& files, const std::string& dir,
                const std::string& stripPrefix = "");

} // namespace SampleData
