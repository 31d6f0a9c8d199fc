#include "tools/PackageWriter.h"

#include <unordered_map>

#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "platform/File.h"
#include "platform/Md5.h"

void AppendDigest(std::vector<uint8_t>& bytes) {
    uint8_t digest[16];
    platform::Md5(bytes.data(), bytes.size(), digest);
    bytes.insert(bytes.end(), digest, digest + 16);
}

CPackageWriter::CPackageWriter(std::string packageName) : m_packageName(std::move(packageName)) {}

namespace {

// True when two different names of the list share a hash.
bool HasHashCollision(const std::vector<const std::vector<std::string>*>& nameLists) {
    std::unordered_map<uint32_t, const std::string*> seen;
    for (const std::vector<std::string>* names : nameLists) {
        for (const std::string& name : *names) {
            auto [it, added] = seen.emplace(NameHash(name), &name);
            if (!added && *it->second != name) return true;
        }
    }
    return false;
}

}  // namespace

int CPackageWriter::Add(const std::string& name, const std::vector<uint8_t>& bytes, bool appendDigest) {
    const uint32_t hash = NameHash(name);
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].nameHash == hash && m_names[i] != name) return 0;
    }
    std::vector<uint8_t> entry = bytes;
    if (appendDigest) AppendDigest(entry);
    Record r;
    r.nameHash = NameHash(name);
    r.packageHash = NameHash(m_packageName);
    r.offset = static_cast<uint32_t>(m_data.size());
    r.length = static_cast<uint32_t>(entry.size());
    m_data.insert(m_data.end(), entry.begin(), entry.end());
    m_records.push_back(r);
    m_names.push_back(name);
    return 1;
}

int CPackageWriter::Add(const std::string& name, const std::string& text, bool appendDigest) {
    return Add(name, std::vector<uint8_t>(text.begin(), text.end()), appendDigest);
}

int CPackageWriter::WritePackage(const std::string& folder) const {
    if (!folder.empty() && !platform::CreateFolders(folder)) return 0;
    std::string path = folder.empty() ? m_packageName : folder + "\\" + m_packageName;
    return platform::WriteWholeFile(path, m_data.data(), m_data.size()) ? 1 : 0;
}

int CPackageWriter::WriteListRecords(const std::string& path, const std::vector<Record>& records) {
    CFileStream s;
    if (!s.OpenWrite(path.c_str())) return 0;
    s.WriteU32(static_cast<uint32_t>(records.size()));
    const uint8_t unused[16] = {};
    for (const Record& r : records) {
        s.WriteU32(r.nameHash);
        s.WriteU32(r.packageHash);
        s.Write(unused, sizeof(unused));
        s.WriteU32(r.length);
        s.WriteU32(r.offset);
    }
    bool ok = !s.Failed();
    s.Close();
    return ok ? 1 : 0;
}

int CPackageWriter::WriteList(const std::string& path, const std::vector<const CPackageWriter*>& packages) {
    std::vector<const std::vector<std::string>*> names;
    for (const CPackageWriter* p : packages) names.push_back(&p->m_names);
    if (HasHashCollision(names)) return 0;
    std::vector<Record> all;
    for (const CPackageWriter* p : packages) all.insert(all.end(), p->Records().begin(), p->Records().end());
    return WriteListRecords(path, all);
}
