// The keyboard picture: every key of the current layout painted in the paint cycle, its cells as
// large as the widget allows, mouse and key input handed to the window as grid positions.
#pragma once

#include "editor/KeyboardPictureLayout.h"
#include "model/GridPoint.h"
#include "ui/KeyPainter.h"

#include <QWidget>

#include <functional>
#include <optional>

class Keyboard;
class ProjectComparison;

class KeyboardView : public QWidget
{
    Q_OBJECT

public:
    // Space between the picture's frame and its first cell.
    static constexpr int kMargin = 3;

    explicit KeyboardView(QWidget* parent);

    // The keyboard shown; null shows nothing. The view never changes it.
    void SetKeyboard(Keyboard* keyboard);
    // Marks every key by how it compares while the comparison is active; null marks none.
    void SetComparison(const ProjectComparison* comparison);
    // Draws the selected key like the others (a function-list entry of no key is shown).
    void SetHighlightSuppressed(bool suppressed);
    // Repaints the key last drawn selected and the key under the keyboard's cursor now, and no
    // other: after a move, or a change of the current key alone.
    void RefreshSelection();
    // Keys drawn with a mark over their cap, by the cell they are drawn from; none without it.
    void SetKeyMarker(std::function<bool(GridPoint)> marker);
    std::optional<GridPoint> HitTest(const QPoint& point) const;
    // The centre of a cell in widget coordinates.
    QPoint CellCentre(GridPoint cell) const;
    // The side of one grid cell in logical pixels, kCellSize at the least.
    int GetCellSize() const { return m_cellSize; }
    // The top-left corner of cell (1, 1) in widget coordinates.
    QPoint GetPictureOrigin() const { return m_origin; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void KeyClicked(GridPoint cell, Qt::KeyboardModifiers modifiers);
    void KeyDoubleClicked(GridPoint cell, Qt::KeyboardModifiers modifiers);
    void KeyMenuRequested(GridPoint cell, const QPoint& globalPosition);
    // dx, dy: one of the arrow keys.
    void MoveRequested(int dx, int dy);
    void EnterPressed();
    // The cell under the mouse, or none when it left the keys.
    void Hovered(std::optional<GridPoint> cell);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void FitPicture();
    QRect KeyArea(const PictureKey& key) const;

    Keyboard* m_keyboard = nullptr;
    const ProjectComparison* m_comparison = nullptr;
    int m_cellSize = 0;
    QPoint m_origin;
    KeyCapPainter m_capPainter;
    // Where the selected key was last painted: a move repaints it unselected.
    QRect m_paintedSelection;
    bool m_highlightSuppressed = false;
    std::optional<GridPoint> m_hovered;
    std::function<bool(GridPoint)> m_marker;
};
