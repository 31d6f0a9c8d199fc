// Shared pieces of the fuzz targets: a workspace folder for readers that only
// take a file, kept in memory-backed storage when the machine has it, and the
// error report and message texts that loaders report through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/NetPacket.h"

namespace fuzz {

// The folder of this process's files; made at the first call, removed at exit.
const std::string& Workspace();

// Writes the bytes to Workspace()/relative (parent folders made) and gives
// back the full path.
std::string WriteInput(const std::string& relative, const uint8_t* data, size_t size);

// The error report and message table loaders reach; set up at the first call.
void UseReports();

// Splits an input at the first occurrence of the separator: the harness of a
// target with two inputs (a file and what is done with it) reads both from one
// input. Without the separator all bytes go to the first part.
std::vector<uint8_t> SplitInput(const uint8_t* data, size_t size, const char* separator, std::vector<uint8_t>* rest);

// A received packet from an input (at least one byte): the first byte picks
// the id from ids, the rest is the payload, cut to a packet's room.
NetPacket PacketFromInput(const uint16_t* ids, size_t idCount, const uint8_t* data, size_t size);

}  // namespace fuzz
