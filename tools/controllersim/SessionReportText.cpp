#include "tools/controllersim/SessionReportText.h"

#include "XVclUtil/Printf.h"

namespace ControllerSim {

namespace {
int FromBcd(std::uint8_t b) {
    return (b >> 4) * 10 + (b & 15);
}
} // namespace

std::string DescribeSession(const TSessionReport& r) {
    const std::string counts =
        XVclUtil::Format("frames %u, NAKs %u, CRC errors %u, index errors %u, duplicates %u",
                         r.Frames, r.NaksSent, r.CrcErrors, r.IndexErrors, r.Duplicates);
    if (r.Command == 1) {
        const auto& d = r.DateTime;
        return XVclUtil::Format("date/time: 20%02d-%02d-%02d day %u %02d:%02d:%02d; %s",
                                FromBcd(d[0]), FromBcd(d[1]), FromBcd(d[2]), d[3], FromBcd(d[4]),
                                FromBcd(d[5]), FromBcd(d[6]), counts.c_str());
    }
    return XVclUtil::Format("%s: %u blocks (%zu bytes), %s; %s",
                            r.Command == 4 ? "application" : "ROM image", r.Blocks, r.Data.size(),
                            r.Complete ? "complete" : "closed after silence", counts.c_str());
}

} // namespace ControllerSim
