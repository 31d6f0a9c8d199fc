// Writes package files (.DRP) and their list "PACKAGELIST.DRL" exactly as the
// file index reads them. Each entry gets its MD5 digest appended, so that a
// check with the compare flag passes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPackageWriter {
public:
    // Starts a package file of the given name (e.g. "DATA1.DRP") in a folder.
    explicit CPackageWriter(std::string packageName);

    // Adds a file under its game name. With appendDigest the stored entry is
    // the bytes followed by their 16-byte MD5 digest (the entry's length counts
    // them). The list keeps only name hashes, so a name whose hash equals that
    // of another name already added is refused (0): the reader could not tell
    // the two apart.
    int Add(const std::string& name, const std::vector<uint8_t>& bytes, bool appendDigest = true);
    int Add(const std::string& name, const std::string& text, bool appendDigest = true);

    // Writes the package into folder (game path). 0 on failure.
    int WritePackage(const std::string& folder) const;

    struct Record {
        uint32_t nameHash;
        uint32_t packageHash;
        uint32_t length;
        uint32_t offset;
    };
    const std::vector<Record>& Records() const { return m_records; }
    const std::string& PackageName() const { return m_packageName; }

    // Writes the list of the given packages' records, in order, to path. Two
    // different names with one hash across the packages refuse the list (0).
    static int WriteList(const std::string& path, const std::vector<const CPackageWriter*>& packages);
    static int WriteListRecords(const std::string& path, const std::vector<Record>& records);

private:
    std::string m_packageName;
    std::vector<uint8_t> m_data;
    std::vector<Record> m_records;
    std::vector<std::string> m_names;  // beside m_records
};

// Appends the MD5 digest of the bytes to them (the form of a checked data file).
void AppendDigest(std::vector<uint8_t>& bytes);
