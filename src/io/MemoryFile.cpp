#include "io/MemoryFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

MemoryFile::MemoryFile(std::string content, uint32_t lineEnd) : m_content(std::move(content))
{
    // Opening memory cannot fail; BufferedFile::Open is what keeps the line end.
    (void)BufferedFile::Open(std::string(), false, lineEnd);
}

MemoryFile::~MemoryFile()
{
    // The base destructors no longer see the bytes, so pending ones are written here.
    Close();
}

bool MemoryFile::Open(const std::string& /*name*/, bool readOnly)
{
    Close();
    m_readOnly = readOnly ? 1 : 0;
    m_position = 0;
    m_open = true;
    RecordResult(0);
    return true;
}

bool MemoryFile::IsOpen() const
{
    return m_open;
}

uint64_t MemoryFile::GetSize()
{
    if (!m_open) {
        RecordResult(kErrorNotOpen);
        return 0;
    }
    RecordResult(0);
    return m_content.size();
}

std::string MemoryFile::TakeContent()
{
    m_position = 0;
    return std::exchange(m_content, std::string());
}

ssize_t MemoryFile::SystemWrite(const void* data, size_t count)
{
    if (!m_open || m_readOnly != 0) {
        SetSystemError(kErrorNotOpen);
        return -1;
    }
    if (count == 0) {
        return 0;
    }
    if (m_position > m_content.max_size() - count) {
        SetDiskFullError();
        return -1;
    }
    // Past the end, the gap reads as zeros, as it does in a file.
    if (m_position + count > m_content.size()) {
        m_content.resize(m_position + count);
    }
    std::memcpy(m_content.data() + m_position, data, count);
    m_position += count;
    return static_cast<ssize_t>(count);
}

ssize_t MemoryFile::SystemRead(void* data, size_t count)
{
    if (!m_open) {
        SetSystemError(kErrorNotOpen);
        return -1;
    }
    if (m_position >= m_content.size()) {
        return 0;
    }
    const size_t piece = std::min(count, m_content.size() - m_position);
    std::memcpy(data, m_content.data() + m_position, piece);
    m_position += piece;
    return static_cast<ssize_t>(piece);
}

int64_t MemoryFile::SystemSeek(int64_t distance, uint32_t origin)
{
    if (!m_open) {
        SetSystemError(kErrorNotOpen);
        return -1;
    }
    const auto base = static_cast<int64_t>(origin == 1 ? m_position : origin == 2 ? m_content.size() : 0);
    // Below 0, or beyond any position a file can have.
    if (distance < -base || distance > INT64_MAX - base) {
        SetSystemError(kErrorNegativeSeek);
        return -1;
    }
    m_position = static_cast<size_t>(base + distance);
    return base + distance;
}

bool MemoryFile::SystemSync()
{
    return true;
}

bool MemoryFile::SystemTruncate(uint64_t size)
{
    m_content.resize(size);
    return true;
}

bool MemoryFile::SystemClose()
{
    m_open = false;
    return true;
}

bool WriteToMemory(std::string& text, uint32_t lineEnd,
                   const std::function<bool(BufferedFile&)>& writeContent)
{
    MemoryFile file(std::string(), lineEnd);
    // Close writes the buffer's last bytes and reports any write that failed.
    if (!writeContent(file) || file.LastError() != 0 || !file.Close()) {
        return false;
    }
    text = file.TakeContent();
    return true;
}
