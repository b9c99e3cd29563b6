// The system's error codes that file tests expect: errno values, or Windows error codes.
#pragma once

#include <cerrno>
#include <cstdint>

#ifdef _WIN32
constexpr uint32_t kMissingFileError = 2;    // ERROR_FILE_NOT_FOUND
constexpr uint32_t kMissingFolderError = 3;  // ERROR_PATH_NOT_FOUND
constexpr uint32_t kNegativeSeekError = 131; // ERROR_NEGATIVE_SEEK
#else
constexpr uint32_t kMissingFileError = ENOENT;
constexpr uint32_t kMissingFolderError = ENOENT;
constexpr uint32_t kNegativeSeekError = EINVAL;
#endif
