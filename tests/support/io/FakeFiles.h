// Buffered files for reader and writer tests: one whose device fails after a number of bytes,
// and one whose device never ends.
#pragma once

#include "io/BufferedFile.h"

#include <cstddef>
#include <cstring>
#include <sys/types.h>

// Accepts m_remaining bytes, then answers every write with the system's "disk full" error.
class FailAfterFile : public BufferedFile
{
public:
    explicit FailAfterFile(size_t bytesAccepted) : m_remaining(bytesAccepted) {}
    // The base destructor would flush through the real device, so flush while still whole.
    ~FailAfterFile() override { Close(); }

protected:
    ssize_t SystemWrite(const void* data, size_t count) override
    {
        if (m_remaining == 0) {
            SetDiskFullError();
            return -1;
        }
        const size_t piece = count < m_remaining ? count : m_remaining;
        const ssize_t put = BufferedFile::SystemWrite(data, piece);
        if (put > 0) {
            m_remaining -= static_cast<size_t>(put);
        }
        return put;
    }

private:
    size_t m_remaining;
};

// Reads as an endless run of one byte, like /dev/zero behind a regular file's name; counts what
// it handed out.
class EndlessFile : public BufferedFile
{
public:
    explicit EndlessFile(char byte) : m_byte(byte) {}
    size_t Delivered() const { return m_delivered; }

protected:
    ssize_t SystemRead(void* data, size_t count) override
    {
        std::memset(data, m_byte, count);
        m_delivered += count;
        return static_cast<ssize_t>(count);
    }

private:
    char m_byte;
    size_t m_delivered = 0;
};
