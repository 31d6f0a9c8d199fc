// One object record of a *.DUI layout file, read into or written from a UI
// element. The format (all integers 32-bit and floats single precision, little
// endian; strings as CFileStream's length-prefixed form):
//
//   version          float 1.09 (written) or 1.07 (also read)
//   window record    type id 0x10000000, then the record below with the window part
//   child count      u32, then per child: type id, then its record
//
// Record: name (string); position (2 floats, truncated to whole pixels when
// read); size (2 floats); flags (u32, OR-ed in; exactly 4 loads disabled);
// colour (4 floats: colour and saved colour); unless button or check button:
// corner texture coordinates (8 floats), has-image (u32) and, when it is 1, the
// image name (string, a texture); text (string); the type's own part (each
// class serializes it, CUiObject::SerializeLayoutPart); then, except for the
// window, the count of nested records (u32) and one nested record (type id and
// full record) per part that the control made itself, in order, each with the
// part's type id and name.
//
// Any failure chains "%s\n<- %s" with the failing object's name, once per level,
// so the error text lists the path from the failing element up to the window.
#pragma once

#include <cstdint>
#include <string>

class CLayoutStream;
class CResource;
class CUiObject;

// The name is already read (and set) when nameRead is true.
int ReadLayoutRecord(CUiObject& object, CLayoutStream& stream, bool nameRead);
// Writes type id and record.
int WriteLayoutRecord(CUiObject& object, CLayoutStream& stream);

// A texture named by a layout (resource type 7) with one reference, or null
// with the error report set.
CResource* FetchLayoutImage(const std::string& name);

// One of the three state-image entries of a button's or check button's part:
// u32 has image (0 or 1), and when 1 a u32 state index (0 normal, 1 hover,
// 2 pressed) and the image name. Reading gives the index (-1 without an image)
// and the texture with one reference; an index outside 0..2 or a missing
// texture fails the stream. Writing an empty name writes "no image".
int ReadLayoutStateImage(CLayoutStream& stream, int32_t* index, CResource** image, std::string* name);
int WriteLayoutStateImage(CLayoutStream& stream, int32_t index, const std::string& name);
