#include "ui/KeyboardView.h"

#include "editor/KeyboardPictureLayout.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "ui/KeyPainter.h"
#include "ui/QtTexts.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

KeyboardView::KeyboardView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ctl1117"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void KeyboardView::SetKeyboard(Keyboard* keyboard)
{
    m_keyboard = keyboard;
    updateGeometry();
    update();
}

void KeyboardView::SetHighlightSuppressed(bool suppressed)
{
    m_highlightSuppressed = suppressed;
    update();
}

std::optional<GridPoint> KeyboardView::HitTest(const QPoint& point) const
{
    if (m_keyboard == nullptr) {
        return std::nullopt;
    }
    return HitTestKey(*m_keyboard, point.x() - kMargin, point.y() - kMargin);
}

QPoint KeyboardView::CellCentre(GridPoint cell) const
{
    return QPoint(kMargin + kCellSize * (GridColumn(cell) - 1) + kCellSize / 2,
                  kMargin + kCellSize * (GridRow(cell) - 1) + kCellSize / 2);
}

QSize KeyboardView::sizeHint() const
{
    if (m_keyboard == nullptr) {
        return QSize(2 * kMargin, 2 * kMargin);
    }
    const KeyRect picture = GetPictureRect(*m_keyboard);
    return QSize(picture.width + 2 * kMargin, picture.height + 2 * kMargin);
}

void KeyboardView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (m_keyboard == nullptr) {
        return;
    }
    const uint8_t layout = m_keyboard->GetCurrentLayout();
    for (const PictureKey& key : GetPictureKeys(*m_keyboard)) {
        KeyCapLook look;
        look.imageKind = key.imageKind;
        KeyCell* cell = nullptr;
        look.programmed = m_keyboard->GetCell(GridColumn(key.cell), GridRow(key.cell), layout, &cell) &&
                          cell->IsProgrammed();
        if (look.programmed) {
            look.label = FromProjectText(cell->GetName());
        } else {
            look.label = QString::number(m_keyboard->GetCellIndex(key.cell, layout));
        }
        if (key.selected && !m_highlightSuppressed) {
            look.state = hasFocus() ? KeyState::SelectedFocused : KeyState::Selected;
        }
        const QRectF area(key.rect.x + kMargin, key.rect.y + kMargin, key.rect.width, key.rect.height);
        PaintKeyCap(painter, area, look, palette());
    }
}

void KeyboardView::mousePressEvent(QMouseEvent* event)
{
    const std::optional<GridPoint> cell = HitTest(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !cell) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    emit KeyClicked(*cell, event->modifiers());
}

void KeyboardView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const std::optional<GridPoint> cell = HitTest(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !cell) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    emit KeyDoubleClicked(*cell, event->modifiers());
}

void KeyboardView::mouseMoveEvent(QMouseEvent* event)
{
    const std::optional<GridPoint> cell = HitTest(event->position().toPoint());
    if (cell != m_hovered) {
        m_hovered = cell;
        emit Hovered(cell);
    }
    QWidget::mouseMoveEvent(event);
}

void KeyboardView::leaveEvent(QEvent* event)
{
    if (m_hovered) {
        m_hovered.reset();
        emit Hovered(std::nullopt);
    }
    QWidget::leaveEvent(event);
}

void KeyboardView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_keyboard == nullptr) {
        return;
    }
    // From the keyboard the menu opens at the centre of the current key.
    std::optional<GridPoint> cell;
    QPoint position = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        GridPoint current = 0;
        if (m_keyboard->GetCurrentPosition(&current) && m_keyboard->IsValidPosition(current)) {
            cell = current;
            position = CellCentre(current);
        }
    } else {
        cell = HitTest(position);
    }
    if (cell) {
        emit KeyMenuRequested(*cell, mapToGlobal(position));
    }
}

void KeyboardView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        emit MoveRequested(-1, 0);
        break;
    case Qt::Key_Right:
        emit MoveRequested(1, 0);
        break;
    case Qt::Key_Up:
        emit MoveRequested(0, -1);
        break;
    case Qt::Key_Down:
        emit MoveRequested(0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit EnterPressed();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void KeyboardView::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void KeyboardView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
