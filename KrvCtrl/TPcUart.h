#pragma once
// The serial port component as a form places it: TCustomUart with its properties published by
// name, in order, so that a form description sets them through their writers (and meets their
// rules and error boxes). It adds no data and no behaviour.

#include "XVclCtrl/TCustomUart.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace KrvCtrl {

class TPcUart : public XVclCtrl::TCustomUart {
public:
    explicit TPcUart(XVclUtil::TComponent* owner = nullptr);
    ~TPcUart() override;

    // One published property: enumerations and characters are read and written as their
    // numbers, as a form description stores them.
    struct TPublishedProperty {
        const char* Name;
        std::int64_t (*Get)(const TPcUart&);
        void (*Set)(TPcUart&, std::int64_t);
    };
    // In publishing order.
    static const std::vector<TPublishedProperty>& PublishedProperties();
    // Sets a published property through its writer; false when there is none of that name.
    bool SetProperty(const std::string& name, std::int64_t value);
    // A published property's value; none when there is no property of that name.
    std::optional<std::int64_t> Property(const std::string& name) const;
};

} // namespace KrvCtrl
