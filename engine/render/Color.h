#pragma once

// Colours are the engine's value type: four floats r, g, b, a.
#include "engine/core/Values.h"
