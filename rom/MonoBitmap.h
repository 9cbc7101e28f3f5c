#pragma once
// The display's mono bitmap record: 16-bit width, 16-bit height (little-endian), then rows of
// 8 pixels per byte, leftmost pixel in the most significant bit. A bit is 1 exactly when the
// source pixel's colour (its RGB, alpha ignored) is 0, pure black.
//
// Widths (row-major) and heights (rotated) that are not a multiple of 8 are padded with 0
// pixels to the next multiple of 8; the header holds the padded size.

#include "TPicture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Rom {

// The project's DISPLAYTYPE: the picture orientation of the whole ROM.
enum class TDisplayType { Horizontal = 0, Vertical = 1 };

using TBytes = std::vector<std::uint8_t>;

// Loads a BMP file, or BMP bytes held in memory, through the BMP reader; raises EPictureLoad
// naming the file (or `name`) when the picture cannot be read or its record would not fit an
// index entry.
TPicture LoadPicture(const std::string& fileName);
TPicture LoadPictureData(std::span<const std::uint8_t> data, const std::string& name);
// LoadPicture's checks and errors without decoding the pixels.
void CheckPicture(const std::string& fileName);

// Records in memory.
TBytes EncodeRowMajor(const TPicture& picture);
TBytes EncodeRotated(const TPicture& picture); // turned 90 degrees counter-clockwise
TBytes EncodeMonoRecord(const TPicture& picture, TDisplayType type);
// LoadPictureData and EncodeMonoRecord in one step, with the same result and the same errors;
// an uncompressed 1-bit picture goes from its rows to the record without the picture.
TBytes EncodeMonoData(std::span<const std::uint8_t> data, const std::string& name,
                      TDisplayType type);
// A picture file as its record, with what the build warns about: its size and its grey pixels
// (neither pure black nor pure white). The same errors as LoadPicture; a picture of two pure
// colours goes from its rows to the record without the picture.
struct TEncodedFile {
    TBytes Record;
    int Width = 0;
    int Height = 0;
    long long GreyPixels = 0;
};
TEncodedFile EncodePictureFile(const std::string& fileName, TDisplayType type);

// File to file, as the build's encoding steps: target is created or overwritten.
void EncodeRowMajor(const std::string& source, const std::string& target);
void EncodeRotated(const std::string& source, const std::string& target);
// Nothing happens when the trimmed source name is empty.
void EncodeMonoBitmap(const std::string& source, const std::string& target, TDisplayType type);

// A record read back: its stored picture in black and white, or a null picture when the bytes
// are not exactly one record.
TPicture DecodeMonoBitmap(std::span<const std::uint8_t> record);
// True when the bytes are exactly one record (header sizes agree with the length).
bool IsMonoRecord(std::span<const std::uint8_t> record);

} // namespace Rom
