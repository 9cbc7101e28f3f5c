#pragma once
// One connection to the VRC-780A as the window's Make page and the command-line tool both
// present it: the serial port component, the upload protocol and its commands, and the
// response timer, wired together once. The presenter supplies the view (widgets or a
// terminal), the timer (the window's Timer1 or a timer of the libraries' own loop) and the
// port, and calls Timer1Timer at each expiry of its timer.

#include "link/TResponseTimer.h"
#include "link/TUploadCommands.h"
#include "link/TUploadProtocol.h"
#include "link/TUploadView.h"

#include "XVclCtrl/TCustomUart.h"

#include <functional>
#include <string>

namespace Link {

class TUploadLink {
public:
    TUploadLink(XVclCtrl::TCustomUart& port, TUploadView& view, TResponseTimer& timer);
    ~TUploadLink(); // the port stops reporting to the protocol
    TUploadLink(const TUploadLink&) = delete;
    TUploadLink& operator=(const TUploadLink&) = delete;

    // Timer1's expiry.
    void Timer1Timer(void* sender) { Protocol.Timer1Timer(sender); }
    // Starts a transfer of mode on the connected port: the date/time sync, or the upload or
    // upgrade of file. False when it did not start (a refused file; the lines say why).
    bool StartTransfer(TTransferMode mode, const std::string& file = {});
    // The blocks the running (or last) transfer counts to, for the progress.
    unsigned TotalBlocks() const;

    // Every chunk of bytes sent ('>') and received ('<'); unassigned: nothing is traced.
    std::function<void(char direction, const void* data, int bytes)> OnTrace;
    // Asked before received bytes reach the protocol; true takes them away from it (the
    // command line stops a transfer there once a signal came).
    std::function<bool()> OnIntercept;

    TUploadProtocol Protocol;
    TUploadCommands Commands;

private:
    int Send(unsigned bytes, const void* data);

    XVclCtrl::TCustomUart& Port;
};

} // namespace Link
