#include "editor/KeyCodePalette.h"

#include "keycodes/KeyTables.h"
#include "lang/StringIds.h"
#include "model/LegacyKeyCell.h"
#include "model/UsbKeyCell.h"

namespace {

constexpr uint32_t kReleaseFlag = 0x8000;

bool IsReleaseUsage(uint32_t usage)
{
    return IsKeyboardPage(usage) && (usage & 0xFF) >= kFirstReleaseId;
}

bool HoldsCode(const KeyCell& cell, uint32_t code)
{
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        if (cell.GetCode(i) == code) {
            return true;
        }
    }
    return false;
}

bool AddUsbCode(KeyCell& cell, const KeyCodeEntry& entry)
{
    const uint32_t usage = entry.codes.front();
    // A byte record would turn a page-1 usage into another key of page 7.
    if (!IsKeyboardPage(usage)) {
        return false;
    }
    const int count = cell.GetCodeCount();
    if (IsReleaseUsage(usage)) {
        return count > 0 && cell.CaptureRow(entry.row, count + 1);
    }
    if (!cell.CaptureRow(entry.row, count + 1)) {
        return false;
    }
    // Only the modifiers have release rows; the rest record nothing when let go.
    const UsbKeyEntry* row = GetUsbRow(entry.row);
    if (row->set1 != 0) {
        if (const int release = UsbKeyTable::FindRowBySet1(row->set1 | kReleaseFlag); release != 0) {
            cell.CaptureRow(release, cell.GetCodeCount() + 1);
        }
    }
    return true;
}

} // namespace

KeyCodeFamily GetCellFamily(const KeyCell& cell)
{
    return dynamic_cast<const LegacyKeyCell*>(&cell) != nullptr ? KeyCodeFamily::Legacy : KeyCodeFamily::Usb;
}

bool AddKeyCode(KeyCell& cell, const KeyCodeEntry& entry)
{
    if (!cell.AcceptsCodes() || entry.codes.empty()) {
        return false;
    }
    if (GetCellFamily(cell) == KeyCodeFamily::Usb) {
        return AddUsbCode(cell, entry);
    }
    return cell.CaptureRow(entry.row, cell.GetCodeCount() + 1);
}

CodeRefusal CheckKeyCode(const KeyCell* cell, const KeyCodeEntry& entry)
{
    if (cell == nullptr) {
        return CodeRefusal::NoKey;
    }
    if (AddKeyCode(*cell->Clone(), entry)) {
        return CodeRefusal::None;
    }
    if (!cell->AcceptsCodes()) {
        return CodeRefusal::LayoutSwitch;
    }
    if (GetCellFamily(*cell) == KeyCodeFamily::Usb) {
        const uint32_t usage = entry.codes.front();
        if (!IsKeyboardPage(usage)) {
            return CodeRefusal::NotStored;
        }
        if (cell->GetKeyType() == kUsbKeyTypeModifier) {
            if (!UsbKeyTable::IsModifierUsage(usage)) {
                return CodeRefusal::ModifiersOnly;
            }
            if (HoldsCode(*cell, usage)) {
                return CodeRefusal::AlreadyThere;
            }
        }
        if (IsReleaseUsage(usage) && cell->GetCodeCount() == 0) {
            return CodeRefusal::ReleaseFirst;
        }
    }
    return CodeRefusal::Full;
}

uint32_t GetRefusalTextId(CodeRefusal refusal)
{
    switch (refusal) {
    case CodeRefusal::None:
        break;
    case CodeRefusal::NoKey:
        return IDS_CODE_REFUSED_NO_KEY;
    case CodeRefusal::LayoutSwitch:
        return IDS_CODE_REFUSED_SWITCH;
    case CodeRefusal::Full:
        return IDS_KEY_FULL;
    case CodeRefusal::ModifiersOnly:
        return IDS_CODE_REFUSED_MODIFIERS_ONLY;
    case CodeRefusal::AlreadyThere:
        return IDS_CODE_REFUSED_TWICE;
    case CodeRefusal::ReleaseFirst:
        return IDS_CODE_REFUSED_RELEASE_FIRST;
    case CodeRefusal::NotStored:
        return IDS_CODE_REFUSED_NOT_STORED;
    }
    return 0;
}
