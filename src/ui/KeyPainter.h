// Draws the key caps of the keyboard picture: kind, shape and state told apart at a glance, from
// the palette so that they follow the desktop's theme, scaled with the picture's cells.
#pragma once

#include "editor/KeyboardPictureLayout.h"
#include "editor/ProjectComparison.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <QTextOption>

#include <array>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QRect;
class QRectF;

struct KeyCapLook
{
    uint8_t imageKind = 0;
    KeyState state = KeyState::Unselected;
    QString label; // the key's name, or its number when it holds no programming
    bool programmed = false;
    // While comparing: a tint and a symbol in the corner.
    CompareMark mark = CompareMark::None;
};

// The advances of single letters at one font on one device, each measured once: fitting a long
// name adds up its letters at two sizes, and the names of a picture share most of their letters.
// Letters from U+0300 on, which may join or combine, are not measured one by one.
class LetterAdvances
{
public:
    static constexpr char16_t kFirstJoining = 0x0300;

    LetterAdvances(const QFont& font, const QPaintDevice* device);
    const QFontMetricsF& Metrics() const { return m_metrics; }
    // Of a letter below kFirstJoining.
    qreal Of(QChar letter);

private:
    QFontMetricsF m_metrics;
    std::array<qreal, kFirstJoining> m_advances;
};

// The letter advances of every font and device the labels of a picture are measured at.
class LetterAdvanceCache
{
public:
    LetterAdvances& At(const QFont& font, const QPaintDevice* device);
    void Clear() { m_fonts.clear(); }

private:
    struct Entry
    {
        QFont font;
        int dpi;
        std::unique_ptr<LetterAdvances> advances;
    };
    std::vector<Entry> m_fonts;
};

// The point size, from the given one down in steps of half a point (times the scale), at which a
// label's words show whole in the area, word-wrapped; 0 when none does and it is elided instead.
qreal FitLabelPoints(const QString& label, const QRectF& area, QFont font, qreal points, qreal scale,
                     QPaintDevice* device, LetterAdvanceCache& letters);

// How an elided label wraps: between words, else anywhere.
QTextOption LabelWrapOption();
// A label too long for the area at the painter's font, cut with "..." so that its wrapped lines
// fit the area.
QString ElideLabel(QPainter& painter, const QRectF& area, const QString& label, LetterAdvanceCache& letters);

// The label cut where even its least width passes the room: eliding the rest would end at the
// same letter, but shape all of it first.
QString VisiblePart(LetterAdvances& letters, const QString& label, qreal room);

// The typing test's mark of a key that sent its codes: a green frame and tint over the cap, the
// label still legible through it, in light and dark themes alike.
void PaintKeyMark(QPainter& painter, const QRect& area, qreal scale);

// Keeps every key as an image at the device's resolution, its label fitted once, so that a repaint
// only copies them: fitting a long name to its cap costs far more than drawing it. The images are
// made again when the cell size, the pixel ratio, the palette or the font change.
class KeyCapPainter
{
public:
    // Before the caps of one paint: what the images are made for.
    void Prepare(int cellSize, qreal pixelRatio, const QPalette& palette, const QFont& font);
    void Paint(QPainter& painter, const QRect& area, const KeyCapLook& look);
    void Forget();

private:
    struct CapKey
    {
        uint8_t imageKind;
        KeyState state;
        bool programmed;
        CompareMark mark;
        int width;
        int height;
        bool operator==(const CapKey&) const = default;
    };
    struct LabelledKey
    {
        CapKey cap;
        QString label;
        bool operator==(const LabelledKey&) const = default;
    };
    friend size_t qHash(const CapKey& key, size_t seed);
    friend size_t qHash(const LabelledKey& key, size_t seed);

    // Caps without labels are few, and most keys of a new project share one.
    const QPixmap& Cap(const CapKey& key, const KeyCapLook& look);
    const QPixmap& Key(const LabelledKey& key, const KeyCapLook& look);

    int m_cellSize = 0;
    qreal m_pixelRatio = 0;
    QPalette m_palette;
    QFont m_font;
    QHash<CapKey, QPixmap> m_caps;
    QHash<LabelledKey, QPixmap> m_keys;
    qint64 m_keyBytes = 0;
    LetterAdvanceCache m_letters;
};
