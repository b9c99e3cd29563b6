#include "io/BufferedFile.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint8_t kCr = '\r';
constexpr uint8_t kLf = '\n';
} // namespace

BufferedFile::BufferedFile() : m_buffer(std::make_unique<uint8_t[]>(kBufferSize)) {}

BufferedFile::~BufferedFile()
{
    BufferedFile::Close();
}

bool BufferedFile::Close()
{
    FlushBuffer();
    // Any failed write, sync or truncate since the open means the file may not hold what
    // the caller wrote; the error is about to be reset, so report it here.
    const bool intact = !m_writeFailed;
    const bool closed = RawFile::Close();
    m_lastChar = 0;
    m_length = 0;
    m_bufferOffset = 0;
    m_position = 0;
    return closed && intact;
}

bool BufferedFile::DropReadAhead()
{
    // The raw position lies behind bytes the caller has not consumed yet.
    if (m_length > m_position) {
        const uint32_t position = RawFile::Seek(m_bufferOffset + m_position, 0);
        if (position == kSeekFailed) {
            return false;
        }
        m_bufferOffset = position;
        m_length = 0;
        m_position = 0;
    }
    return true;
}

uint32_t BufferedFile::Seek(int64_t distance, uint32_t origin)
{
    FlushBuffer();
    if (origin == 1 && !DropReadAhead()) {
        return kSeekFailed;
    }
    const uint32_t result = RawFile::Seek(distance, origin);
    m_bufferOffset = RawFile::Tell();
    m_length = 0;
    m_position = 0;
    m_lastChar = 0;
    return result;
}

uint32_t BufferedFile::Tell()
{
    return m_bufferOffset + m_position;
}

bool BufferedFile::Flush()
{
    FlushBuffer();
    return RawFile::Flush();
}

bool BufferedFile::Truncate()
{
    FlushBuffer();
    if (!DropReadAhead()) {
        return false;
    }
    return RawFile::Truncate();
}

uint32_t BufferedFile::FillBuffer()
{
    // Pending bytes must reach the file before the buffer is reused for reading.
    FlushBuffer();
    const uint32_t kept = m_length > m_position ? m_length - m_position : 0;
    if (kept > 0 && m_position > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_position, kept);
    }
    // The kept bytes come from just before the raw position.
    m_bufferOffset = RawFile::Tell() - kept;
    const uint32_t got = RawFile::Read(m_buffer.get() + kept, kBufferSize - kept);
    m_position = 0;
    m_length = kept + got;
    return m_length;
}

uint32_t BufferedFile::FlushBuffer()
{
    if (m_dirty == 0) {
        return 0;
    }
    uint32_t written = 0;
    if (RawFile::Seek(m_bufferOffset, 0) == kSeekFailed) {
        RecordWriteFailure(m_lastError);
    } else {
        written = RawFile::Write(m_buffer.get(), m_position);
    }
    m_bufferOffset = RawFile::Tell();
    m_length = 0;
    m_position = 0;
    m_dirty = 0;
    return written;
}

uint32_t BufferedFile::Read(void* buffer, uint32_t count)
{
    FlushBuffer();
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t total = 0;
    while (total < count) {
        if (m_position >= m_length && FillBuffer() == 0) {
            break;
        }
        const uint32_t piece = std::min(m_length - m_position, count - total);
        std::memcpy(out + total, m_buffer.get() + m_position, piece);
        m_position += piece;
        total += piece;
    }
    return total;
}

