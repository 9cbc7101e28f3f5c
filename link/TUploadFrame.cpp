#include "link/TUploadFrame.h"

#include "XVclUtil/Crc8.h"
#include "XVclUtil/EXGeneral.h"

#include <cstring>

namespace Link {

std::uint8_t TUploadFrame::ComputeCrc(const std::uint8_t* frame) {
    return XVclUtil::Crc8(frame, FrameSize - 1);
}

void TUploadFrame::Fill(std::uint8_t command, std::uint8_t indexHigh, std::uint8_t indexLow,
                        const std::uint8_t* data) {
    Bytes[0] = command;
    Bytes[1] = indexHigh;
    Bytes[2] = indexLow;
    std::memcpy(&Bytes[3], data, FrameDataSize);
    Bytes[FrameSize - 1] = ComputeCrc(Bytes.data());
}

void TUploadFrame::BuildDateTime(const TLocalTime& now) {
    std::uint8_t record[FrameDataSize] = {};
    record[0] = ToBcd(now.Year % 100);
    record[1] = ToBcd(now.Month);
    record[2] = ToBcd(now.Day);
    record[3] = static_cast<std::uint8_t>(now.DayOfWeek);
    record[4] = ToBcd(now.Hour);
    record[5] = ToBcd(now.Minute);
    record[6] = ToBcd(now.Second);
    Fill(CmdDateTime, 0x00, 0x01, record);
}

void TUploadFrame::BuildRomBlock(const std::uint8_t* image, unsigned n) {
    if (n < 1 || n > MaxRomBlockCount)
        throw XVclUtil::EXGeneral("Err: ROM block %u out of range", n);
    const unsigned i = n - 1;
    Fill(CmdRomBlock, static_cast<std::uint8_t>(i / 64), static_cast<std::uint8_t>(i % 64),
         image + static_cast<std::size_t>(i) * FrameDataSize);
}

void TUploadFrame::BuildAppBlock(const std::uint8_t* image, unsigned n) {
    if (n < 1 || n > AppBlockCount)
        throw XVclUtil::EXGeneral("Err: application block %u out of range", n);
    const std::size_t v = n - 1 + AppRegionOffset;
    Fill(CmdAppBlock, static_cast<std::uint8_t>((v / 64) % 256), static_cast<std::uint8_t>(v % 64),
         image + AppRegionOffset + static_cast<std::size_t>(n - 1) * FrameDataSize);
}

} // namespace Link
