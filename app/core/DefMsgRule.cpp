#include "app/core/DefMsgRule.h"

namespace AppCore {

int NormaliseDefMsg(int rawMask) {
    // Index: raw mask of the four boxes; value: the two-of-four mask stored for it.
    static constexpr int stored[16] = {3, 3, 3, 3, 12, 5, 6, 5, 10, 9, 10, 3, 12, 12, 12, 3};
    return stored[rawMask & 15];
}

} // namespace AppCore
