// The safe save on Windows: a new file beside the target, flushed, then moved over it.
#include "io/SafeSave.h"

#include "io/SafeSaveWrite.h"
#include "io/WidePathWin32.h"

#include <atomic>
#include <cerrno>
#include <random>
#include <windows.h>

namespace {

constexpr int kNameAttempts = 100;
// Enough of the target's name to recognise a left-over temporary file, short enough that the
// temporary name stays within the system's limit whatever the target's name.
constexpr size_t kNameCharactersKept = 32;
// What the new file takes over from the old one; read-only and folders are refused before.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Creates an empty file with a name nobody else uses.
bool CreateTemporaryFile(const std::string& target, std::string& temporary, std::wstring& wideTemporary)
{
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    std::mt19937 random(seed());
    const auto slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name =
        (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, kNameCharactersKept);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = folder + "." + name + "." + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(counter++) + "-" + std::to_string(random() % 1000000) + ".tmp";
        if (!Utf8ToWide(temporary, wideTemporary)) {
            return false;
        }
        HANDLE handle = ::CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return ::CloseHandle(handle) != 0;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return false;
}

bool FailWith(int error)
{
    errno = error;
    return false;
}

bool FailWithSystemError()
{
    return FailWith(RawFile::ToErrno(::GetLastError()));
}

} // namespace

bool SaveFileSafely(const std::string& path, uint32_t lineEnd,
                    const std::function<bool(BufferedFile&)>& writeContent,
                    const BufferedFileFactory& makeFile)
{
    std::wstring target;
    if (path.empty()) {
        return FailWith(ENOENT);
    }
    if (!Utf8ToWide(path, target)) {
        return FailWith(EINVAL);
    }
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        // A read-only file stays protected, and devices or folders are never replaced.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return FailWith(EISDIR);
        }
        if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
            return FailWith(EINVAL);
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return FailWith(EACCES);
        }
    } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
        return FailWithSystemError();
    }
    std::string temporary;
    std::wstring wideTemporary;
    if (!CreateTemporaryFile(path, temporary, wideTemporary)) {
        return FailWithSystemError();
    }
    bool saved = WriteSaveContent(temporary, lineEnd, writeContent, makeFile);
    if (saved) {
        errno = 0;
    }
    if (saved && exists && (attributes & kKeptAttributes) != 0) {
        saved = ::SetFileAttributesW(wideTemporary.c_str(), attributes & kKeptAttributes) != 0;
    }
    // Write-through: the call returns once the move itself is on disk.
    saved = saved && ::MoveFileExW(wideTemporary.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!saved) {
        // WriteSaveContent has set errno already; the calls after it leave their own reason.
        const int error = errno != 0 ? errno : RawFile::ToErrno(::GetLastError());
        (void)::DeleteFileW(wideTemporary.c_str());
        return FailWith(error);
    }
    return true;
}
