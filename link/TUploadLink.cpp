#include "link/TUploadLink.h"

namespace Link {

TUploadLink::TUploadLink(XVclCtrl::TCustomUart& port, TUploadView& view, TResponseTimer& timer)
    : Protocol(view, timer, [this](unsigned bytes, const void* data) { return Send(bytes, data); }),
      Commands(Protocol, view, timer, port), Port(port) {
    Port.OnRxdDatas = [this](XVclUtil::TComponent* sender, int bytes, void* datas) {
        if (OnTrace) OnTrace('<', datas, bytes);
        if (OnIntercept && OnIntercept()) return;
        Protocol.PcUart1RxdDatas(sender, bytes, datas);
    };
}

TUploadLink::~TUploadLink() {
    Port.OnRxdDatas = nullptr;
}

int TUploadLink::Send(unsigned bytes, const void* data) {
    if (OnTrace) OnTrace('>', data, static_cast<int>(bytes));
    return Port.SendData(bytes, data);
}

bool TUploadLink::StartTransfer(TTransferMode mode, const std::string& file) {
    switch (mode) {
    case TTransferMode::DateTimeSync:
        Commands.DateTimeSync();
        return true;
    case TTransferMode::RomImage:
        return Commands.UploadRomImage(file);
    case TTransferMode::AppUpgrade:
        return Commands.UpgradeAp(file);
    case TTransferMode::Idle:
        break;
    }
    return false;
}

unsigned TUploadLink::TotalBlocks() const {
    return Protocol.State.Mode == TTransferMode::AppUpgrade ? AppBlockCount
                                                            : Protocol.State.RomBlockCount;
}

} // namespace Link
