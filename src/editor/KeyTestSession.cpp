#include "editor/KeyTestSession.h"

#include "editor/KeyCodePalette.h"
#include "keycodes/KeyTables.h"
#include "lang/TextHelpers.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/LegacyKeyCell.h"
#include "model/UsbKeyCell.h"

#include <algorithm>

namespace {

constexpr uint32_t kKeyboardPage = 7;
constexpr uint32_t kFirstRelease = 0xF0;
constexpr uint32_t kLastRelease = 0xF7;
constexpr uint32_t kSet2Extended = 0xE0;
constexpr uint32_t kSet2Prefix = 0xE1;
constexpr uint32_t kSet2Break = 0xF0;
// A set-2 key with its prefix: 0x100 for E0, 0x200 for E1.
constexpr uint32_t kExtendedKey = 0x100;
constexpr uint32_t kPrefixedKey = 0x200;

bool IsReleaseUsage(uint32_t code)
{
    return (code >> 16) == kKeyboardPage && (code & 0xFFFF) >= kFirstRelease &&
           (code & 0xFFFF) <= kLastRelease;
}

// Sorts every run of neighbouring codes of one kind.
template <typename Kind> void SortRuns(std::vector<uint32_t>& codes, Kind isKind)
{
    auto begin = codes.begin();
    while (begin != codes.end()) {
        begin = std::find_if(begin, codes.end(), isKind);
        const auto end = std::find_if_not(begin, codes.end(), isKind);
        std::sort(begin, end);
        begin = end;
    }
}

std::vector<uint32_t> UsbSentForm(const std::vector<uint32_t>& codes)
{
    std::vector<uint32_t> sent;
    uint8_t held = 0;
    for (const uint32_t code : codes) {
        const auto bit = static_cast<uint8_t>(1u << (code & 7));
        if (UsbKeyTable::IsModifierUsage(code)) {
            if ((held & bit) != 0) {
                continue;
            }
            held |= bit;
        } else if (IsReleaseUsage(code)) {
            if ((held & bit) == 0) {
                continue;
            }
            held &= static_cast<uint8_t>(~bit);
        }
        sent.push_back(code);
    }
    while (!sent.empty() && IsReleaseUsage(sent.back())) {
        sent.pop_back();
    }
    // One report carries all the modifiers set at once, and the PC reads them bit by bit.
    SortRuns(sent, [](uint32_t code) { return UsbKeyTable::IsModifierUsage(code); });
    SortRuns(sent, IsReleaseUsage);
    return sent;
}

bool IsSet2Modifier(uint32_t key)
{
    switch (key) {
    case 0x12: // left Shift
    case 0x59: // right Shift
    case 0x14: // left Ctrl
    case 0x11: // left Alt
    case kExtendedKey | 0x14:
    case kExtendedKey | 0x11:
    case kExtendedKey | 0x1F: // left Windows
    case kExtendedKey | 0x27:
        return true;
    default:
        return false;
    }
}

// The make codes in order: the PC records no break as a key, and a modifier made again while
// held is no new press.
std::vector<uint32_t> LegacySentForm(const std::vector<uint32_t>& codes)
{
    std::vector<uint32_t> sent;
    std::set<uint32_t> held;
    size_t i = 0;
    while (i < codes.size()) {
        uint32_t prefix = 0;
        if ((codes[i] == kSet2Extended || codes[i] == kSet2Prefix) && i + 1 < codes.size()) {
            prefix = codes[i++];
        }
        if (codes[i] == kSet2Break) {
            if (i + 1 < codes.size()) {
                held.erase((prefix == kSet2Extended ? kExtendedKey
                            : prefix == 0           ? 0
                                                    : kPrefixedKey) |
                           codes[i + 1]);
            }
            i += 2;
            continue;
        }
        const uint32_t key = (prefix == kSet2Extended ? kExtendedKey
                              : prefix == 0           ? 0
                                                      : kPrefixedKey) |
                             codes[i];
        ++i;
        if (IsSet2Modifier(key) && !held.insert(key).second) {
            continue;
        }
        if (prefix != 0) {
            sent.push_back(prefix);
        }
        sent.push_back(key & 0xFF);
    }
    return sent;
}

std::vector<uint32_t> CodesOf(const KeyCell& cell)
{
    std::vector<uint32_t> codes;
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        codes.push_back(cell.GetCode(i));
    }
    return codes;
}

std::string CodesText(const KeyCell& cell)
{
    std::string text;
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        const std::string caption = TrimBlanks(cell.GetCodeDisplayText(i));
        if (!caption.empty()) {
            text += (text.empty() ? "" : " ") + caption;
        }
    }
    return text;
}

} // namespace

std::vector<uint32_t> GetSentForm(const KeyCell& cell)
{
    const std::vector<uint32_t> codes = CodesOf(cell);
    return GetCellFamily(cell) == KeyCodeFamily::Legacy ? LegacySentForm(codes) : UsbSentForm(codes);
}

KeyTestSession::KeyTestSession() = default;
KeyTestSession::~KeyTestSession() = default;

void KeyTestSession::SetKeyboard(Keyboard* keyboard)
{
    m_keyboard = keyboard;
    m_burst.reset();
    KeyCell* first = nullptr;
    if (keyboard != nullptr && keyboard->GetCellByIndex(1, &first) && first != nullptr) {
        // A cell of its own, linked to no key: clearing it touches nothing of the project.
        if (GetCellFamily(*first) == KeyCodeFamily::Legacy) {
            m_burst = std::make_unique<LegacyKeyCell>(0, 0, 0, 0, kKeyCellMaxCodes);
        } else {
            m_burst = std::make_unique<UsbKeyCell>(0, 0, 0, 0, kKeyCellMaxCodes);
        }
    }
    Restart();
}

