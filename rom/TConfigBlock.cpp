#include "TConfigBlock.h"

#include "XVclUtil/Crc8.h"

#include <algorithm>
#include <cstring>

namespace Rom {

const std::array<TDeviceText, 15> DeviceTexts = {{
    {0x0E00, "Wait host data. "},
    {0x0E10, "Host not ready !"},
    {0x0E20, "TransmitTimeout "},
    {0x0E30, "DataCRCError !! "},
    {0x0E40, "DataErrOverflow "},
    {0x0E50, "CMD Undefined ! "},
    {0x0E60, "* Receive data *"},
    {0x0E70, "=Update CFG Mem="},
    {0x0E80, "******************************"},
    {0x0E9E, "*  Flash ROM data failed!    *"},
    {0x0EBC, "*                            *"},
    {0x0EDA, "* Please retry download data *"},
    {0x0EF8, "*        from PC host        *"},
    {0x0F16, "@  Power on Flash ROM check  @"},
    {0x0F34, "*   please wait a moment..   *"},
}};

namespace {

std::uint8_t Byte(int v) {
    return static_cast<std::uint8_t>(v);
}

// Copies up to n characters of text, the rest stays 0.
void PutText(std::uint8_t* out, const std::string& text, std::size_t n) {
    std::memcpy(out, text.data(), std::min(n, text.size()));
}

void FillOptions(std::uint8_t* d, const TRomOptions& o) {
    std::memcpy(d + OptionsOffset, OptionSignature, 10);
    d[0x200A] = 1;
    d[0x200B] = 2;
    d[0x200C] = 0xFF;
    d[0x200D] = 0x70;
    d[OptArrowSet] = Byte(o.DEF_DIR + 30);
    d[OptFloorSet] = Byte(o.DEF_FL + 10);
    d[OptDateFormat] = Byte(o.DATEFORMAT ? 1 : 0);
    d[OptCustomerTitle] = Byte(o.CUSTOMERTITLE ? 1 : 0);
    d[OptDefMsg] = Byte(o.DEF_MSG);
    d[OptDateTime] = Byte(o.DPDATETIME ? 1 : 0);
    PutText(d + OptOutDate, o.OUTDATE.empty() ? std::string("000000") : o.OUTDATE, 6);
    d[OptWeekType] = Byte(o.WEEKTYPE ? 1 : 0);
    d[OptFlFrame] = Byte(o.FLFRAME ? 1 : 0);
    d[OptDefCodeTable] = Byte(o.DEFCODETABLE);
    PutText(d + OptIdCode, o.CUSIDCODE.empty() ? std::string(DefaultIdCode) : o.CUSIDCODE, 4);
    d[OptLogoEnable] = Byte(o.CUSLOGOENABLE ? 1 : 0);
    d[OptLogoTime] = Byte(o.CUSLOGOENABLE ? o.SWAPTIME + 1 : 0);
    d[OptPwrSaving] = Byte(o.PWRSAVING);
    d[OptDpStyle] = Byte(o.DPSTYLE);
}

} // namespace

void TConfigBlock::Fill(const TRomOptions& options, const TCodeTables& tables) {
    std::uint8_t* d = Data.data();
    FillOptions(d, options);
    for (std::size_t t = 0; t < CodeTableCount; ++t) {
        std::uint8_t* table = d + CodeTablesOffset + t * 512;
        std::memcpy(table, tables.Kind[t].data(), CodeTableRows);
        std::memcpy(table + CodeTableRows, tables.Value[t].data(), CodeTableRows);
    }
    std::memcpy(d + ConfigCrcTableOffset, XVclUtil::Crc8Table.data(), 256);
    for (const TDeviceText& t : DeviceTexts) std::memcpy(d + t.Offset, t.Text, std::strlen(t.Text));
}

void TConfigBlock::SetCfi(std::span<const std::uint8_t> cfi) {
    std::memcpy(Data.data() + CfiOffset, cfi.data(), std::min(cfi.size(), CfiSize));
}

bool TConfigBlock::SetIfi(std::span<const std::uint8_t> ifi) {
    if (ifi.size() > IfiCapacity) return false;
    std::memcpy(Data.data() + IfiOffset, ifi.data(), ifi.size());
    return true;
}

void TConfigBlock::SealCheckByte() {
    Data[ConfigCheckOffset] = 0;
    Data[ConfigCheckOffset] = XVclUtil::Crc8(Data.data() + ConfigCrcTableOffset,
                                             ConfigCheckOffset - ConfigCrcTableOffset + 1);
}

std::array<std::uint8_t, CodeTableBlockSize> TConfigBlock::CodeTableBlock() const {
    std::array<std::uint8_t, CodeTableBlockSize> block{};
    std::memcpy(block.data(), Data.data() + CodeTableBlockSource, CodeTableBlockSize);
    return block;
}

TDecodedCodeTableBlock DecodeCodeTableBlock(std::span<const std::uint8_t> block) {
    TDecodedCodeTableBlock r;
    if (block.size() < CodeTableBlockSize) return r;
    // Offsets below are configuration offsets; the block starts at configuration 0x1400.
    auto at = [&](std::size_t configOffset) { return block[configOffset - CodeTableBlockSource]; };
    auto text = [&](std::size_t configOffset, std::size_t n) {
        std::string s(reinterpret_cast<const char*>(&block[configOffset - CodeTableBlockSource]),
                      n);
        return s.substr(0, s.find('\0'));
    };
    for (std::size_t t = 0; t < CodeTableCount; ++t)
        for (std::size_t row = 0; row < CodeTableRows; ++row) {
            r.Tables.Kind[t][row] = block[t * 512 + row];
            r.Tables.Value[t][row] = block[t * 512 + CodeTableRows + row];
        }
    r.SignatureOk = text(OptionsOffset, 10) == OptionSignature && at(0x200A) == 1 &&
                    at(0x200B) == 2 && at(0x200C) == 0xFF && at(0x200D) == 0x70;
    TRomOptions& o = r.Options;
    r.ArrowSetEntry = at(OptArrowSet);
    r.FloorSetEntry = at(OptFloorSet);
    o.DEF_DIR = r.ArrowSetEntry - 30;
    o.DEF_FL = r.FloorSetEntry - 10;
    o.DATEFORMAT = at(OptDateFormat);
    o.CUSTOMERTITLE = at(OptCustomerTitle);
    o.DEF_MSG = at(OptDefMsg);
    o.DPDATETIME = at(OptDateTime);
    o.OUTDATE = text(OptOutDate, 6);
    o.WEEKTYPE = at(OptWeekType);
    o.FLFRAME = at(OptFlFrame);
    o.DEFCODETABLE = at(OptDefCodeTable);
    o.CUSIDCODE = text(OptIdCode, 4);
    o.CUSLOGOENABLE = at(OptLogoEnable);
    r.LogoSeconds = at(OptLogoTime);
    o.SWAPTIME = r.LogoSeconds > 0 ? r.LogoSeconds - 1 : 0;
    o.PWRSAVING = at(OptPwrSaving);
    o.DPSTYLE = at(OptDpStyle);
    return r;
}

} // namespace Rom
