// A private folder under the system's temporary folder for tests, removed with everything in
// it, and whole-file reads and writes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

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

inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
}

// True for anything at path, a dangling link or a socket included.
inline bool Exists(const std::string& path)
{
    std::error_code error;
    const auto type = std::filesystem::symlink_status(path, error).type();
    return type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::none;
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
// The permission bits of a file, 0 when it cannot be looked at.
inline unsigned ModeOf(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}
#endif

class TempFolder
{
public:
    // The folder's name is the prefix followed by a unique suffix.
    explicit TempFolder(const std::string& prefix = "zq-test")
    {
#ifdef _WIN32
        // No mkdtemp: a random name that create_directory makes only when nobody has it.
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto path =
                std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(seed()));
            std::error_code error;
            if (std::filesystem::create_directory(path, error)) {
                m_path = path.generic_string();
            }
        }
#else
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
#endif
    }
    ~TempFolder()
    {
        if (!m_path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const
    {
        return m_path;
    }
    std::string File(const std::string& name) const
    {
        return m_path + "/" + name;
    }
    // Writes the bytes exactly as given and answers the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string path = File(name);
        WriteWholeFile(path, bytes);
        return path;
    }

private:
    std::string m_path;
};
