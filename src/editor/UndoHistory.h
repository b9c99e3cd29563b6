// Undo and redo for the editor: the project before each change, kept as its type and file text.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

class Keyboard;

struct ProjectSnapshot
{
    uint8_t typeId = 0;
    std::string text;
    std::string signature;
    // The selection to show again: the key and the tab (0 for the configuration tab).
    GridPoint key = 0;
    int tab = 0;
};

// The project's file text, made in memory; none only when the project's writer refuses.
std::optional<ProjectSnapshot> TakeSnapshot(Keyboard& keyboard);
// A new project read back from a snapshot; null when it cannot be read.
std::unique_ptr<Keyboard> RestoreSnapshot(const ProjectSnapshot& snapshot);

class UndoHistory
{
public:
    static constexpr size_t kMaxSteps = 200;

    void Clear();
    // The project as it was before a change; the redo steps are gone.
    void Record(ProjectSnapshot before);
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The state to go back (or forward) to; the current one is kept for the other direction.
    std::optional<ProjectSnapshot> Undo(ProjectSnapshot current);
    std::optional<ProjectSnapshot> Redo(ProjectSnapshot current);

private:
    std::deque<ProjectSnapshot> m_undo;
    std::deque<ProjectSnapshot> m_redo;
};
