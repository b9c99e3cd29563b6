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

uint32_t RawFile::Tell()
{
    if (!IsOpen()) {
        return 0;
    }
    return RawFile::Seek(0, 1);
}
