#include "world/GameDataRecord.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "engine/effects/EffectResource.h"
#include "engine/resource/ResourceManager.h"
#include "world/GameDataRegistry.h"

const char* CategoryLabel(uint32_t category) {
    static const char* const labels[CAT_COUNT] = {"UNIT", "BUILDING", "DECORATION", "ITEM", "SKILL", "EFFECT"};
    return category < CAT_COUNT ? labels[category] : "";
}

int CGameDataRecord::Serialize(CFileStream& stream) { return stream.Failed() ? 0 : 1; }

int CGameDataRecord::Link() {
    if (linked || m_linking) return 1;
    m_linking = true;
    const int result = LinkBody();
    m_linking = false;
    if (result) linked = 1;
    return result;
}

void CGameDataRecord::ReleaseResources() {
    if (m_releasing) return;
    m_releasing = true;
    ReleaseBody();
    DropResource(modelResource);
    linked = 0;
    m_releasing = false;
}

bool CGameDataRecord::SerializeName(CFileStream& s) {
    const bool ok = s.Serialize(name);
    if (s.mode() == CFileStream::MODE_READ) id = NameHash(name);
    return ok;
}

bool SerializeWords(CFileStream& s, std::initializer_list<uint32_t*> words) {
    for (uint32_t* w : words) s.Serialize(*w);
    return !s.Failed();
}

bool SerializeVec(CFileStream& s, std::array<uint32_t, 3>& vec) {
    for (uint32_t& v : vec) s.Serialize(v);
    return !s.Failed();
}

bool SerializeBlock(CFileStream& s, StatBlock& block) {
    for (uint32_t& v : block) s.Serialize(v);
    return !s.Failed();
}

bool CountFits(CFileStream& s, uint32_t count, uint32_t minBytes) {
    if (s.mode() != CFileStream::MODE_READ || uint64_t{count} * minBytes <= s.Remaining()) return true;
    ErrorReport().SetError(ERR_DATA, "%s : a count of %u runs past the end", FileNamePart(s.path()), count);
    return false;
}

namespace {

// u32 count, then each entry's field; every entry takes 4 bytes at least.
template <typename Entry, typename Field>
bool SerializeList(CFileStream& s, std::vector<Entry>& list, Field Entry::*field) {
    uint32_t count = static_cast<uint32_t>(list.size());
    if (!s.Serialize(count) || !CountFits(s, count, 4)) return false;
    if (s.mode() == CFileStream::MODE_READ) list.assign(count, Entry{});
    for (Entry& entry : list)
        if (!s.Serialize(entry.*field)) return false;
    return true;
}

}  // namespace

bool SerializeNameList(CFileStream& s, std::vector<RecordName>& list) {
    return SerializeList(s, list, &RecordName::name);
}

bool SerializeKeyList(CFileStream& s, std::vector<RecordKey>& list) { return SerializeList(s, list, &RecordKey::key); }

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

float BitsFloat(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

int AcquireResource(const std::string& name, int32_t type, CResource*& out) {
    if (out || name.empty()) return 1;
    if (!g_pResourceManager) {
        ErrorReport().SetError(ERR_RESOURCE_LINK, "%s", name);
        return 0;
    }
    out = g_pResourceManager->GetResource(name.c_str(), type, nullptr, 1);
    return out ? 1 : 0;
}

void DropResource(CResource*& resource) {
    if (resource && g_pResourceManager) g_pResourceManager->ReleaseResource(resource);
    resource = nullptr;
}

int AcquireSound(const std::string& name, CResource*& out) {
    if (out || name.empty()) return 1;
    if (!g_pResourceManager || !g_pResourceManager->SoundDeviceUsable()) {
        ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", name));
        return 1;
    }
    out = g_pResourceManager->GetResource(name.c_str(), RES_SOUND_EFFECT, nullptr, 1);
    return out ? 1 : 0;
}

bool EffectHasRefusedType(const CResource* effect) {
    const auto* fx = dynamic_cast<const CEffectResource*>(effect);
    return fx && fx->EffectType() == CEffectResource::kTypeRefused;
}

bool EffectIsEndless(const CResource* effect) {
    const auto* fx = dynamic_cast<const CEffectResource*>(effect);
    return fx && fx->InfiniteEmission() != 0;
}

int ResolveRecord(uint32_t category, const std::string& name, CGameDataRecord*& out) {
    out = FindGameRecord(category, NameHash(name));
    return out ? 1 : FailCheck(ERR_RESOURCE_LINK, name);
}

int FailCheck(uint32_t code, const std::string& text) {
    ErrorReport().Set(code, text);
    return 0;
}
