#include "cli/ProgressBar.h"

#include <unistd.h>
#include <utility>

ProgressBar::ProgressBar(FILE* stream) : m_stream(stream) {}

ProgressBar::~ProgressBar()
{
    Finish();
}

FILE* ProgressBar::TerminalOrNull(FILE* stream)
{
    return stream != nullptr && ::isatty(::fileno(stream)) == 1 ? stream : nullptr;
}

std::string ProgressBar::FormatLine(uint32_t done, uint32_t total)
{
    if (total == 0) {
        return {};
    }
    if (done > total) {
        done = total;
    }
    const uint64_t filled = static_cast<uint64_t>(done) * kWidth / total;
    const uint64_t percent = static_cast<uint64_t>(done) * 100 / total;
    std::string line = "[";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(kWidth - filled), ' ');
    line += "] ";
    std::string number = std::to_string(percent);
    line.append(3 - number.size(), ' ');
    line += number + "% " + std::to_string(done) + "/" + std::to_string(total);
    return line;
}

void ProgressBar::Progress(uint32_t done, uint32_t total)
{
    // (0, 0) is the operation's end; the bar stays until Finish knows whether it succeeded.
    if (m_stream == nullptr || total == 0) {
        return;
    }
    if (total != m_total || (done == 0 && m_done != 0)) {
        Finish();
        m_total = total;
    }
    Draw(done);
}

void ProgressBar::Draw(uint32_t done)
{
    // Redrawing only when the percentage moves keeps a byte-by-byte transfer from flooding the terminal.
    m_done = done < m_total ? done : m_total;
    const int percent = static_cast<int>(static_cast<uint64_t>(m_done) * 100 / m_total);
    if (percent == m_lastPercent && done != m_total) {
        return;
    }
    m_lastPercent = percent;
    std::fprintf(m_stream, "\r%s", FormatLine(m_done, m_total).c_str());
    std::fflush(m_stream);
    m_shown = true;
}

void ProgressBar::SetBusyNotice(FILE* stream, std::string text)
{
    m_noticeStream = stream;
    m_busyNotice = std::move(text);
}

void ProgressBar::KeyboardBusy()
{
    if (m_busySaid || m_noticeStream == nullptr || m_busyNotice.empty()) {
        return;
    }
    m_busySaid = true;
    if (m_shown && m_noticeStream == m_stream) {
        // The bar goes on below the notice.
        std::fputc('\n', m_stream);
        m_lastPercent = -1;
    }
    std::fprintf(m_noticeStream, "%s\n", m_busyNotice.c_str());
    std::fflush(m_noticeStream);
}

void ProgressBar::Finish(bool completed)
{
    if (m_stream != nullptr && m_shown) {
        if (m_done == 0) {
            // Nothing moved: a line of "0%" would only say that nothing happened.
            std::fprintf(m_stream, "\r%s\r", std::string(FormatLine(0, m_total).size(), ' ').c_str());
        } else {
            if (completed && m_done != m_total) {
                std::fprintf(m_stream, "\r%s", FormatLine(m_total, m_total).c_str());
            }
            std::fputc('\n', m_stream);
        }
        std::fflush(m_stream);
    }
    m_shown = false;
    m_total = 0;
    m_done = 0;
    m_lastPercent = -1;
}
