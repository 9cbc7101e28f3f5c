#include "TPcUart.h"

namespace KrvCtrl {

using namespace XVclCtrl;

TPcUart::TPcUart(XVclUtil::TComponent* owner) : TCustomUart(owner) {}

TPcUart::~TPcUart() = default;

namespace {

using TValue = std::int64_t;

template <class E> E As(TValue v) {
    return static_cast<E>(v);
}

} // namespace

const std::vector<TPcUart::TPublishedProperty>& TPcUart::PublishedProperties() {
    static const std::vector<TPublishedProperty> properties = {
        {"UartPortNumber", [](const TPcUart& u) -> TValue { return u.UartPortNumber(); },
         [](TPcUart& u, TValue v) { u.pw_UartPortNumber(As<uint32_t>(v)); }},
        {"UartBaud", [](const TPcUart& u) -> TValue { return u.UartBaud(); },
         [](TPcUart& u, TValue v) { u.pw_UartBaud(As<uint32_t>(v)); }},
        {"UartBitsPerByte", [](const TPcUart& u) -> TValue { return u.UartBitsPerByte(); },
         [](TPcUart& u, TValue v) { u.pw_UartBitsPerByte(As<uint32_t>(v)); }},
        {"UartParityBit", [](const TPcUart& u) -> TValue { return u.UartParityBit; },
         [](TPcUart& u, TValue v) { u.UartParityBit = As<TUartParityBit>(v); }},
        {"UartStopBits", [](const TPcUart& u) -> TValue { return u.UartStopBits; },
         [](TPcUart& u, TValue v) { u.UartStopBits = As<TUartStopBits>(v); }},
        {"FlowCtrlStyle", [](const TPcUart& u) -> TValue { return u.FlowCtrlStyle(); },
         [](TPcUart& u, TValue v) { u.pw_FlowCtrlStyle(As<TFlowCtrlStyle>(v)); }},
        {"FlowCtrlHwRxd", [](const TPcUart& u) -> TValue { return u.FlowCtrlHwRxd(); },
         [](TPcUart& u, TValue v) { u.pw_FlowCtrlHwRxd(As<TFlowCtrlHwRxd>(v)); }},
        {"FlowCtrlHwTxd", [](const TPcUart& u) -> TValue { return u.FlowCtrlHwTxd(); },
         [](TPcUart& u, TValue v) { u.pw_FlowCtrlHwTxd(As<TFlowCtrlHwTxd>(v)); }},
        {"SysUartWriteStyle", [](const TPcUart& u) -> TValue { return u.SysUartWriteStyle; },
         [](TPcUart& u, TValue v) { u.SysUartWriteStyle = As<TSysUartWriteStyle>(v); }},
        {"SysUartTxdQueueSize", [](const TPcUart& u) -> TValue { return u.SysUartTxdQueueSize(); },
         [](TPcUart& u, TValue v) { u.pw_SysUartTxdQueueSize(As<uint32_t>(v)); }},
        {"SysUartRxdQueueSize", [](const TPcUart& u) -> TValue { return u.SysUartRxdQueueSize(); },
         [](TPcUart& u, TValue v) { u.pw_SysUartRxdQueueSize(As<uint32_t>(v)); }},
        {"SysUartRxdIntervalTimeout",
         [](const TPcUart& u) -> TValue { return u.SysUartRxdIntervalTimeout; },
         [](TPcUart& u, TValue v) { u.SysUartRxdIntervalTimeout = As<uint32_t>(v); }},
        {"RxdFilter_Style", [](const TPcUart& u) -> TValue { return u.RxdFilter_Style.load(); },
         [](TPcUart& u, TValue v) { u.RxdFilter_Style = As<TRxdFilter>(v); }},
        {"RxdFilter_DelimiterChar",
         [](const TPcUart& u) -> TValue { return u.RxdFilter_DelimiterChar.load(); },
         [](TPcUart& u, TValue v) { u.RxdFilter_DelimiterChar = As<char>(v); }},
        {"RxdFilter_BytesOfPacket",
         [](const TPcUart& u) -> TValue { return u.RxdFilter_BytesOfPacket(); },
         [](TPcUart& u, TValue v) { u.pw_RxdFilter_BytesOfPacket(As<uint32_t>(v)); }},
    };
    return properties;
}

bool TPcUart::SetProperty(const std::string& name, std::int64_t value) {
    for (const TPublishedProperty& p : PublishedProperties()) {
        if (name != p.Name) continue;
        p.Set(*this, value);
        return true;
    }
    return false;
}

std::optional<std::int64_t> TPcUart::Property(const std::string& name) const {
    for (const TPublishedProperty& p : PublishedProperties())
        if (name == p.Name) return p.Get(*this);
    return std::nullopt;
}

} // namespace KrvCtrl
