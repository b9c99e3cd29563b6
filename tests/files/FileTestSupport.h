// Helpers for file tests: a private temporary folder, whole-file reads and writes, and a
// buffered file whose device fails after a number of bytes.
#pragma once

#include "files/BufferedFile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zqfiles.XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Accepts m_remaining bytes, then answers every write with ENOSPC, like a full disk.
class FailAfterFile : public BufferedFile
{
public:
    explicit FailAfterFile(size_t bytesAccepted) : m_remaining(bytesAccepted) {}
    // The base destructor would flush through the real device, so flush while still whole.
    ~FailAfterFile() override { Close(); }

protected:
    ssize_t SystemWrite(const void* data, size_t count) override
    {
        if (m_remaining == 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t piece = count < m_remaining ? count : m_remaining;
        const ssize_t put = BufferedFile::SystemWrite(data, piece);
        if (put > 0) {
            m_remaining -= static_cast<size_t>(put);
        }
        return put;
    }

private:
    size_t m_remaining;
};
