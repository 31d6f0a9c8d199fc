#include "engine/resource/TextureResource.h"

#include <atomic>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "platform/DdsImage.h"
#include "platform/File.h"
#include "platform/TextureLoader.h"

using namespace platform;

namespace {

std::atomic<uint32_t> g_textureDivisor{1};

// Textures of this size or smaller are never shrunk: the grade only saves
// memory on the large ones.
constexpr uint32_t kSmallestShrunk = 33;

}  // namespace

void SetTextureDivisor(uint32_t divisor) { g_textureDivisor.store(divisor == 0 ? 1 : divisor); }
uint32_t TextureDivisor() { return g_textureDivisor.load(); }

CTextureResource* AsTexture(CResource* resource) {
    if (!resource || resource->Type() != RES_TEXTURE) return nullptr;
    return dynamic_cast<CTextureResource*>(resource);
}

CTextureResource::CTextureResource(CGfxDevice* device) : CResource(RES_TEXTURE), m_device(device) {}

CTextureResource::~CTextureResource() { CTextureResource::Unload(); }

int CTextureResource::Load(const char* path, int) {
    SetPath(path ? path : "");
    return Restore();
}

std::string CTextureResource::ReportName() const { return Name().empty() ? FileNamePart(Path()) : Name(); }

void CTextureResource::SetTexture(CGfxTexture* texture) {
    ReleaseTexture();
    m_texture = texture;
    if (texture) {
        m_width = texture->GetWidth();
        m_height = texture->GetHeight();
        m_format = texture->GetFormat();
    }
}

void CTextureResource::ReleaseTexture() { GfxRelease(m_texture); }

int CTextureResource::Restore() {
    if (State() != 0 || Path().empty()) return 1;
    if (!m_device) {
        ErrorReport().SetError(ERR_DEVICE_CALL, "No render device for the texture %s", ReportName());
        return 0;
    }
    CGfxTexture* texture = nullptr;
    GfxResult result = GFX_OK;
    int ok = IsPackageEntry() ? CreateFromPackage(&texture, &result) : CreateFromLooseFile(&texture, &result);
    if (!ok) return 0;  // reported already
    if (GfxFailed(result)) {
        if (result == GFXERR_INVALIDDATA) {
            ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND), ReportName());
        } else {
            ErrorReport().SetDxError(ERR_DEVICE_CALL, "TextureResource", __LINE__, result);
            ErrorReport().Chain("%s", ReportName());
        }
        return 0;
    }
    SetTexture(texture);
    SetState(1);
    return 1;
}

int CTextureResource::CreateFromLooseFile(CGfxTexture** texture, GfxResult* result) {
    // Only the exact upper-case extension: the packer writes every texture so.
    size_t dot = Path().rfind('.');
    if (dot == std::string::npos || Path().compare(dot + 1, std::string::npos, "DDS") != 0) {
        ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_NOT_DDS_TEXTURE_FILE), ReportName());
        return 0;
    }
    GfxImageInfo info;
    *result = GetImageInfoFromFile(Path(), &info);
    if (GfxFailed(*result)) return 1;
    uint32_t divisor = 1;
    if (info.format == FMT_DXT5 && info.width >= kSmallestShrunk && info.height >= kSmallestShrunk) {
        divisor = TextureDivisor();
    }
    *result = CreateTextureFromFileEx(m_device, Path(), info.width / divisor, info.height / divisor, info.mipLevels, 0,
                                      info.format, POOL_MANAGED, TEXF_LINEAR, TEXF_LINEAR, 0, nullptr, texture);
    return 1;
}

int CTextureResource::CreateFromPackage(CGfxTexture** texture, GfxResult* result) {
    // The entry must lie inside the package before anything is allocated:
    // a package changed since its list was read could name any range.
    if (!CheckPackageRange(Path(), Offset(), Size(), ReportName())) return 0;
    std::vector<uint8_t> bytes(Size());
    CFileStream stream;
    if (!stream.OpenRead(Path().c_str())) return 0;
    if (!stream.Seek(Offset()) || !stream.Read(bytes.data(), Size())) return 0;
    stream.Close();
    GfxImageInfo info;
    *result = GetImageInfoFromFileInMemory(bytes.data(), bytes.size(), &info);
    if (GfxFailed(*result)) return 1;
    // Package textures keep their size whatever the grade.
    *result =
        CreateTextureFromFileInMemoryEx(m_device, bytes.data(), bytes.size(), info.width, info.height, info.mipLevels,
                                        0, info.format, POOL_MANAGED, TEXF_LINEAR, TEXF_LINEAR, 0, nullptr, texture);
    return 1;
}

void CTextureResource::Invalidate() {
    ReleaseTexture();
    SetState(0);
}

void CTextureResource::Unload() {
    Invalidate();
    CResource::Unload();
}

void CTextureResource::SetToStage(uint32_t stage) {
    if (!m_device || stage >= kSamplerCount) return;
    CGfxTexture* bound = m_device->GetTexture(stage);
    if (m_texture ? bound != m_texture : bound != nullptr) m_device->SetTexture(stage, m_texture);
}
