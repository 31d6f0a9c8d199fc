// Fixture of the layering check: engine/ must not use ui/, which comes after it.
#pragma once
#include "ui/Control.h"
