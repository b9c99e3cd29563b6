// File access through a 10240-byte buffer: line reading with any line end, line writing
// with a chosen line end, and hexadecimal digit pairs read as bytes.
#pragma once

#include "io/RawFile.h"

#include <memory>

class BufferedFile : public RawFile
{
public:
    static constexpr uint32_t kBufferSize = 10240;
    // Far above any line a project, layout or language file holds; a longer line is no line of
    // ours, and an endless one (a huge file without breaks) must not take all memory.
    static constexpr uint32_t kMaxLineLength = 1u << 20;

    // Line-end codes of Open and WriteLine; any other code writes no terminator.
    enum LineEnd : uint32_t {
        LineEndLf = 1,
        LineEndCr = 2,
        LineEndCrLf = 3,
        LineEndDefault = 4,
    };

    BufferedFile();
    ~BufferedFile() override;

    using RawFile::Open;
    // False also when pending bytes could not be written.
    bool Close() override;
    uint32_t Seek(int64_t distance, uint32_t origin) override;
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Tell() override;
    bool Flush() override;
    bool Truncate() override;
    virtual uint32_t FillBuffer();
    virtual uint32_t FlushBuffer();
    virtual bool Open(const std::string& name, bool readOnly, uint32_t lineEnd);
    // False when no byte at all could be read, or when the line runs past kMaxLineLength (then
    // LastError is EOVERFLOW and the text empty). An empty line comes back as white space (a lone
    // CR or LF), so callers trim what they read.
    virtual bool ReadLine(std::string& text);
    virtual bool WriteLine(const std::string& text, uint32_t lineEnd);
    virtual bool HexPairToByte(char high, char low, uint8_t& byte) const;
    virtual bool HexDigitValue(char character, uint8_t& value) const;
    // The text must be an unbroken run of hexadecimal digit pairs.
    virtual bool ReadHexBytes(uint8_t* destination, uint32_t count, uint32_t& done);

    bool WriteLine(const std::string& text) { return WriteLine(text, LineEndDefault); }

private:
    bool DropReadAhead();

    std::unique_ptr<uint8_t[]> m_buffer;
    uint8_t m_lastChar = 0;
    uint8_t m_dirty = 0;
    uint32_t m_length = 0;
    uint32_t m_bufferOffset = 0;
    uint32_t m_position = 0;
    uint32_t m_lineEnd = LineEndDefault;
};
