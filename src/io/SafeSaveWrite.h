// The writing half of the safe save, the same on every platform.
#pragma once

#include "io/SafeSave.h"

// Opens the temporary file, lets writeContent fill it, flushes it to disk and closes it; false
// when any step fails or writeContent answers false or leaves a write error behind, with errno
// telling why.
bool WriteSaveContent(const std::string& temporary, uint32_t lineEnd,
                      const std::function<bool(BufferedFile&)>& writeContent,
                      const BufferedFileFactory& makeFile);
