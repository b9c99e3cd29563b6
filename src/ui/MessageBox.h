// The editor's questions and messages as message boxes; tests answer them through a hook.
#pragma once

#include "editor/EditorPrompts.h"

#include <functional>

class QWidget;

class MessageBox : public EditorPrompts
{
public:
    // Called instead of showing a box; answers questions (messages ignore the answer).
    using TestHook = std::function<PromptAnswer(const std::string& text, uint32_t titleId)>;

    explicit MessageBox(QWidget* parent) : m_parent(parent) {}

    PromptAnswer Ask(const std::string& text, uint32_t titleId, PromptButtons buttons) override;
    void ShowMessage(const std::string& text, uint32_t titleId, MessageIcon icon) override;

    static void SetTestHook(TestHook hook);

private:
    QWidget* m_parent;
};
