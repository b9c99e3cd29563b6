#include "ui/KeyPainter.h"

#include "editor/ColourContrast.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextOption>

namespace {

// At the smallest cell; everything grows with it.
constexpr qreal kGap = 2.0;
constexpr qreal kRadius = 5.0;
constexpr qreal kLabelPoints = 7.5;
constexpr qreal kNumberPoints = 6.5;
constexpr qreal kSmallestPoints = 5.5;
// Names typed one letter at a time leave a trail of images nobody shows again, and a window
// across a large screen makes large ones.
constexpr qint64 kMostKeyBytes = 24 << 20;

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

Rgb ToRgb(const QColor& colour)
{
    return Rgb{static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
               static_cast<uint8_t>(colour.blue())};
}

qreal Contrast(const QColor& a, const QColor& b)
{
    return ContrastRatio(ToRgb(a), ToRgb(b));
}

// A programmed key is a solid cap in its kind's hue; an empty one a pale cap.
QColor CapFill(const KeyCapLook& look, const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    QColor fill = look.programmed ? Mix(base, KindColour(look.imageKind, palette), 0.55)
                                  : Mix(base, palette.color(QPalette::Button), 0.5);
    // While comparing, the colour says how the key compares, not its kind; keys alike stay quiet.
    if (const std::optional<Rgb> hue = GetCompareMarkHue(look.mark)) {
        fill = Mix(base, QColor(hue->red, hue->green, hue->blue), 0.6);
    } else if (look.mark == CompareMark::Same) {
        fill = Mix(base, palette.color(QPalette::Button), 0.8);
    }
    if (look.state == KeyState::SelectedFocused) {
        fill = Mix(fill, palette.color(QPalette::Highlight), 0.35);
    }
    return fill;
}

// The theme's text colour where it is legible on the fill; a key's number is fainter than a name,
// but never below what can still be read.
QColor LabelInk(const KeyCapLook& look, const QColor& fill, const QPalette& palette)
{
    const Rgb legible = LegibleInk(ToRgb(palette.color(QPalette::WindowText)), ToRgb(fill));
    const QColor ink(legible.red, legible.green, legible.blue);
    if (look.programmed) {
        return ink;
    }
    for (qreal share = 0.45; share < 1.0; share += 0.05) {
        const QColor faint = Mix(fill, ink, share);
        if (Contrast(faint, fill) >= kLeastTextContrast) {
            return faint;
        }
    }
    return ink;
}

// The top of a marked key holds the mark's symbol.
constexpr qreal kMarkRoom = 8.0;

// The inner area a label may fill, from the cap's own corner.
QRectF LabelArea(const QSize& cap, qreal scale, bool marked)
{
    const qreal gap = kGap * scale;
    return QRectF(0, 0, cap.width(), cap.height())
        .adjusted(gap + 2 * scale, gap + (marked ? kMarkRoom : 2) * scale, -gap - 2 * scale,
                  -gap - 3 * scale);
}

// The mark's symbol in the cap's top right corner, in the ink of its name.
void DrawMarkSymbol(QPainter& painter, const QRectF& area, const KeyCapLook& look, const QPalette& palette,
                    QFont font, qreal scale)
{
    const QString symbol = QString::fromUtf8(GetCompareMarkSymbol(look.mark));
    if (symbol.isEmpty()) {
        return;
    }
    const qreal gap = kGap * scale;
    font.setPointSizeF(kLabelPoints * scale);
    font.setBold(true);
    painter.setFont(font);
    const Rgb ink = LegibleInk(ToRgb(palette.color(QPalette::WindowText)), ToRgb(CapFill(look, palette)));
    painter.setPen(QColor(ink.red, ink.green, ink.blue));
    const QRectF corner = area.adjusted(gap + 3 * scale, gap, -gap - 3 * scale, 0);
    painter.drawText(corner, Qt::AlignTop | Qt::AlignRight, symbol);
}

void DrawCap(QPainter& painter, const QRectF& area, const KeyCapLook& look, const QPalette& palette,
             qreal scale)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal gap = kGap * scale;
    const qreal radius = kRadius * scale;
    const QRectF cap = area.adjusted(gap, gap, -gap, -gap);
    const QColor highlight = palette.color(QPalette::Highlight);
    const QColor fill = CapFill(look, palette);
    QPainterPath path;
    path.addRoundedRect(cap, radius, radius);
    painter.fillPath(path, fill);
    // The lower lip gives the cap its depth.
    painter.setPen(QPen(Mix(fill, palette.color(QPalette::Shadow), 0.35), 2.0 * scale));
    painter.drawLine(QPointF(cap.left() + radius, cap.bottom() - scale),
                     QPointF(cap.right() - radius, cap.bottom() - scale));

    QPen rim(look.programmed ? Mix(fill, palette.color(QPalette::WindowText), 0.45)
                             : palette.color(QPalette::Mid),
             scale);
    if (!look.programmed) {
        rim.setStyle(Qt::DashLine);
    }
    if (look.state != KeyState::Unselected) {
        rim = QPen(highlight, (look.state == KeyState::SelectedFocused ? 3.0 : 2.0) * scale);
    }
    painter.setPen(rim);
    const qreal half = scale / 2;
    painter.drawRoundedRect(cap.adjusted(half, half, -half, -half), radius, radius);
}

