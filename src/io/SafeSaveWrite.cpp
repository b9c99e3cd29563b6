#include "io/SafeSaveWrite.h"

#include <cerrno>

bool WriteSaveContent(const std::string& temporary, uint32_t lineEnd,
                      const std::function<bool(BufferedFile&)>& writeContent,
                      const BufferedFileFactory& makeFile)
{
    std::unique_ptr<BufferedFile> file = makeFile ? makeFile() : std::make_unique<BufferedFile>();
    const auto failWith = [&file](int fallback) {
        const int error = file && file->LastError() != 0 ? RawFile::ToErrno(file->LastError()) : fallback;
        if (file) {
            file->Close();
        }
        errno = error;
        return false;
    };
    if (!file || !file->Open(temporary, false, lineEnd) || file->LastError() != 0) {
        return failWith(errno != 0 ? errno : EIO);
    }
    // Content that refuses itself without a system error is no I/O failure of ours.
    if (!writeContent(*file) || file->LastError() != 0) {
        return failWith(EINVAL);
    }
    // Flush writes the buffer and syncs; Close reports any write that failed since the open.
    if (!file->Flush() || file->LastError() != 0) {
        return failWith(EIO);
    }
    const uint32_t pending = file->LastError();
    errno = 0;
    if (!file->Close()) {
        errno = pending != 0 ? RawFile::ToErrno(pending) : (errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}
