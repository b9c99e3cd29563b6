// The questions and messages the editor shows. The window answers them with message boxes,
// tests with scripted answers.
#pragma once

#include <cstdint>
#include <string>

enum class PromptAnswer { Yes, No, Cancel };
enum class PromptButtons { YesNo, YesNoCancel };
enum class MessageIcon { Error, Information, None };

class EditorPrompts
{
public:
    virtual ~EditorPrompts() = default;
    // A question with the warning icon, titled by a string id.
    virtual PromptAnswer Ask(const std::string& text, uint32_t titleId, PromptButtons buttons) = 0;
    virtual void ShowMessage(const std::string& text, uint32_t titleId, MessageIcon icon) = 0;
};
