#pragma once
// The hourglass cursor for the lifetime of the guard; nested guards stack.

namespace AppUi {

class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

} // namespace AppUi
