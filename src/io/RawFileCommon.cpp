// The parts of RawFile every platform shares.
#include "io/RawFile.h"

RawFile::~RawFile()
{
    RawFile::Close();
}

void RawFile::RecordResult(uint32_t error)
{
    if (error != 0) {
        m_lastError = error;
    } else if (!m_writeFailed) {
        m_lastError = 0;
    }
}

void RawFile::RecordWriteFailure(uint32_t error)
{
    m_writeFailed = true;
    m_lastError = error != 0 ? error : kErrorWriteFault;
}

uint32_t RawFile::Read(void* buffer, uint32_t count)
{
    auto* bytes = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t got = SystemRead(bytes + done, count - done);
        if (got < 0) {
            const uint32_t error = LastSystemError();
            if (error == kErrorInterrupted) {
                continue;
            }
            RecordResult(error);
            return done;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<uint32_t>(got);
    }
    RecordResult(0);
    return done;
}

uint32_t RawFile::Write(const void* buffer, uint32_t count)
{
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t put = SystemWrite(bytes + done, count - done);
        const uint32_t error = put < 0 ? LastSystemError() : 0;
        if (put < 0 && error == kErrorInterrupted) {
            continue;
        }
        if (put <= 0) {
            // A write that makes no progress would loop for ever; treat it as a full device.
            RecordWriteFailure(put < 0 ? error : kErrorDiskFull);
            return done;
        }
        done += static_cast<uint32_t>(put);
    }
    RecordResult(0);
    return done;
}

bool RawFile::Close()
{
    bool closed = false;
    if (IsOpen()) {
        closed = SystemClose();
    }
    m_handle = -1;
    m_readOnly = 0;
    m_lastError = 0;
    m_writeFailed = false;
    return closed;
}

uint32_t RawFile::Seek(int64_t distance, uint32_t origin)
{
    if (!IsOpen()) {
        return 0;
    }
    const int64_t position = SystemSeek(distance, origin);
    if (position < 0) {
        RecordResult(LastSystemError());
        return kSeekFailed;
    }
    RecordResult(0);
    return static_cast<uint32_t>(position);
}

bool RawFile::Flush()
{
    if (!IsOpen()) {
        return false;
    }
    if (!SystemSync()) {
        RecordWriteFailure(LastSystemError());
    } else {
        RecordResult(0);
    }
    return m_lastError == 0;
}

bool RawFile::Truncate()
{
    const bool flushed = RawFile::Flush();
    if (!IsOpen()) {
        return false;
    }
    const int64_t position = SystemSeek(0, 1);
    if (position < 0) {
        RecordResult(LastSystemError());
        return false;
    }
    if (!SystemTruncate(static_cast<uint64_t>(position))) {
        RecordWriteFailure(LastSystemError());
    } else {
        RecordResult(0);
    }
    return flushed && m_lastError == 0;
}

uint32_t RawFile::Tell()
{
    if (!IsOpen()) {
        return 0;
    }
    return RawFile::Seek(0, 1);
}
