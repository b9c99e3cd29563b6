// Draws the key caps of the keyboard picture: kind, shape and state told apart at a glance, from
// the palette so that they follow the desktop's theme, scaled with the picture's cells.
#pragma once

#include "editor/KeyboardPictureLayout.h"

#include <QFont>
#include <QHash>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <QTextOption>

class QFontMetricsF;
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
};

// The point size, from the given one down in steps of half a point (times the scale), at which a
// label's words show whole in the area, word-wrapped; 0 when none does and it is elided instead.
qreal FitLabelPoints(const QString& label, const QRectF& area, QFont font, qreal points, qreal scale,
                     QPaintDevice* device);

// How an elided label wraps: between words, else anywhere.
QTextOption LabelWrapOption();
// A label too long for the area at the painter's font, cut with "..." so that its wrapped lines
// fit the area.
QString ElideLabel(QPainter& painter, const QRectF& area, const QString& label);

// The label cut where even its least width passes the room: eliding the rest would end at the
// same letter, but shape all of it first.
QString VisiblePart(const QFontMetricsF& metrics, const QString& label, qreal room);

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
};
