// RawFile on Win32 handles: UTF-8 names, GetLastError codes.
#include "io/RawFile.h"

#include "io/WidePathWin32.h"

#include <cerrno>
#include <climits>
#include <windows.h>

namespace {

HANDLE AsHandle(intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

HANDLE OpenWide(const std::wstring& name, bool readOnly, DWORD share)
{
    const DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    return ::CreateFileW(name.c_str(), access, share, nullptr, readOnly ? OPEN_EXISTING : OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Consoles, pipes, devices and folders never end or never start: no reader of ours can use them.
bool IsRegularFile(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

const uint32_t RawFile::kErrorWriteFault = ERROR_WRITE_FAULT;
const uint32_t RawFile::kErrorDiskFull = ERROR_DISK_FULL;
const uint32_t RawFile::kErrorNotOpen = ERROR_INVALID_HANDLE;
const uint32_t RawFile::kErrorNotRegular = ERROR_INVALID_PARAMETER;
const uint32_t RawFile::kErrorLineTooLong = ERROR_ARITHMETIC_OVERFLOW;
// Windows file calls are never interrupted by a signal: no code means "try again".
const uint32_t RawFile::kErrorInterrupted = 0xFFFFFFFF;
const uint32_t RawFile::kErrorNegativeSeek = ERROR_NEGATIVE_SEEK;

uint32_t RawFile::LastSystemError()
{
    return ::GetLastError();
}

int RawFile::ToErrno(uint32_t systemError)
{
    switch (systemError) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_INVALID_PARAMETER:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_INVALID_NAME:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_ARITHMETIC_OVERFLOW:
        return EOVERFLOW;
    case ERROR_BROKEN_PIPE:
        return EPIPE;
    default:
        return EIO;
    }
}

void RawFile::SetDiskFullError()
{
    ::SetLastError(ERROR_DISK_FULL);
}

void RawFile::SetSystemError(uint32_t error)
{
    ::SetLastError(error);
}

bool RawFile::Open(const std::string& name, bool readOnly)
{
    Close();
    m_readOnly = readOnly ? 1 : 0;
    std::wstring wide;
    if (name.empty() || !Utf8ToWide(name, wide)) {
        RecordResult(ERROR_INVALID_NAME);
        return false;
    }
    HANDLE handle;
    if (readOnly) {
        handle = OpenWide(wide, true, FILE_SHARE_READ | FILE_SHARE_DELETE);
        // Some file systems refuse delete sharing with "invalid parameter".
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_INVALID_PARAMETER) {
            handle = OpenWide(wide, true, FILE_SHARE_READ);
        }
    } else {
        handle = OpenWide(wide, false, FILE_SHARE_READ);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        RecordResult(::GetLastError());
        return false;
    }
    if (readOnly && !IsRegularFile(handle)) {
        (void)::CloseHandle(handle);
        RecordResult(kErrorNotRegular);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(handle);
    // OPEN_ALWAYS reports an existing file with ERROR_ALREADY_EXISTS; that is no error.
    ::SetLastError(ERROR_SUCCESS);
    RecordResult(0);
    return true;
}

bool RawFile::IsOpen() const
{
    return m_handle != -1 && m_handle != 0;
}

bool RawFile::SystemClose()
{
    return ::CloseHandle(AsHandle(m_handle)) != 0;
}

int64_t RawFile::SystemSeek(int64_t distance, uint32_t origin)
{
    const DWORD method = origin == 1 ? FILE_CURRENT : origin == 2 ? FILE_END : FILE_BEGIN;
    LARGE_INTEGER move{};
    move.QuadPart = distance;
    LARGE_INTEGER position{};
    if (::SetFilePointerEx(AsHandle(m_handle), move, &position, method) == 0) {
        return -1;
    }
    return position.QuadPart;
}

ssize_t RawFile::SystemWrite(const void* data, size_t count)
{
    DWORD written = 0;
    const DWORD piece = count > UINT_MAX ? UINT_MAX : static_cast<DWORD>(count);
    if (::WriteFile(AsHandle(m_handle), data, piece, &written, nullptr) == 0) {
        return -1;
    }
    return static_cast<ssize_t>(written);
}

ssize_t RawFile::SystemRead(void* data, size_t count)
{
    DWORD got = 0;
    const DWORD piece = count > UINT_MAX ? UINT_MAX : static_cast<DWORD>(count);
    if (::ReadFile(AsHandle(m_handle), data, piece, &got, nullptr) == 0) {
        // The writing end of a pipe has gone: that is its end of file.
        return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<ssize_t>(got);
}

uint64_t RawFile::GetSize()
{
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(AsHandle(m_handle), &size) == 0) {
        RecordResult(::GetLastError());
        return 0;
    }
    RecordResult(0);
    return size.QuadPart > 0 ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool RawFile::SystemSync()
{
    // A handle without write access has nothing to write and would be refused.
    return m_readOnly != 0 || ::FlushFileBuffers(AsHandle(m_handle)) != 0;
}

bool RawFile::SystemTruncate(uint64_t /*size*/)
{
    // SetEndOfFile cuts at the handle's position, which is size.
    return ::SetEndOfFile(AsHandle(m_handle)) != 0;
}