void KeyTestSession::Restart()
{
    m_tested.clear();
    m_burstOpen = false;
    m_overflow = false;
    if (m_burst != nullptr) {
        m_burst->Clear(false, true);
    }
}

uint64_t KeyTestSession::GetQuietMs() const
{
    return kQuietMs + (m_keyboard != nullptr ? m_keyboard->GetKeyPause() : 0);
}

std::optional<BurstResult> KeyTestSession::AddKeyEvent(const KeyHookEvent& event, uint64_t timeMs)
{
    std::optional<BurstResult> ended;
    if (m_burstOpen && !m_state.IsAnyKeyDown() && timeMs >= m_lastEventMs + GetQuietMs()) {
        ended = CloseBurst();
    }
    const KeyHookResult hook = m_state.ProcessKeyEvent(event);
    m_lastEventMs = timeMs;
    if (hook.action == KeyHookAction::Drop || m_burst == nullptr) {
        return ended;
    }
    const KeyMessage message = GetEditorMessage(event, hook);
    m_burstOpen = true;
    // A held key repeating sends no new code; and a held Enter must not act as capture's finish.
    if (message.IsKeyDown() && message.IsAutoRepeat()) {
        return ended;
    }
    const int count = m_burst->GetCodeCount();
    bool handled = false;
    m_burst->HandleKeyMessage(message, count + 1, &handled);
    if (!handled && message.IsKeyDown() && count >= m_burst->GetCapacity()) {
        m_overflow = true;
    }
    return ended;
}

std::optional<BurstResult> KeyTestSession::EndBurst()
{
    if (!m_burstOpen || m_state.IsAnyKeyDown()) {
        return std::nullopt;
    }
    return CloseBurst();
}

std::optional<BurstResult> KeyTestSession::CloseBurst()
{
    m_burstOpen = false;
    const bool overflow = m_overflow;
    m_overflow = false;
    if (m_burst == nullptr || m_burst->GetCodeCount() == 0) {
        // Only releases of keys pressed before the test: nothing was typed.
        return std::nullopt;
    }
    BurstResult result;
    if (!overflow) {
        result = Match(GetSentForm(*m_burst));
    }
    result.codes = CodesOf(*m_burst);
    result.codesText = CodesText(*m_burst) + (overflow ? " ..." : "");
    m_burst->Clear(false, true);
    if (result.match == BurstMatch::Key) {
        for (const FoundKey& key : result.keys) {
            KeyCell* cell = nullptr;
            if (m_keyboard->GetCell(GridColumn(key.point), GridRow(key.point), key.layout, &cell)) {
                m_tested.insert(cell->GetMaster()->GetKeyNumber());
            }
        }
    }
    return result;
}

BurstResult KeyTestSession::Match(const std::vector<uint32_t>& sent) const
{
    BurstResult result;
    if (sent.empty()) {
        return result;
    }
    for (const auto& [point, cell] : KeysOf(m_layout)) {
        if (GetSentForm(*cell) == sent) {
            result.keys.push_back(FoundKey{m_layout, point});
        }
    }
    if (!result.keys.empty()) {
        result.match = BurstMatch::Key;
        return result;
    }
    for (uint8_t layout = 1; layout <= m_keyboard->GetLayoutCount(); ++layout) {
        if (layout == m_layout) {
            continue;
        }
        for (const auto& [point, cell] : KeysOf(layout)) {
            if (GetSentForm(*cell) == sent) {
                result.keys.push_back(FoundKey{layout, point});
            }
        }
    }
    if (!result.keys.empty()) {
        result.match = BurstMatch::OtherLayout;
    }
    return result;
}

std::vector<std::pair<GridPoint, KeyCell*>> KeyTestSession::KeysOf(uint8_t layout) const
{
    std::vector<std::pair<GridPoint, KeyCell*>> keys;
    uint16_t columns = 0;
    uint16_t rows = 0;
    if (m_keyboard == nullptr || !m_keyboard->GetGridSize(&columns, &rows)) {
        return keys;
    }
    std::set<const KeyCell*> seen;
    for (uint16_t row = 1; row <= rows; ++row) {
        for (uint16_t column = 1; column <= columns; ++column) {
            KeyCell* cell = nullptr;
            if (m_keyboard->GetCell(column, row, layout, &cell) && cell->GetKeyNumber() != 0 &&
                seen.insert(cell->GetMaster()).second) {
                keys.emplace_back(MakeGridPoint(column, row), cell);
            }
        }
    }
    return keys;
}

int KeyTestSession::GetTestableCount() const
{
    const auto keys = KeysOf(m_layout);
    return static_cast<int>(std::count_if(keys.begin(), keys.end(),
                                          [](const auto& key) { return !GetSentForm(*key.second).empty(); }));
}

int KeyTestSession::GetTestedCount() const
{
    const auto keys = KeysOf(m_layout);
    return static_cast<int>(std::count_if(keys.begin(), keys.end(), [this](const auto& key) {
        return m_tested.count(key.second->GetMaster()->GetKeyNumber()) != 0 &&
               !GetSentForm(*key.second).empty();
    }));
}

bool KeyTestSession::IsKeyTested(GridPoint cell) const
{
    KeyCell* found = nullptr;
    return m_keyboard != nullptr && m_keyboard->GetCell(GridColumn(cell), GridRow(cell), m_layout, &found) &&
           m_tested.count(found->GetMaster()->GetKeyNumber()) != 0;
}
