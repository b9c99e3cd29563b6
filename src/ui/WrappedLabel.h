// A word-wrapped label that keeps its heights for the widths it was asked about.
#pragma once

#include <QFont>
#include <QLabel>
#include <QMargins>

#include <map>

// While a window is laid out, its layouts ask a wrapped label's height for the same few widths
// again and again, and QLabel lays its whole text out for every answer. Anything that changes
// the text's layout starts the heights afresh.
class WrappedLabel : public QLabel
{
public:
    WrappedLabel(const QString& text, QWidget* parent);
    int heightForWidth(int width) const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Layout
    {
        QString text;
        QFont font;
        QMargins margins;
        int margin = 0;
        int indent = 0;
        Qt::Alignment alignment;
        Qt::TextFormat format = Qt::AutoText;
        bool wrapped = false;
        bool operator==(const Layout&) const = default;
    };
    // A window resized by hand asks for ever new widths.
    static constexpr size_t kMostWidths = 8;

    mutable Layout m_measured;
    mutable std::map<int, int> m_heights;
};
