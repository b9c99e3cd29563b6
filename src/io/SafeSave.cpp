// The safe save on POSIX: links resolved, permissions and owner kept, the folder synced.
#include "io/SafeSave.h"

#include "io/SafeSaveWrite.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxLinkDepth = 40;
constexpr int kNameAttempts = 100;
// Enough of the target's name to recognise a left-over temporary file, short enough that the
// temporary name stays within the system's limit whatever the target's name.
constexpr size_t kNameCharactersKept = 32;

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links by hand so that a link to a file not yet created still leads to the
// place the new file belongs; false on a loop or an unreadable link.
bool ResolveLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info
        {
        };
        if (::lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(resolved.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<size_t>(length) >= target.size()) {
            return false;
        }
        target.resize(static_cast<size_t>(length));
        resolved = target.front() == '/' ? target : FolderOf(resolved) + "/" + target;
    }
    return false;
}

// Creates an empty file with a name nobody else uses, with the given mode less the umask.
bool CreateTemporaryFile(const std::string& target, mode_t mode, std::string& temporary)
{
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    std::mt19937 random(seed());
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name =
        (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, kNameCharactersKept);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
                    "-" + std::to_string(random() % 1000000) + ".tmp";
        int handle;
        do {
            handle = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        } while (handle < 0 && errno == EINTR);
        if (handle >= 0) {
            return ::close(handle) == 0 || errno == EINTR;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// Keeping owner and group is a courtesy: only a privileged process may give a file away, and
// anyone else keeps the file as their own, as a new file would be.
void KeepOwner(const std::string& path, const struct stat& existing)
{
    if (::chown(path.c_str(), existing.st_uid, existing.st_gid) != 0 &&
        ::chown(path.c_str(), static_cast<uid_t>(-1), existing.st_gid) != 0) {
        errno = 0;
    }
}

bool SyncFolder(const std::string& folder)
{
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return false;
    }
    const bool synced = ::fsync(handle) == 0;
    return ::close(handle) == 0 && synced;
}

bool FailWith(int error)
{
    errno = error;
    return false;
}

} // namespace

bool SaveFileSafely(const std::string& path, uint32_t lineEnd,
                    const std::function<bool(BufferedFile&)>& writeContent,
                    const BufferedFileFactory& makeFile)
{
    if (path.empty()) {
        return FailWith(ENOENT);
    }
    std::string target;
    if (!ResolveLinks(path, target)) {
        return FailWith(ELOOP);
    }
    struct stat existing
    {
    };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        // A read-only file stays protected, and devices or folders are never replaced.
        if (!S_ISREG(existing.st_mode)) {
            return FailWith(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
        }
        if (::access(target.c_str(), W_OK) != 0) {
            return false;
        }
    } else if (errno != ENOENT) {
        return false;
    }
    // A new file gets what an ordinary create would give it. Over an existing file the content
    // stays private until the target's own permissions are copied.
    std::string temporary;
    if (!CreateTemporaryFile(target, exists ? 0600 : 0666, temporary)) {
        return false;
    }
    bool saved = WriteSaveContent(temporary, lineEnd, writeContent, makeFile);
    if (saved && exists) {
        KeepOwner(temporary, existing);
        saved = ::chmod(temporary.c_str(), existing.st_mode & 07777) == 0;
    }
    saved = saved && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!saved) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return FailWith(error);
    }
    // The new content is in place whatever happens here; the folder sync only makes the
    // rename itself survive a power loss, so its failure cannot turn the save into a failure.
    (void)SyncFolder(FolderOf(target));
    return true;
}
