#pragma once
// Byte layout of the display's ROM image, its packed blocks and the configuration block.
// Offsets are file offsets into the image unless they say device address.

#include <cstddef>
#include <cstdint>

namespace Rom {

// The whole image: the flash memory of the display from device address 0x8000 on.
inline constexpr std::size_t RomImageSize = 0x70000; // 458,752 bytes
inline constexpr std::uint32_t RomDeviceBase = 0x8000;

// Head: 128 copies of the CRC-8 table, overlaid by the page check area and the signature.
inline constexpr std::size_t CrcTableCopies = 128;
inline constexpr std::size_t CrcAreaSize = 0x8000;
inline constexpr std::size_t PageCheckAreaOffset = 0x800; // 0x800..0x87F zeroed
inline constexpr std::size_t PageCheckAreaSize = 0x80;
inline constexpr std::size_t PageCheckOffset = 0x808;
inline constexpr std::size_t PageCount = 104;
inline constexpr std::size_t PageSize = 0x1000;
inline constexpr std::size_t PagedAreaOffset = 0x8000;
inline constexpr std::size_t SignatureOffset = 0x7FF0;
inline constexpr std::size_t SignatureSize = 16;
inline constexpr char SignatureText[] = "PX KRV LCD MONO"; // preceded by one 0x00 byte

// ROM picture index and picture data.
inline constexpr std::size_t PictureEntrySize = 6;
inline constexpr std::size_t RomIndexOffset = 0x8000;
inline constexpr std::size_t RomIndexEntries = 256;
inline constexpr std::size_t RomIndexSize = RomIndexEntries * PictureEntrySize; // 1,536
inline constexpr std::size_t PictureDataOffset = 0x8600;
inline constexpr std::size_t PictureDataCapacity = 0x42A00; // 272,896 bytes up to the code table
inline constexpr std::uint32_t FirstPictureAddress = 0x10600;

// Fixed index entries that describe the packed blocks.
inline constexpr int PmIndexEntry = 140;
inline constexpr int UmIndexEntry = 141;
inline constexpr int UbfIndexEntry = 142;
inline constexpr std::uint8_t FixedEntryBytes[3][PictureEntrySize] = {
    {0x50, 0x40, 0x00, 0xFF, 0xFF, 0x01},
    {0x50, 0xC0, 0x00, 0xFF, 0xFF, 0x01},
    {0x50, 0xD0, 0x00, 0xFF, 0xFF, 0x01},
};

// Blocks behind the picture data.
inline constexpr std::size_t CodeTableBlockOffset = 0x4B000;
inline constexpr std::size_t CodeTableBlockSize = 0x1000;
inline constexpr std::size_t PmBlockOffset = 0x4C000;
inline constexpr std::size_t PmBlockSize = 0x8000;
inline constexpr std::uint32_t PmBlockAddress = 0x54000;
inline constexpr std::size_t PmEntries = 4;
inline constexpr std::size_t UmBlockOffset = 0x54000;
inline constexpr std::size_t UmBlockSize = 0x1000;
inline constexpr std::size_t UmEntries = 3;
inline constexpr std::size_t UbfBlockOffset = 0x55000;
inline constexpr std::size_t UbfBlockSize = 0x1B000; // 110,592 bytes
inline constexpr std::size_t MaxFloorPictures = 256;

// Numbered picture set: a 256-entry index, then the pictures.
inline constexpr std::size_t SetEntries = 256;
inline constexpr std::size_t SetIndexSize = SetEntries * PictureEntrySize; // 0x600

// Configuration block (also the .BIN side file).
inline constexpr std::size_t ConfigBlockSize = 0x3C00; // 15,360 bytes
inline constexpr std::size_t CfiOffset = 0x0000;
inline constexpr std::size_t CfiSize = 3328;
inline constexpr std::size_t ConfigCrcTableOffset = 0x0D00;
inline constexpr std::size_t MessageTextsOffset = 0x0E00;
inline constexpr std::size_t CodeTablesOffset = 0x1400;
inline constexpr std::size_t CodeTableCount = 6;
inline constexpr std::size_t CodeTableRows = 256;
inline constexpr std::size_t OptionsOffset = 0x2000;
inline constexpr std::size_t ConfigCheckOffset = 0x2BFF;
inline constexpr std::size_t IfiOffset = 0x2C00;
inline constexpr std::size_t IfiCapacity = 0x1000;

// Option bytes of the configuration block.
inline constexpr char OptionSignature[] = "KRVFLLCD02";
inline constexpr std::size_t OptArrowSet = 0x2011;
inline constexpr std::size_t OptFloorSet = 0x2012;
inline constexpr std::size_t OptDateFormat = 0x2013;
inline constexpr std::size_t OptCustomerTitle = 0x2014;
inline constexpr std::size_t OptDefMsg = 0x2016;
inline constexpr std::size_t OptDateTime = 0x2017;
inline constexpr std::size_t OptOutDate = 0x201E;
inline constexpr std::size_t OptWeekType = 0x2024;
inline constexpr std::size_t OptFlFrame = 0x2026;
inline constexpr std::size_t OptDefCodeTable = 0x2027;
inline constexpr std::size_t OptIdCode = 0x2028;
inline constexpr std::size_t OptLogoEnable = 0x2030;
inline constexpr std::size_t OptLogoTime = 0x2031;
inline constexpr std::size_t OptPwrSaving = 0x2032;
inline constexpr std::size_t OptDpStyle = 0x2033;

// Code-table block: configuration bytes 0x1400..0x23FE, then their CRC-8.
inline constexpr std::size_t CodeTableBlockSource = 0x1400;

// Largest picture an index entry can describe (20-bit size field).
inline constexpr std::size_t MaxEntrySize = 0xFFFFF;

} // namespace Rom
