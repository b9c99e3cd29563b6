#include "lang/LanguageTable.h"

#include "app/Numbers.h"
#include "io/BufferedFile.h"
#include "lang/TextHelpers.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Replacement counts are fixed so that old files keep their meaning: further escapes stay literal.
std::string ApplyEscapes(std::string text)
{
    text = ReplaceFirst(text, "\\t", "\t");
    for (int i = 0; i < 3; ++i) {
        text = ReplaceFirst(text, "\\r", "\r");
    }
    for (int i = 0; i < 3; ++i) {
        text = ReplaceFirst(text, "\\n", "\n");
    }
    return text;
}

// The line reader hands an empty line on as a leading CR or LF of the next line; a line after a
// blank one must not be lost to that.
void DropLeadingLineEnds(std::string& line)
{
    const size_t start = line.find_first_not_of("\r\n");
    line.erase(0, start == std::string::npos ? line.size() : start);
}

bool ParseId(const std::string& head, uint32_t& id)
{
    if (head.find('\0') != std::string::npos) {
        return false;
    }
    return ParseU32(head, id, std::numeric_limits<uint32_t>::max()) == ParseOk && id != 0;
}

} // namespace

LanguageTable::LanguageTable()
{
    Clear();
}

void LanguageTable::Clear()
{
    std::fill(std::begin(m_ids), std::end(m_ids), 0u);
    std::fill(std::begin(m_texts), std::end(m_texts), nullptr);
    m_store.reset();
    m_storeSize = 0;
    m_count = 0;
}

bool LanguageTable::ReadFile(const std::string& path)
{
    Clear();
    BufferedFile file;
    if (!file.Open(path, true, BufferedFile::LineEndDefault) || !file.IsOpen()) {
        return false;
    }
    m_storeSize = static_cast<size_t>(std::min<uint64_t>(file.GetSize(), kStoreLimit));
    m_store = std::make_unique<char[]>(m_storeSize); // zero-filled
    size_t offset = 0;
    std::string line;
    while (file.ReadLine(line)) {
        DropLeadingLineEnds(line);
        if (line.find('=') == std::string::npos) {
            continue;
        }
        std::string head;
        SplitAt(line, head, '=');
        uint32_t id = 0;
        if (!ParseId(head, id)) {
            continue;
        }
        if (!AddEntry(id, CutText(ApplyEscapes(line), kMaxTextLength), offset)) {
            break;
        }
    }
    file.Close();
    return true;
}

bool LanguageTable::AddEntry(uint32_t id, const std::string& text, size_t& offset)
{
    if (offset + kMaxTextLength + 1 > kStoreLimit || m_count >= kMaxEntries) {
        return false;
    }
    // A file that grew while it was read must still not write past the store.
    if (offset + text.size() + 1 > m_storeSize) {
        return false;
    }
    char* destination = m_store.get() + offset;
    std::memcpy(destination, text.data(), text.size());
    destination[text.size()] = '\0';
    m_ids[m_count] = id;
    m_texts[m_count] = destination;
    ++m_count;
    offset += text.size() + 1;
    return true;
}

bool LanguageTable::Find(uint32_t id, std::string& text) const
{
    if (!m_store || m_count == 0) {
        return false;
    }
    for (uint16_t i = 0; i < m_count; ++i) {
        if (m_ids[i] == id) {
            text = m_texts[i];
            return true;
        }
    }
    return false;
}

std::string GetLanguageFileName(const std::string& programPath)
{
    const size_t separator = programPath.find_last_of("/\\");
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    if (nameStart >= programPath.size()) {
        return {};
    }
    const size_t dot = programPath.rfind('.');
    // A dot that starts the name (a hidden file) or sits in a folder name is no extension.
    if (dot == std::string::npos || dot <= nameStart) {
        return programPath + ".lang";
    }
    return programPath.substr(0, dot + 1) + "lang";
}
