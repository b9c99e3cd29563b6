// Saving a file so that a failure never loses or damages the previous file.
#pragma once

#include "io/BufferedFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Makes the file object the content is written through; tests hand in failing devices.
using BufferedFileFactory = std::function<std::unique_ptr<BufferedFile>()>;

// Writes the content into a new temporary file in the target's folder, checks every write,
// syncs it to disk and then puts it in place of the target with one rename. On POSIX a target
// reached through symbolic links is resolved first, so the link stays and its final target is
// replaced, and an existing target keeps its permission bits; on Windows it keeps its hidden,
// system and archive attributes. An existing target must be writable. On any failure (including
// writeContent answering false or leaving a write error) the temporary file is removed, the
// target is untouched and the answer is false, with errno telling why (EISDIR for a folder).
bool SaveFileSafely(const std::string& path, uint32_t lineEnd,
                    const std::function<bool(BufferedFile&)>& writeContent,
                    const BufferedFileFactory& makeFile = {});
