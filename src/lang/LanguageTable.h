// Replacement texts read from a language file: lines of "id=text".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class LanguageTable
{
public:
    static constexpr uint16_t kMaxEntries = 1024;
    static constexpr size_t kMaxTextLength = 128;
    static constexpr size_t kStoreLimit = 0x20000;

    LanguageTable();
    LanguageTable(const LanguageTable&) = delete;
    LanguageTable& operator=(const LanguageTable&) = delete;

    // Replaces the entries by those of the file. False when the file cannot be opened; the
    // table is then empty.
    bool ReadFile(const std::string& path);
    void Clear();

    // The first entry with the id wins.
    bool Find(uint32_t id, std::string& text) const;
    uint16_t GetCount() const { return m_count; }

private:
    bool AddEntry(uint32_t id, const std::string& text, size_t& offset);

    uint32_t m_ids[kMaxEntries];
    const char* m_texts[kMaxEntries];
    std::unique_ptr<char[]> m_store;
    size_t m_storeSize = 0;
    uint16_t m_count = 0;
};

// The language file beside a program: the extension of the program's file name replaced by
// "lang", or ".lang" appended when the name has none. Empty when the path names no file.
std::string GetLanguageFileName(const std::string& programPath);