constexpr int kLabelFlags = Qt::AlignCenter | Qt::TextWordWrap;

// No more than the text's width on one line: its letters' own widths, less what kerning might take
// (a tenth is far more than it ever does). Letters that join or combine are shaped instead.
qreal LeastAdvance(LetterAdvances& letters, const QString& label)
{
    qreal sum = 0;
    for (const QChar letter : label) {
        if (letter.unicode() >= LetterAdvances::kFirstJoining) {
            return letters.Metrics().horizontalAdvance(label);
        }
        sum += letters.Of(letter);
    }
    return sum * 0.9;
}

// Whether the words could not show whole in the area at this size even packed into full lines,
// with a blank dropped at every break.
bool CannotFit(const QFontMetricsF& metrics, const QRectF& area, qreal advance)
{
    if (metrics.height() > area.height()) {
        return true;
    }
    const int lines = static_cast<int>((area.height() - metrics.height()) / metrics.lineSpacing()) + 1;
    return advance - (lines - 1) * metrics.horizontalAdvance(QLatin1Char(' ')) > lines * area.width() + 1;
}

// Whether the words show whole in the area at this size, answered from the width of the text on
// one line where that is enough: word wrapping laid out for every size is what fitting costs.
bool Fits(const QFontMetricsF& metrics, const QRectF& area, const QString& label, int flags)
{
    const qreal advance = metrics.horizontalAdvance(label);
    if (CannotFit(metrics, area, advance)) {
        return false;
    }
    if (advance <= area.width() && !label.contains(QLatin1Char('\n'))) {
        return true;
    }
    const QRectF needed = metrics.boundingRect(area, flags, label);
    return needed.width() <= area.width() && needed.height() <= area.height();
}

// The largest size from the given one down that shows the words whole in the area; the smallest
// size with the end elided when none does.
void DrawLabel(QPainter& painter, const QRectF& area, const QString& label, QFont font, qreal points,
               qreal scale, LetterAdvanceCache& letters)
{
    const qreal size = FitLabelPoints(label, area, font, points * scale, scale, painter.device(), letters);
    if (size > 0) {
        font.setPointSizeF(size);
        painter.setFont(font);
        painter.drawText(area, kLabelFlags, label);
        return;
    }
    font.setPointSizeF(kSmallestPoints * scale);
    painter.setFont(font);
    painter.drawText(area, ElideLabel(painter, area, label, letters), LabelWrapOption());
}

} // namespace

LetterAdvances::LetterAdvances(const QFont& font, const QPaintDevice* device) : m_metrics(font, device)
{
    m_advances.fill(-1);
}

qreal LetterAdvances::Of(QChar letter)
{
    qreal& advance = m_advances.at(letter.unicode());
    if (advance < 0) {
        advance = m_metrics.horizontalAdvance(letter);
    }
    return advance;
}

LetterAdvances& LetterAdvanceCache::At(const QFont& font, const QPaintDevice* device)
{
    const int dpi = device != nullptr ? device->logicalDpiY() : 0;
    for (const Entry& entry : m_fonts) {
        if (entry.dpi == dpi && entry.font == font) {
            return *entry.advances;
        }
    }
    m_fonts.push_back(Entry{font, dpi, std::make_unique<LetterAdvances>(font, device)});
    return *m_fonts.back().advances;
}

