#pragma once
// Human-readable lines about a transfer the simulated controller received.

#include "tools/controllersim/TSessionReport.h"

#include <string>

namespace ControllerSim {

// One line, e.g. "ROM image: 7168 blocks (458752 bytes), complete; NAKs 3, CRC errors 0, ...".
std::string DescribeSession(const TSessionReport& report);

} // namespace ControllerSim
