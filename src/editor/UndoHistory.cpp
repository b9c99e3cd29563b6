#include "editor/UndoHistory.h"

#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

std::optional<ProjectSnapshot> TakeSnapshot(Keyboard& keyboard)
{
    ProjectSnapshot snapshot;
    uint8_t format = 0;
    if (!keyboard.SaveToMemory(snapshot.text, &format)) {
        return std::nullopt;
    }
    snapshot.typeId = keyboard.GetTypeId();
    snapshot.signature = keyboard.GetContentSignature();
    return snapshot;
}

std::unique_ptr<Keyboard> RestoreSnapshot(const ProjectSnapshot& snapshot)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(snapshot.typeId);
    uint8_t format = 0;
    if (keyboard == nullptr || !keyboard->LoadFromMemory(snapshot.text, &format)) {
        return nullptr;
    }
    return keyboard;
}

void UndoHistory::Clear()
{
    m_undo.clear();
    m_redo.clear();
}

void UndoHistory::Record(ProjectSnapshot before)
{
    m_undo.push_back(std::move(before));
    if (m_undo.size() > kMaxSteps) {
        m_undo.pop_front();
    }
    m_redo.clear();
}

std::optional<ProjectSnapshot> UndoHistory::Undo(ProjectSnapshot current)
{
    if (m_undo.empty()) {
        return std::nullopt;
    }
    ProjectSnapshot target = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back(std::move(current));
    return target;
}

std::optional<ProjectSnapshot> UndoHistory::Redo(ProjectSnapshot current)
{
    if (m_redo.empty()) {
        return std::nullopt;
    }
    ProjectSnapshot target = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back(std::move(current));
    return target;
}
