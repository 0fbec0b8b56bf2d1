// The configuration a new reader ships with (docs/readersim.md lists it).
#pragma once

#include "ReaderState.h"

namespace sim {

ParameterMemory defaultParameterMemory();

} // namespace sim
