// Scratch folders and files for the language tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& name = "zq-lang-test")
    {
        static int serial = 0;
        m_path = std::filesystem::temp_directory_path() /
                 (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes the bytes exactly as given and answers the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path path = m_path / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};
