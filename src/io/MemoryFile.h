// A buffered file whose bytes live in a string: the project writers and readers run on it
// unchanged, with no folder that could be missing or full and nothing to sync.
#pragma once

#include "io/BufferedFile.h"

#include <functional>
#include <string>

class MemoryFile : public BufferedFile
{
public:
    // Open for reading and writing at the start of content; lineEnd as in BufferedFile::Open.
    explicit MemoryFile(std::string content = {}, uint32_t lineEnd = LineEndDefault);
    ~MemoryFile() override;

    using BufferedFile::Open;
    // Opens the bytes held again at their start; there is no file system, so the name is not
    // used. Read only refuses writes as a read-only descriptor does.
    bool Open(const std::string& name, bool readOnly) override;
    bool IsOpen() const override;
    uint64_t GetSize() override;
    // The bytes written, without those still in the buffer until Flush or Close.
    const std::string& GetContent() const { return m_content; }
    // Hands the bytes over and leaves the file empty; for after Close.
    std::string TakeContent();

protected:
    ssize_t SystemWrite(const void* data, size_t count) override;
    ssize_t SystemRead(void* data, size_t count) override;
    int64_t SystemSeek(int64_t distance, uint32_t origin) override;
    bool SystemSync() override;
    bool SystemTruncate(uint64_t size) override;
    bool SystemClose() override;

private:
    std::string m_content;
    size_t m_position = 0;
    bool m_open = false;
};

// What SaveFileSafely is for a file on disk, for text kept in memory: writeContent fills a
// MemoryFile using lineEnd. False when it answers false or leaves a write error; text is then
// untouched.
bool WriteToMemory(std::string& text, uint32_t lineEnd,
                   const std::function<bool(BufferedFile&)>& writeContent);
