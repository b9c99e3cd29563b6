#include "editor/KeyEditSession.h"

#include "model/KeyCell.h"
#include "model/KeyMessage.h"
#include "model/Keyboard.h"

namespace {

constexpr uint32_t kAltScanCode = 56;
constexpr uint32_t kCtrlScanCode = 29;
// A left Ctrl this close before a right Alt was the platform's part of AltGr.
constexpr uint64_t kAltGrWindowMs = 75;

uint32_t ScanCode(const KeyMessage& message)
{
    return (message.lParam >> 16) & 0xFF;
}

bool IsExtended(const KeyMessage& message)
{
    return (message.lParam & kKeyDataExtended) != 0;
}

bool IsFirstPressOrRelease(const KeyMessage& message)
{
    return message.IsKeyUp() || !message.IsAutoRepeat();
}

} // namespace

bool KeyEditSession::Begin(Keyboard& keyboard, GridPoint key)
{
    KeyCell* copy = nullptr;
    if (!keyboard.BeginEditCell(key, &copy) || copy == nullptr) {
        return false;
    }
    m_editCell = copy;
    m_pendingLeftCtrl = false;
    return true;
}

bool KeyEditSession::WriteBack(Keyboard& keyboard)
{
    if (m_editCell == nullptr) {
        return false;
    }
    const bool taken = keyboard.EndEditCell(&m_editCell);
    m_editCell = nullptr;
    return taken;
}

void KeyEditSession::Discard()
{
    m_editCell = nullptr;
    m_pendingLeftCtrl = false;
}

KeyEditSession::CaptureResult KeyEditSession::Capture(const KeyMessage& message, int field, uint64_t timeMs)
{
    CaptureResult result;
    if (m_editCell == nullptr || field == 0) {
        return result;
    }
    result.consumed = true;
    if (m_pendingLeftCtrl && ScanCode(message) == kAltScanCode && IsExtended(message) &&
        IsFirstPressOrRelease(message) && timeMs - m_lastKeyTime < kAltGrWindowMs) {
        m_editCell->UndoLastInsert();
        field = m_editCell->GetCodeCount() + 1;
    }
    m_lastKeyTime = timeMs;
    m_pendingLeftCtrl =
        ScanCode(message) == kCtrlScanCode && !IsExtended(message) && IsFirstPressOrRelease(message);
    bool handled = false;
    m_editCell->HandleKeyMessage(message, field, &handled);
    m_pendingLeftCtrl = m_pendingLeftCtrl && handled;

    const int count = m_editCell->GetCodeCount();
    if (m_editCell->IsEnterHeld()) {
        result.next = Next::FocusApply;
    } else if (m_editCell->IsEscHeld()) {
        result.next = Next::Cancel;
    } else if (handled) {
        result.next = Next::ShowCodes;
        result.focusField = count + 1;
    }
    if (!handled && result.next == Next::Nothing && message.IsKeyDown() && !message.IsAutoRepeat()) {
        result.refusal = count >= m_editCell->GetCapacity() ? Refusal::Full : Refusal::NotTaken;
    }
    if (result.next != Next::Cancel && count >= kCodeFieldCount && message.IsKeyUp() &&
        (field == kHiddenCodeField || (field == kCodeFieldCount && count > 0))) {
        result.next = Next::FocusApply;
    }
    return result;
}
