#include "AbsDiskCause.h"

#include "XVclUtil/SystemError.h"

namespace XVclUtil {

namespace {

const char* BaseText(TAbsDiskCause cause) {
    switch (cause) {
    case TAbsDiskCause::None:
        return "";
    case TAbsDiskCause::NotMapped:
        return "the drive letter is not mapped to a disk";
    case TAbsDiskCause::NotADisk:
        return "the drive is neither a disk image file nor a block device";
    case TAbsDiskCause::CannotOpen:
        return "the disk cannot be opened";
    case TAbsDiskCause::LockHeld:
        return "the lock is held by another process";
    case TAbsDiskCause::Mounted:
        return "a file system on it is mounted";
    case TAbsDiskCause::LoopOverlap:
        return "a mounted loop device over the same file covers these sectors";
    case TAbsDiskCause::NoSize:
        return "the disk's size cannot be read, or it holds no whole sector";
    case TAbsDiskCause::NoPartitionTable:
        return "no partition table";
    case TAbsDiskCause::GptDisk:
        return "no usable volume: the disk has a GUID partition table (GPT)";
    case TAbsDiskCause::NoVolume:
        return "no usable volume: the partition table lists none";
    case TAbsDiskCause::EmptySlot:
        return "empty partition slot";
    case TAbsDiskCause::UnusableEntry:
        return "the partition entry is an extended container or lies outside the disk";
    case TAbsDiskCause::NoVolumeFound:
        return "no usable volume on the drive";
    case TAbsDiskCause::IoError:
        return "the transfer failed";
    }
    return "";
}

} // namespace

std::string AbsDiskCauseText(TAbsDiskCause cause, int errorNumber) {
    std::string text = BaseText(cause);
    if (errorNumber != 0 && !text.empty()) text += ": " + SystemErrorText(errorNumber);
    return text;
}

} // namespace XVclUtil
