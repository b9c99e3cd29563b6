#include "ui/WrappedLabel.h"

#include <QEvent>

WrappedLabel::WrappedLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setWordWrap(true);
}

int WrappedLabel::heightForWidth(int width) const
{
    Layout now{text(), font(), contentsMargins(), margin(), indent(), alignment(), textFormat(), wordWrap()};
    if (!(now == m_measured) || m_heights.size() >= kMostWidths) {
        m_measured = std::move(now);
        m_heights.clear();
    }
    auto found = m_heights.find(width);
    if (found == m_heights.end()) {
        found = m_heights.emplace(width, QLabel::heightForWidth(width)).first;
    }
    return found->second;
}

void WrappedLabel::changeEvent(QEvent* event)
{
    // The style sets the frame around the text.
    if (event->type() == QEvent::StyleChange) {
        m_heights.clear();
    }
    QLabel::changeEvent(event);
}
