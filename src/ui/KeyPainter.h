// Draws one key cap of the keyboard picture: its kind, shape and state told apart at a glance,
// from the palette so that it follows the desktop's theme and scale.
#pragma once

#include "editor/KeyboardPictureLayout.h"

#include <QString>

class QPainter;
class QPalette;
class QRectF;

struct KeyCapLook
{
    uint8_t imageKind = 0;
    KeyState state = KeyState::Unselected;
    QString label; // the key's name, or its number when it holds no programming
    bool programmed = false;
};

void PaintKeyCap(QPainter& painter, const QRectF& area, const KeyCapLook& look, const QPalette& palette);
