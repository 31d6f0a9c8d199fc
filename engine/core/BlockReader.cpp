#include "engine/core/BlockReader.h"

#include "engine/core/FileStream.h"

CBlockReader::CBlockReader(CFileStream& stream, uint64_t size) {
    if (size > stream.Remaining()) {
        stream.Skip(static_cast<uint32_t>(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size));  // sets the stream's failure
        m_failed = true;
        return;
    }
    m_bytes.resize(static_cast<size_t>(size));
    if (size && !stream.Read(m_bytes.data(), static_cast<uint32_t>(size))) m_failed = true;
}
