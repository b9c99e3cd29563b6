#include "editor/UndoHistory.h"

#include "files/ProjectOpen.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace {

// A private folder for one snapshot's file, gone when the object is.
class SnapshotFolder
{
public:
    SnapshotFolder()
    {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "zq-undo-XXXXXX").string();
        if (!error && mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        }
    }
    ~SnapshotFolder()
    {
        std::error_code error;
        if (!m_folder.empty()) {
            std::filesystem::remove_all(m_folder, error);
        }
    }
    SnapshotFolder(const SnapshotFolder&) = delete;
    SnapshotFolder& operator=(const SnapshotFolder&) = delete;

    bool IsReady() const { return !m_folder.empty(); }
    std::string File() const { return m_folder + "/project"; }

private:
    std::string m_folder;
};

} // namespace

std::optional<ProjectSnapshot> TakeSnapshot(Keyboard& keyboard)
{
    SnapshotFolder folder;
    uint8_t format = 0;
    if (!folder.IsReady() || SaveProjectFile(keyboard, folder.File(), &format) != SaveOutcome::Saved) {
        return std::nullopt;
    }
    std::ifstream file(folder.File(), std::ios::binary);
    ProjectSnapshot snapshot;
    snapshot.text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        return std::nullopt;
    }
    snapshot.typeId = keyboard.GetTypeId();
    snapshot.signature = keyboard.GetContentSignature();
    return snapshot;
}

std::unique_ptr<Keyboard> RestoreSnapshot(const ProjectSnapshot& snapshot)
{
    SnapshotFolder folder;
    if (!folder.IsReady()) {
        return nullptr;
    }
    {
        std::ofstream file(folder.File(), std::ios::binary);
        file.write(snapshot.text.data(), static_cast<std::streamsize>(snapshot.text.size()));
        if (!file.good()) {
            return nullptr;
        }
    }
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(snapshot.typeId);
    uint8_t format = 0;
    if (keyboard == nullptr || !keyboard->LoadFile(folder.File(), &format)) {
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
