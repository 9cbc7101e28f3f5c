#pragma once
// The message variant mask always selects two of the four variants.

namespace AppCore {

// Maps the check boxes' raw mask (0..15) to the stored two-of-four mask.
int NormaliseDefMsg(int rawMask);

} // namespace AppCore
