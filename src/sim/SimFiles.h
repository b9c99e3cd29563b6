// Whole-file reads and replace-on-write dumps for the simulator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// At most maxBytes + 1 bytes are read so a caller can tell an oversized file.
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& data, std::string& error);

// Writes beside the target and renames, so a reader never sees half a dump.
bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size, std::string& error);
