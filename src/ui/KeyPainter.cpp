#include "ui/KeyPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QTextOption>

namespace {

constexpr qreal kGap = 2.0;
constexpr qreal kRadius = 5.0;
constexpr qreal kLabelPoints = 7.5;
constexpr qreal kNumberPoints = 6.5;
constexpr qreal kSmallestPoints = 5.5;

// One hue per kind: ordinary keys, layout switch keys, modifier keys (and anything else).
QColor KindColour(uint8_t kind, const QPalette& palette)
{
    switch (kind) {
    case 0:
        return palette.color(QPalette::Button);
    case 1:
        return QColor(0x4A, 0x86, 0xC8);
    case 2:
        return QColor(0xE0, 0x8A, 0x2E);
    case 3:
        return QColor(0x4C, 0xA8, 0x5A);
    default:
        return QColor(0x9A, 0x6C, 0xC0);
    }
}

QColor Mix(const QColor& a, const QColor& b, qreal share)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - share) + b.redF() * share),
                            static_cast<float>(a.greenF() * (1 - share) + b.greenF() * share),
                            static_cast<float>(a.blueF() * (1 - share) + b.blueF() * share));
}

// The largest size from the given one down that shows the words whole in the area; the smallest
// size with the end elided when none does.
void DrawLabel(QPainter& painter, const QRectF& area, const QString& label, qreal points)
{
    QFont font = painter.font();
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    for (qreal size = points; size >= kSmallestPoints; size -= 0.5) {
        font.setPointSizeF(size);
        const QRectF needed = QFontMetricsF(font).boundingRect(area, flags, label);
        if (needed.width() <= area.width() && needed.height() <= area.height()) {
            painter.setFont(font);
            painter.drawText(area, flags, label);
            return;
        }
    }
    const QFontMetricsF metrics(font);
    const int lines = std::max(1, static_cast<int>(area.height() / metrics.lineSpacing()));
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.setFont(font);
    painter.drawText(
        area, metrics.elidedText(label, Qt::ElideRight, area.width() * lines - metrics.averageCharWidth()),
        option);
}

} // namespace

void PaintKeyCap(QPainter& painter, const QRectF& area, const KeyCapLook& look, const QPalette& palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF cap = area.adjusted(kGap, kGap, -kGap, -kGap);
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    // A programmed key is a solid cap in its kind's hue; an empty one a pale cap with a dashed rim.
    QColor fill = look.programmed ? Mix(base, KindColour(look.imageKind, palette), 0.55)
                                  : Mix(base, palette.color(QPalette::Button), 0.5);
    if (look.state == KeyState::SelectedFocused) {
        fill = Mix(fill, highlight, 0.35);
    }
    QPainterPath path;
    path.addRoundedRect(cap, kRadius, kRadius);
    painter.fillPath(path, fill);
    // The lower lip gives the cap its depth.
    painter.setPen(QPen(Mix(fill, palette.color(QPalette::Shadow), 0.35), 2.0));
    painter.drawLine(QPointF(cap.left() + kRadius, cap.bottom() - 1),
                     QPointF(cap.right() - kRadius, cap.bottom() - 1));

    QPen rim(look.programmed ? Mix(fill, palette.color(QPalette::WindowText), 0.45)
                             : palette.color(QPalette::Mid),
             1.0);
    if (!look.programmed) {
        rim.setStyle(Qt::DashLine);
    }
    if (look.state != KeyState::Unselected) {
        rim = QPen(highlight, look.state == KeyState::SelectedFocused ? 3.0 : 2.0);
    }
    painter.setPen(rim);
    painter.drawRoundedRect(cap.adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);

    if (!look.label.isEmpty()) {
        const QColor ink = palette.color(QPalette::WindowText);
        painter.setPen(look.programmed ? ink : Mix(fill, ink, 0.45));
        DrawLabel(painter, cap.adjusted(2, 2, -2, -3), look.label,
                  look.programmed ? kLabelPoints : kNumberPoints);
    }
    painter.restore();
}
