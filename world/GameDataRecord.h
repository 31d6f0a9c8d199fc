// The root of the game data records: one immutable definition of a thing a
// match can contain (a unit type, a building type, a decoration, an item, a
// skill or an effect). Every record reads and writes itself through one
// Serialize by the stream's mode, links the resources and records it names
// before a match uses it, and releases them when the match ends.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/resource/Resource.h"

class CFileStream;
class CGameDataRecord;

enum GameDataCategory : uint32_t {
    CAT_UNIT = 0,
    CAT_BUILDING = 1,
    CAT_DECORATION = 2,
    CAT_ITEM = 3,
    CAT_SKILL = 4,
    CAT_EFFECT = 5,
    CAT_COUNT = 6,
};

// "UNIT", "BUILDING", ... as error texts name the categories; "" past the end.
const char* CategoryLabel(uint32_t category);

// 17 stat values (the unit's stat block, an item's bonuses and their modes).
using StatBlock = std::array<uint32_t, 17>;

// An entry of a name list: the record the name resolves to (null when none).
struct RecordName {
    CGameDataRecord* record = nullptr;
    std::string name;
};

// An entry of a key list: the record the key resolves to (null when none).
struct RecordKey {
    CGameDataRecord* record = nullptr;
    uint32_t key = 0;
};

class CGameDataRecord {
public:
    CGameDataRecord(uint32_t category, uint32_t flags) : category(category), flags(flags) {}
    virtual ~CGameDataRecord() = default;
    CGameDataRecord(const CGameDataRecord&) = delete;
    CGameDataRecord& operator=(const CGameDataRecord&) = delete;

    // Reads (stream mode 0) or writes (mode 1) the record; SKILL and EFFECT
    // records write their kind first but read from after it (the loader has
    // read it). 0 when the record cannot be read whole (error report set).
    virtual int Serialize(CFileStream& stream);
    // 1 at once when linked (or while its own link is running, so that records
    // naming each other end); otherwise takes the resources and records it
    // names, checks, and sets linked. 0 with the error report set.
    int Link();
    // Drops what Link took and clears linked; safe after a failed link and twice.
    void ReleaseResources();
    // 1 when the record is usable; sets the error report otherwise.
    virtual int Check() { return 1; }

    uint32_t category;
    std::string name;
    std::string text;
    uint32_t id = 0;  // NameHash of name: the key of the registry's maps
    uint32_t linked = 0;
    uint32_t flags;       // the type mask; bit 4 of a UNIT marks a hero
    uint32_t value2 = 0;  // the type value
    uint32_t kind = 0;    // SKILL 0..8 and EFFECT 0..23 (ITEM stores its own word in the same place)
    std::string model;    // model resource (type 0) of units, buildings, decorations, items
    CResource* modelResource = nullptr;
    uint32_t hitRow = 0, hitColumn = 0;  // the cell of the preload table an attack plays

protected:
    virtual int LinkBody() { return 1; }
    virtual void ReleaseBody() {}
    // Reads or writes the name and, on read, derives the key.
    bool SerializeName(CFileStream& s);

private:
    bool m_linking = false;
    bool m_releasing = false;
};

// Field helpers over CFileStream::Serialize, for the records' field orders.
bool SerializeWords(CFileStream& s, std::initializer_list<uint32_t*> words);
bool SerializeVec(CFileStream& s, std::array<uint32_t, 3>& vec);
bool SerializeBlock(CFileStream& s, StatBlock& block);
// u32 count then count strings; on read the count must fit the bytes left.
bool SerializeNameList(CFileStream& s, std::vector<RecordName>& list);
// u32 count then count u32 keys; on read the count must fit the bytes left.
bool SerializeKeyList(CFileStream& s, std::vector<RecordKey>& list);
// Refuses a count of items of at least minBytes each that cannot follow: 0
// with error 10000.
bool CountFits(CFileStream& s, uint32_t count, uint32_t minBytes);

uint32_t FloatBits(float value);
float BitsFloat(uint32_t bits);

// Takes a reference to the named resource (load now); an empty name leaves
// out null and is no error. 0 with the error report set when it cannot load.
int AcquireResource(const std::string& name, int32_t type, CResource*& out);
// Gives the reference back (null is ignored) and forgets it.
void DropResource(CResource*& resource);
// A sound of a record: with sound unavailable the text "Sound load fail %s\n"
// is left, the sound stays null and the result is 1.
int AcquireSound(const std::string& name, CResource*& out);
// Whether an effect resource has the effect type that records refuse, or
// emits without end (false for null).
bool EffectHasRefusedType(const CResource* effect);
bool EffectIsEndless(const CResource* effect);
// Looks a name up in a category of the process-wide registry and stores the
// record; 0 with error 10003 and the name when there is none.
int ResolveRecord(uint32_t category, const std::string& name, CGameDataRecord*& out);
// Sets code and text, then returns 0 (the checks' failure path).
int FailCheck(uint32_t code, const std::string& text);
