#pragma once
// Small file routines of the build: copy file contents into memory areas and delete numbered
// work files. Each has a form on a work folder and a form on plain file names.
//
// The copies never write past the destination: they copy at most dest.size() bytes and
// return how many they copied.

#include "TWorkFolder.h"

#include <cstdint>
#include <span>
#include <string>

namespace Rom {

// Bytes start..end-of-file of the file into dest. Nothing happens for a blank name.
std::size_t CopyFileTail(std::span<std::uint8_t> dest, const TWorkFolder& folder,
                         const std::string& name, std::size_t start);
std::size_t CopyFileTail(std::span<std::uint8_t> dest, const std::string& fileName,
                         std::size_t start);

// Bytes start..end-1; a shorter file gives what it has, the rest of dest keeps its contents.
std::size_t CopyFileRange(std::span<std::uint8_t> dest, const TWorkFolder& folder,
                          const std::string& name, std::size_t start, std::size_t end);
std::size_t CopyFileRange(std::span<std::uint8_t> dest, const std::string& fileName,
                          std::size_t start, std::size_t end);

// Deletes prefix0 .. prefix(count-1) where they exist (decimal numbers, no padding).
void DeleteNumberedFiles(TWorkFolder& folder, const std::string& prefix, int count);
void DeleteNumberedFiles(const std::string& prefix, int count);

} // namespace Rom
