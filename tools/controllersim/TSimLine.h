#pragma once
// The controller's end of a serial line: a device opened raw at a given baud rate, or (POSIX) a
// fresh pseudo-terminal pair whose other end a PC-side program opens by its path.

#include "tools/simline/TSimLine.h"

namespace ControllerSim {

using SimLine::TSimLine;

} // namespace ControllerSim
