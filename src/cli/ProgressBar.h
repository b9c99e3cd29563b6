// The progress of a device command as a text bar on a terminal.
#pragma once

#include "device/ProgressSink.h"

#include <cstdint>
#include <cstdio>
#include <string>

class ProgressBar : public ProgressSink
{
public:
    static constexpr int kWidth = 40;

    // Draws on the stream, which the caller keeps open; a null stream draws nothing.
    explicit ProgressBar(FILE* stream);
    ~ProgressBar() override;
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The stream when it is a terminal, else null: pipes and files get no bar.
    static FILE* TerminalOrNull(FILE* stream);

    void Progress(uint32_t done, uint32_t total) override;
    // Prints the busy notice set below, once, on its own line.
    void KeyboardBusy() override;
    // The line a busy keyboard gets, and where it goes: also where no bar is drawn.
    void SetBusyNotice(FILE* stream, std::string text);

    // Ends a bar that is still shown so that a following message starts on its own line. A
    // completed operation's bar is drawn full first; one that never moved is wiped out instead.
    void Finish(bool completed = false);

    // One frame without the leading carriage return, e.g. "[####    ]  50% 1/2".
    static std::string FormatLine(uint32_t done, uint32_t total);

private:
    void Draw(uint32_t done);

    FILE* m_stream;
    uint32_t m_total = 0;
    uint32_t m_done = 0;
    int m_lastPercent = -1;
    bool m_shown = false;
    FILE* m_noticeStream = nullptr;
    std::string m_busyNotice;
    bool m_busySaid = false;
};
