#include "AbsDiskDriveTable.h"

#include <array>
#include <mutex>

namespace XVclUtil {

namespace {

struct TTable {
    std::mutex Lock;
    std::array<std::optional<TAbsDiskDriveEntry>, 26> Drives;
};

TTable& Table() {
    static TTable table;
    return table;
}

} // namespace

int TAbsDiskDriveTable::DriveNumberOf(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    return (letter >= 'A' && letter <= 'Z') ? letter - 'A' + 1 : 0;
}

bool TAbsDiskDriveTable::Map(char letter, const std::string& path, unsigned partition) {
    const int number = DriveNumberOf(letter);
    if (number == 0 || path.empty() || partition > 4) return false;
    std::lock_guard<std::mutex> guard(Table().Lock);
    Table().Drives[number - 1] = TAbsDiskDriveEntry{path, partition};
    return true;
}

void TAbsDiskDriveTable::Unmap(char letter) {
    const int number = DriveNumberOf(letter);
    if (number == 0) return;
    std::lock_guard<std::mutex> guard(Table().Lock);
    Table().Drives[number - 1].reset();
}

void TAbsDiskDriveTable::Clear() {
    std::lock_guard<std::mutex> guard(Table().Lock);
    for (auto& drive : Table().Drives) drive.reset();
}

std::optional<TAbsDiskDriveEntry> TAbsDiskDriveTable::Lookup(int driveNumber) {
    if (driveNumber < 1 || driveNumber > 26) return std::nullopt;
    std::lock_guard<std::mutex> guard(Table().Lock);
    return Table().Drives[driveNumber - 1];
}

} // namespace XVclUtil
