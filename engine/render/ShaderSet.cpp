#include "engine/render/ShaderSet.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileIndex.h"
#include "engine/core/FileStream.h"
#include "engine/render/GfxShaderEffect.h"
#include "engine/core/MessageTable.h"
#include "platform/File.h"
#include "platform/GfxFormatInfo.h"

using namespace platform;

CShaderSet* g_pShaderSet = nullptr;

namespace {
constexpr const char* kSkinFile = "ZEMSKIN.FXO";
constexpr const char* kGlowFile = "ZEMGAUSS.FXO";
}  // namespace

EffectEntry::~EffectEntry() {
    effect.reset();
    if (declaration) declaration->Release();
}

CShaderSet::CShaderSet(CGfxDevice* device) : m_device(device), m_loader(DeviceEffectLoader()) {
    if (!g_pShaderSet) g_pShaderSet = this;
}

CShaderSet::~CShaderSet() {
    ClearEffects();
    if (g_pShaderSet == this) g_pShaderSet = nullptr;
}

int CShaderSet::LoadShaders(int enable) {
    m_useSkin = m_loadGlow = enable ? 1 : 0;
    if (!enable) return 1;
    int skin = LoadSkinEffect(kSkinFvf);
    int glow = skin ? LoadGaussEffect() : 0;
    return skin && glow;
}

int CShaderSet::LoadSkinEffect(uint32_t fvf) {
    if (fvf != 0) m_skinFvf = fvf;
    if (m_useSkin == 0 || m_skinFvf == 0) return 1;
    if (!LoadEffect(m_skinFvf, kSkinFile)) {
        ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_FILE_NOT_READ), kSkinFile);
        return 0;
    }
    EffectEntry* entry = FindEffect(kSkinFile);
    m_skinLoaded = 1;
    m_skinEffect = entry->effect.get();
    m_skinDeclaration = entry->declaration;
    return 1;
}

int CShaderSet::LoadGaussEffect() {
    if (m_loadGlow == 0) return 1;
    if (!LoadEffect(m_skinFvf, kGlowFile)) {
        ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_FILE_NOT_READ), kGlowFile);
        return 0;
    }
    m_glowLoaded = 1;
    m_glowEffect = FindEffect(kGlowFile)->effect.get();
    m_loadGlow = 0;
    return 1;
}

void CShaderSet::SetViewProjLight(const Matrix& view, const Matrix& projection, const Vec4& lightDirection) {
    if (!m_skinEffect) return;
    m_skinEffect->SetMatrix("mView", view);
    m_skinEffect->SetMatrix("mProj", projection);
    m_skinEffect->SetVector("lightDir", lightDirection);
}

void CShaderSet::ResetEffects() {
    for (auto& e : m_effects)
        if (e->effect) e->effect->OnResetDevice();
}

void CShaderSet::LoseEffects() {
    for (auto& e : m_effects)
        if (e->effect) e->effect->OnLostDevice();
}

EffectEntry* CShaderSet::FindEffect(const char* name) {
    if (!name) return nullptr;
    for (auto& e : m_effects)
        if (e->name == name) return e.get();
    return nullptr;
}

void CShaderSet::ClearEffects() {
    m_skinEffect = m_glowEffect = nullptr;
    m_skinDeclaration = nullptr;
    m_skinLoaded = m_glowLoaded = 0;
    m_effects.clear();
}

int CShaderSet::LoadEffect(uint32_t fvf, const char* name) {
    if (!name || !*name) return 0;
    if (EffectEntry* found = FindEffect(name)) {
        // An entry whose file failed before is tried again, not taken as loaded.
        return found->effect ? 1 : LoadEffectFile(*found);
    }
    auto entry = std::make_unique<EffectEntry>();
    entry->name = name;
    if (fvf != 0 && m_device) {
        std::vector<GfxVertexElement> elements;
        if (DeclarationFromFvf(fvf, &elements))
            m_device->CreateVertexDeclaration(elements.data(), static_cast<uint32_t>(elements.size()),
                                              &entry->declaration);
    }
    m_effects.push_back(std::move(entry));
    return LoadEffectFile(*m_effects.back());
}

int CShaderSet::LoadEffectFile(EffectEntry& entry) {
    if (!m_device || !m_loader || !g_pFileIndex) return 0;
    uint32_t offset = 0, size = 0;
    std::string path = g_pFileIndex->ResolvePath(entry.name.c_str(), &offset, &size);
    if (path.empty()) return 0;
    std::vector<uint8_t> bytes;
    if (size == 0) {
        if (!ReadWholeFile(path, bytes)) return 0;
    } else {
        CFileStream s;
        if (!s.OpenRead(path.c_str())) return 0;
        bytes.resize(size);
        bool ok = s.Seek(offset) && s.Read(bytes.data(), size);
        s.Close();
        if (!ok) return 0;
    }
    entry.effect.reset(m_loader(*m_device, bytes));
    return entry.effect ? 1 : 0;
}
