#include "engine/resource/ResourceFile.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"

std::string ResourceReportName(const CResource& resource) {
    return resource.Name().empty() ? FileNamePart(resource.Path()) : resource.Name();
}

int OpenResourceFile(CFileStream& stream, const CResource& resource, const char* path, float version) {
    if (!CheckPackageRange(path ? path : "", resource.Offset(), resource.Size(), ResourceReportName(resource)))
        return 0;
    if (!stream.OpenRead(path)) return 0;
    float stored = 0;
    if (!stream.Seek(resource.Offset()) || !stream.ReadFloat(stored)) {
        stream.Close();
        return 0;
    }
    if (stored != version) {
        stream.Close();
        ErrorReport().SetError(ERR_FILE_VERSION, GetMessageText(MSG_ERROR_FILE_VERSION), ResourceReportName(resource));
        return 0;
    }
    return 1;
}

uint32_t ResourceBytesLeft(const CFileStream& stream, const CResource& resource) {
    uint32_t left = stream.Remaining();
    if (!resource.IsPackageEntry()) return left;
    uint64_t end = static_cast<uint64_t>(resource.Offset()) + resource.Size();
    uint64_t pos = stream.Tell();
    if (pos >= end) return 0;
    uint64_t inEntry = end - pos;
    return inEntry < left ? static_cast<uint32_t>(inEntry) : left;
}

bool CountFits(const CFileStream& stream, const CResource& resource, uint64_t count, uint64_t minBytes) {
    // Callers pass record sizes computed from other counts, so the product may
    // not fit 64 bits: compare by division instead of multiplying.
    uint64_t left = ResourceBytesLeft(stream, resource);
    return minBytes == 0 || count <= left / minBytes;
}

int ReportDamagedResource(const CResource& resource, const char* what) {
    ErrorReport().SetError(ERR_DATA, "%s : %s", ResourceReportName(resource), what);
    return 0;
}

void ChainResourceFailure(const CResource& resource) { ErrorReport().Chain("%s", ResourceReportName(resource)); }