QTextOption LabelWrapOption()
{
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QString ElideLabel(QPainter& painter, const QRectF& area, const QString& label, LetterAdvanceCache& letters)
{
    LetterAdvances& advances = letters.At(painter.font(), painter.device());
    const QFontMetricsF& metrics = advances.Metrics();
    const int lines = std::max(1, static_cast<int>(area.height() / metrics.lineSpacing()));
    // Lines broken between words end short of the width: a line's worth less at a time until the
    // lines fit the cap; each trial lays the words out.
    QString shown;
    for (int room = lines; room >= 1; --room) {
        const qreal width = area.width() * room - metrics.averageCharWidth();
        shown = metrics.elidedText(VisiblePart(advances, label, width), Qt::ElideRight, width);
        if (room == 1 || painter.boundingRect(area, shown, LabelWrapOption()).height() <= area.height()) {
            break;
        }
    }
    return shown;
}

QString VisiblePart(LetterAdvances& letters, const QString& label, qreal room)
{
    const qreal widest = letters.Metrics().maxWidth();
    qreal sum = 0;
    for (qsizetype at = 0; at < label.size(); ++at) {
        if (label[at].unicode() >= LetterAdvances::kFirstJoining) {
            return label;
        }
        sum += letters.Of(label[at]);
        if (sum * 0.9 > room + widest) {
            return label.left(at + 1);
        }
    }
    return label;
}

qreal FitLabelPoints(const QString& label, const QRectF& area, QFont font, qreal points, qreal scale,
                     QPaintDevice* device, LetterAdvanceCache& letters)
{
    // Most labels, numbers above all, fit on one line at the first size; a long name is told by
    // the widths of its letters, without shaping it.
    font.setPointSizeF(points);
    LetterAdvances& firstLetters = letters.At(font, device);
    const QFontMetricsF& first = firstLetters.Metrics();
    const qreal least = LeastAdvance(firstLetters, label);
    if (least <= area.width()) {
        const qreal advance = first.horizontalAdvance(label);
        if (!CannotFit(first, area, advance) && advance <= area.width() &&
            !label.contains(QLatin1Char('\n'))) {
            return points;
        }
    }
    // Text only grows with its size and takes fewer lines: what cannot fit at the smallest size
    // fits at none, as a long name most often does not.
    font.setPointSizeF(kSmallestPoints * scale);
    LetterAdvances& smallest = letters.At(font, device);
    if (CannotFit(smallest.Metrics(), area, LeastAdvance(smallest, label))) {
        return 0;
    }
    for (qreal size = points; size >= kSmallestPoints * scale - 0.001; size -= 0.5 * scale) {
        font.setPointSizeF(size);
        if (Fits(QFontMetricsF(font, device), area, label, kLabelFlags)) {
            return size;
        }
    }
    return 0;
}

namespace {

QPixmap NewImage(const QSize& size, qreal pixelRatio)
{
    QPixmap image(size * pixelRatio);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

size_t qHash(const KeyCapPainter::CapKey& key, size_t seed)
{
    return qHashMulti(seed, key.imageKind, static_cast<uint8_t>(key.state), key.programmed,
                      static_cast<uint8_t>(key.mark), key.width, key.height);
}

size_t qHash(const KeyCapPainter::LabelledKey& key, size_t seed)
{
    return qHash(key.cap, qHash(key.label, seed));
}

void KeyCapPainter::Forget()
{
    m_caps.clear();
    m_keys.clear();
    m_letters.Clear();
    m_keyBytes = 0;
    m_cellSize = 0;
}

void KeyCapPainter::Prepare(int cellSize, qreal pixelRatio, const QPalette& palette, const QFont& font)
{
    if (cellSize != m_cellSize || pixelRatio != m_pixelRatio || palette != m_palette || font != m_font) {
        Forget();
        m_cellSize = cellSize;
        m_pixelRatio = pixelRatio;
        m_palette = palette;
        m_font = font;
    }
}

const QPixmap& KeyCapPainter::Cap(const CapKey& key, const KeyCapLook& look)
{
    auto found = m_caps.find(key);
    if (found == m_caps.end()) {
        QPixmap image = NewImage(QSize(key.width, key.height), m_pixelRatio);
        QPainter painter(&image);
        const qreal scale = static_cast<qreal>(m_cellSize) / kCellSize;
        DrawCap(painter, QRectF(0, 0, key.width, key.height), look, m_palette, scale);
        DrawMarkSymbol(painter, QRectF(0, 0, key.width, key.height), look, m_palette, m_font, scale);
        painter.end();
        found = m_caps.insert(key, image);
    }
    return *found;
}

const QPixmap& KeyCapPainter::Key(const LabelledKey& key, const KeyCapLook& look)
{
    auto found = m_keys.find(key);
    if (found == m_keys.end()) {
        const QSize size(key.cap.width, key.cap.height);
        QPixmap image = NewImage(size, m_pixelRatio);
        QPainter painter(&image);
        painter.drawPixmap(0, 0, Cap(key.cap, look));
        painter.setPen(LabelInk(look, CapFill(look, m_palette), m_palette));
        const qreal scale = static_cast<qreal>(m_cellSize) / kCellSize;
        DrawLabel(painter, LabelArea(size, scale, look.mark != CompareMark::None), key.label, m_font,
                  look.programmed ? kLabelPoints : kNumberPoints, scale, m_letters);
        painter.end();
        const qint64 bytes = static_cast<qint64>(image.width()) * image.height() * 4;
        if (m_keyBytes + bytes > kMostKeyBytes) {
            m_keys.clear();
            m_keyBytes = 0;
        }
        m_keyBytes += bytes;
        found = m_keys.insert(key, image);
    }
    return *found;
}

void PaintKeyMark(QPainter& painter, const QRect& area, qreal scale)
{
    const QColor green(0x2E, 0xA0, 0x43);
    const qreal pen = 2.5 * scale;
    const QRectF cap = QRectF(area).adjusted(kGap * scale + pen / 2, kGap * scale + pen / 2,
                                             -kGap * scale - pen / 2, -kGap * scale - pen / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor tint = green;
    tint.setAlpha(60);
    painter.setBrush(tint);
    painter.setPen(QPen(green, pen));
    painter.drawRoundedRect(cap, kRadius * scale, kRadius * scale);
    painter.restore();
}

void KeyCapPainter::Paint(QPainter& painter, const QRect& area, const KeyCapLook& look)
{
    const CapKey cap{look.imageKind, look.state, look.programmed, look.mark, area.width(), area.height()};
    painter.drawPixmap(area.topLeft(),
                       look.label.isEmpty() ? Cap(cap, look) : Key(LabelledKey{cap, look.label}, look));
}
