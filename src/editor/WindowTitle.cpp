#include "editor/WindowTitle.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"

namespace {

constexpr size_t kShortFolderLength = 32;
constexpr size_t kKeptHead = 16;
constexpr size_t kShortestHead = 5;
constexpr size_t kShortestTail = 8;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A window shows "[*][*]" as "[*]": the title's own marker stays the only one.
std::string EscapeMarker(const std::string& text)
{
    std::string escaped;
    for (size_t at = 0; at < text.size(); ++at) {
        escaped += text[at];
        if (text.compare(at, 3, "[*]") == 0) {
            escaped += "*][*]";
            at += 2;
        }
    }
    return escaped;
}

void RemoveAll(std::string& text, const std::string& pattern)
{
    for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern)) {
        text.erase(at, pattern.size());
    }
}

} // namespace

std::string ShortenFolder(const std::string& folder)
{
    const size_t length = folder.size();
    if (length <= kShortFolderLength) {
        return folder;
    }
    size_t head = 0;
    for (size_t at = kKeptHead; at >= 1 && head == 0; --at) {
        if (IsSeparator(folder[at])) {
            head = at + 1;
        }
    }
    if (head < kShortestHead) {
        head = kKeptHead;
    }
    const size_t cut = head + length - kShortFolderLength;
    size_t tail = cut;
    while (tail < length && !IsSeparator(folder[tail])) {
        ++tail;
    }
    if (length - tail < kShortestTail) {
        tail = cut;
    }
    return folder.substr(0, head) + "..." + folder.substr(tail);
}

std::string MakeWindowTitle(const std::string& path, bool readOnly)
{
    const std::string text = path.empty() ? LoadText(IDS_NO_NAME) : path;
    size_t split = 0;
    for (size_t at = text.size(); at > 1; --at) {
        if (IsSeparator(text[at - 1])) {
            split = at;
            break;
        }
    }
    const std::string folder = text.substr(0, split);
    std::string name = EscapeMarker(text.substr(split)) + "[*]";
    if (readOnly) {
        name += LoadText(IDS_TITLE_READ_ONLY);
    }
    std::string title = LoadText(IDS_WINDOW_TITLE);
    title = ReplaceFirst(title, "%fn%", name);
    title = ReplaceFirst(title, "%sp%", EscapeMarker(ShortenFolder(folder)));
    title = ReplaceFirst(title, "%fp%", EscapeMarker(folder));
    RemoveAll(title, " []");
    RemoveAll(title, "[]");
    return title;
}
