#pragma once
// Why an open, read or write of TXAbsDiskIO failed, beyond its result code: result 1 covers
// many different situations, and a user needs to know which one to act on.

#include <string>

namespace XVclUtil {

enum class TAbsDiskCause {
    None,
    NotMapped,        // the drive letter stands for nothing
    NotADisk,         // the path is neither a disk image file nor a block device
    CannotOpen,       // the system refused the open (see the error number)
    LockHeld,         // another process holds the volume or the disk
    Mounted,          // a file system on the volume (physical mode: on the disk) is mounted
    LoopOverlap,      // a mounted loop device over the same backing file covers these bytes
    NoSize,           // the disk's size or sector size cannot be read, or it has no sector
    NoPartitionTable, // logical mode: the disk has no MBR partition table
    GptDisk,          // logical mode: the MBR only protects a GUID partition table
    NoVolume,         // logical mode: the partition table lists no volume
    EmptySlot,        // logical mode: the chosen partition slot is empty
    UnusableEntry,    // logical mode: the entry is an extended container or lies outside the disk
    NoVolumeFound,    // 9x: the driver or VWIN32 found no usable volume on the drive
    IoError,          // a transfer failed (see the error number)
};

// One line of text for a cause, with the system's error text when errorNumber (errno, or
// GetLastError on Windows) is not 0.
std::string AbsDiskCauseText(TAbsDiskCause cause, int errorNumber = 0);

} // namespace XVclUtil
