// What every binary resource loader does first and checks throughout: open
// the file at the resource's place (a loose file, or an entry inside a
// package), check the leading version number, and bound every count read
// from the file by the bytes that are left of the resource, so that a damaged
// count is refused before anything is allocated for it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/FileStream.h"
#include "engine/resource/Resource.h"
#include "platform/Math.h"

// The resource's name for error texts (before its first load succeeds only
// the requested path is known).
std::string ResourceReportName(const CResource& resource);

// Opens path, seeks to the resource's package offset and reads the version
// float; 1 when it equals version exactly. 0 with the error report set
// (10001 unopenable, 10004 wrong version, 10000 too short); the stream is closed then.
int OpenResourceFile(CFileStream& stream, const CResource& resource, const char* path, float version);

// Bytes between the stream's position and the end of the resource (the end of
// its package entry, or of the loose file).
uint32_t ResourceBytesLeft(const CFileStream& stream, const CResource& resource);

// True when count records of at least minBytes each can still follow.
bool CountFits(const CFileStream& stream, const CResource& resource, uint64_t count, uint64_t minBytes);

// Sets error 10000 "<name> : <what>" and returns 0.
int ReportDamagedResource(const CResource& resource, const char* what);

// Three floats in x, y, z order (bounds, positions and rotations of the records).
inline bool ReadVec3(CFileStream& s, platform::Vec3& v) { return s.ReadFloat(v.x) && s.ReadFloat(v.y) && s.ReadFloat(v.z); }

// Chains the resource's name onto the report's text ("%s\n<- %s").
void ChainResourceFailure(const CResource& resource);