uint32_t BufferedFile::Write(const void* buffer, uint32_t count)
{
    if (!IsOpen()) {
        RecordResult(kErrorNotOpen);
        return 0;
    }
    // Bytes written after a failure would land behind a gap in the file.
    if (m_writeFailed) {
        return 0;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    if (count <= kBufferSize - m_position) {
        std::memcpy(m_buffer.get() + m_position, in, count);
        m_position += count;
        m_dirty = 1;
        return count;
    }
    uint32_t total = 0;
    while (total < count) {
        const uint32_t piece = std::min(kBufferSize - m_position, count - total);
        std::memcpy(m_buffer.get() + m_position, in + total, piece);
        m_position += piece;
        m_dirty = 1;
        total += piece;
        if (m_position >= kBufferSize && FlushBuffer() != kBufferSize) {
            return total - piece;
        }
    }
    return total;
}

bool BufferedFile::Open(const std::string& name, bool readOnly, uint32_t lineEnd)
{
    // Close before resetting so that pending bytes of a previous file are not dropped.
    Close();
    m_lastChar = 0;
    m_length = 0;
    m_bufferOffset = 0;
    m_position = 0;
    m_dirty = 0;
    m_lineEnd = lineEnd;
    return Open(name, readOnly);
}

bool BufferedFile::ReadLine(std::string& text)
{
    text.clear();
    if (m_position >= m_length && FillBuffer() == 0) {
        return false;
    }
    const uint8_t* buffer = m_buffer.get();
    if (m_position == 0 &&
        ((m_lastChar == kCr && buffer[0] == kLf) || (m_lastChar == kLf && buffer[0] == kCr))) {
        // Second half of a line break split across two fills.
        m_position = 1;
        m_lastChar = 0;
        if (m_length == 1 && FillBuffer() == 0) {
            return false;
        }
    }
    uint32_t start = m_position;
    uint32_t i = start;
    for (;;) {
        if (i >= m_length) {
            text.append(reinterpret_cast<const char*>(buffer + start), i - start);
            m_position = i;
            if (FillBuffer() == 0) {
                return true;
            }
            start = 0;
            i = 0;
            continue;
        }
        const uint8_t c = buffer[i];
        m_lastChar = c;
        // A break at the very start of a line stays part of it: empty lines come back as white space.
        if ((c == kCr || c == kLf) && (i > start || !text.empty())) {
            text.append(reinterpret_cast<const char*>(buffer + start), i - start);
            m_position = i + 1;
            const uint8_t partner = c == kCr ? kLf : kCr;
            if (m_position < m_length && buffer[m_position] == partner) {
                ++m_position;
                // The pair is complete: nothing to skip at the next fill.
                m_lastChar = 0;
            }
            return true;
        }
        if (text.size() + (i - start) >= kMaxLineLength) {
            m_position = i;
            text.clear();
            RecordResult(kErrorLineTooLong);
            return false;
        }
        ++i;
    }
}

bool BufferedFile::WriteLine(const std::string& text, uint32_t lineEnd)
{
    const uint32_t code = lineEnd == LineEndDefault ? m_lineEnd : lineEnd;
    std::string line = text;
    switch (code) {
    case LineEndLf:
        line += '\n';
        break;
    case LineEndCr:
        line += '\r';
        break;
    case LineEndCrLf:
    case LineEndDefault:
        line += "\r\n";
        break;
    default:
        break;
    }
    if (line.size() > UINT32_MAX) {
        return false;
    }
    const auto size = static_cast<uint32_t>(line.size());
    return Write(line.data(), size) == size;
}

bool BufferedFile::HexDigitValue(char character, uint8_t& value) const
{
    if (character >= '0' && character <= '9') {
        value = static_cast<uint8_t>(character - '0');
    } else if (character >= 'A' && character <= 'F') {
        value = static_cast<uint8_t>(character - 'A' + 10);
    } else if (character >= 'a' && character <= 'f') {
        value = static_cast<uint8_t>(character - 'a' + 10);
    } else {
        return false;
    }
    return true;
}

bool BufferedFile::HexPairToByte(char high, char low, uint8_t& byte) const
{
    uint8_t highValue = 0;
    uint8_t lowValue = 0;
    if (!HexDigitValue(high, highValue) || !HexDigitValue(low, lowValue)) {
        return false;
    }
    byte = static_cast<uint8_t>(highValue * 16 + lowValue);
    return true;
}

bool BufferedFile::ReadHexBytes(uint8_t* destination, uint32_t count, uint32_t& done)
{
    done = 0;
    while (done < count) {
        const uint32_t available = m_length > m_position ? m_length - m_position : 0;
        // A lone digit at the end of the file has no partner; never pair it with stale bytes.
        if (available < 2 && FillBuffer() < 2) {
            return false;
        }
        const auto* pair = reinterpret_cast<const char*>(m_buffer.get() + m_position);
        uint8_t byte = 0;
        if (!HexPairToByte(pair[0], pair[1], byte)) {
            return false;
        }
        destination[done] = byte;
        ++done;
        m_position += 2;
    }
    return true;
}
