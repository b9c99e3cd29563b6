#include "cli/ProgressBar.h"

#include <unistd.h>

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
    if (m_stream == nullptr) {
        return;
    }
    if (total == 0) {
        Finish();
        return;
    }
    if (done == 0 || total != m_total) {
        m_total = total;
        m_lastPercent = -1;
    }
    Draw(done);
}

void ProgressBar::Draw(uint32_t done)
{
    // Redrawing only when the percentage moves keeps a byte-by-byte transfer from flooding the terminal.
    const int percent =
        static_cast<int>(static_cast<uint64_t>(done < m_total ? done : m_total) * 100 / m_total);
    if (percent == m_lastPercent && done != m_total) {
        return;
    }
    m_lastPercent = percent;
    std::fprintf(m_stream, "\r%s", FormatLine(done, m_total).c_str());
    std::fflush(m_stream);
    m_shown = true;
}

void ProgressBar::Finish()
{
    if (m_stream != nullptr && m_shown) {
        std::fputc('\n', m_stream);
        std::fflush(m_stream);
    }
    m_shown = false;
    m_total = 0;
    m_lastPercent = -1;
}
