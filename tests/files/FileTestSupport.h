// Helpers for file tests: the temporary folder helpers and a buffered file whose device fails
// after a number of bytes.
#pragma once

#include "TempFolder.h"

#include "files/BufferedFile.h"

#include <cerrno>
#include <cstddef>
#include <sys/types.h>

// Accepts m_remaining bytes, then answers every write with ENOSPC, like a full disk.
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
            errno = ENOSPC;
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
