// RawFile on POSIX descriptors.
#include "io/RawFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RawFile::Open(const std::string& name, bool readOnly)
{
    Close();
    m_readOnly = readOnly ? 1 : 0;
    // Without blocking, so that a FIFO with no writer cannot hang the reader.
    const int flags = readOnly ? (O_RDONLY | O_NONBLOCK) : (O_RDWR | O_CREAT);
    int handle;
    do {
        handle = ::open(name.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
    } while (handle < 0 && errno == EINTR);
    if (handle >= 0 && readOnly) {
        // Devices, FIFOs and folders never end or never start: no reader of ours can use them.
        struct stat info
        {
        };
        const int error = ::fstat(handle, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EINVAL;
        if (error != 0) {
            (void)::close(handle);
            m_handle = -1;
            RecordResult(error);
            return false;
        }
    }
    m_handle = handle;
    // An existing file opened for writing is no error: success leaves 0.
    RecordResult(handle < 0 ? errno : 0);
    return IsOpen();
}

bool RawFile::IsOpen() const
{
    return m_handle >= 0;
}

int64_t RawFile::SystemSeek(int64_t distance, uint32_t origin)
{
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return ::lseek(static_cast<int>(m_handle), static_cast<off_t>(distance), whence);
}

bool RawFile::SystemSync()
{
    return ::fsync(static_cast<int>(m_handle)) == 0;
}

bool RawFile::SystemTruncate(uint64_t size)
{
    return ::ftruncate(static_cast<int>(m_handle), static_cast<off_t>(size)) == 0;
}

bool RawFile::SystemClose()
{
    // No retry on EINTR: the descriptor is released either way on Linux.
    return ::close(static_cast<int>(m_handle)) == 0;
}

const uint32_t RawFile::kErrorWriteFault = EIO;
const uint32_t RawFile::kErrorDiskFull = ENOSPC;
const uint32_t RawFile::kErrorNotOpen = EBADF;
const uint32_t RawFile::kErrorNotRegular = EINVAL;
const uint32_t RawFile::kErrorLineTooLong = EOVERFLOW;
const uint32_t RawFile::kErrorInterrupted = EINTR;
const uint32_t RawFile::kErrorNegativeSeek = EINVAL;

uint32_t RawFile::LastSystemError()
{
    return static_cast<uint32_t>(errno);
}

int RawFile::ToErrno(uint32_t systemError)
{
    return static_cast<int>(systemError);
}

void RawFile::SetDiskFullError()
{
    errno = ENOSPC;
}

void RawFile::SetSystemError(uint32_t error)
{
    errno = static_cast<int>(error);
}

ssize_t RawFile::SystemWrite(const void* data, size_t count)
{
    return ::write(static_cast<int>(m_handle), data, count);
}

ssize_t RawFile::SystemRead(void* data, size_t count)
{
    return ::read(static_cast<int>(m_handle), data, count);
}

uint64_t RawFile::GetSize()
{
    struct stat info
    {
    };
    if (::fstat(static_cast<int>(m_handle), &info) != 0) {
        RecordResult(errno);
        return 0;
    }
    RecordResult(0);
    return info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
}
