// Thin wrapper around an operating-system file handle; failures leave the system error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

class RawFile
{
public:
    static constexpr uint32_t kSeekFailed = 0xFFFFFFFF;
    // The codes the file layer records for its own reasons, in the platform's numbering
    // (errno values; Windows error codes on Windows).
    static const uint32_t kErrorWriteFault;   // EIO, ERROR_WRITE_FAULT
    static const uint32_t kErrorDiskFull;     // ENOSPC, ERROR_DISK_FULL
    static const uint32_t kErrorNotOpen;      // EBADF, ERROR_INVALID_HANDLE
    static const uint32_t kErrorNotRegular;   // EINVAL, ERROR_INVALID_PARAMETER
    static const uint32_t kErrorLineTooLong;  // EOVERFLOW, ERROR_ARITHMETIC_OVERFLOW
    static const uint32_t kErrorInterrupted;  // EINTR: the call may simply be repeated; none on Windows
    static const uint32_t kErrorNegativeSeek; // EINVAL, ERROR_NEGATIVE_SEEK

    RawFile() = default;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    virtual ~RawFile();
    // Read only: the file must exist and be a regular file. Read and write: created when missing,
    // contents kept.
    virtual bool Open(const std::string& name, bool readOnly);
    virtual bool IsOpen() const;
    // False when nothing was open or the system reported a failure while closing.
    virtual bool Close();
    // origin 1 = from the current position, 2 = from the end, else from the start.
    virtual uint32_t Seek(int64_t distance, uint32_t origin);
    virtual uint32_t Read(void* buffer, uint32_t count);
    virtual uint32_t Write(const void* buffer, uint32_t count);
    // The whole size: files may be larger than 32-bit positions reach, so callers check it.
    virtual uint64_t GetSize();
    virtual uint32_t Tell();
    virtual bool Flush();
    virtual bool Truncate();

    // The errno value that tells a code of LastError in messages: the code itself on POSIX, the
    // nearest errno value for a Windows code (EIO for one without any).
    static int ToErrno(uint32_t systemError);

    // The system's code for the last call (errno; GetLastError on Windows), 0 on success. A failed write,
    // sync or truncate stays recorded until Close so that a writer checking at the end still sees it.
    uint32_t LastError() const { return m_lastError; }

protected:
    // The system calls behind the operations: tests override them to simulate failing devices,
    // MemoryFile to keep the bytes in memory. Same contracts as write(2), read(2), lseek(2) (with
    // Seek's origin), fsync(2), ftruncate(2) and close(2): a failure leaves the system's error set.
    virtual ssize_t SystemWrite(const void* data, size_t count);
    virtual ssize_t SystemRead(void* data, size_t count);
    virtual int64_t SystemSeek(int64_t distance, uint32_t origin);
    virtual bool SystemSync();
    // size is the handle's position.
    virtual bool SystemTruncate(uint64_t size);
    virtual bool SystemClose();
    // Sets the system's error to its "disk full" code, for a SystemWrite that refuses.
    static void SetDiskFullError();
    // Sets the system's error to one of the kError codes, for a hook that refuses.
    static void SetSystemError(uint32_t error);
    // The system's error of the call that just failed (errno; GetLastError on Windows).
    static uint32_t LastSystemError();

    void RecordResult(uint32_t error);
    // error 0 (a failure the system gave no reason for) is kept as kErrorWriteFault.
    void RecordWriteFailure(uint32_t error);

    // A descriptor, or a HANDLE on Windows (whose invalid value is -1 too).
    intptr_t m_handle = -1;
    uint8_t m_readOnly = 0;
    uint32_t m_lastError = 0;
    bool m_writeFailed = false;
};
