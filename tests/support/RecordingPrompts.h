// Answers the editor's questions with one set answer and records every text shown.
#pragma once

#include "editor/EditorPrompts.h"

#include <string>
#include <vector>

struct RecordingPrompts : EditorPrompts
{
    PromptAnswer answer = PromptAnswer::Cancel;
    std::vector<std::string> shown;

    PromptAnswer Ask(const std::string& text, uint32_t, PromptButtons) override
    {
        shown.push_back(text);
        return answer;
    }
    void ShowMessage(const std::string& text, uint32_t, MessageIcon) override { shown.push_back(text); }
};
