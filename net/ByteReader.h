// The bounds-checked byte reader lives in the platform layer, where the patcher
// can use it too; the network code keeps its short name.
#pragma once

#include "platform/ByteReader.h"

using platform::CByteReader;
