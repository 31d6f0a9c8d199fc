// Fixture of the layering check: ui/ may use engine/.
#pragma once
#include "engine/Upward.h"
