#include "ui/KeyboardView.h"

#include "editor/ProjectComparison.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "ui/QtTexts.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <utility>

KeyboardView::KeyboardView(QWidget* parent)
    : QWidget(parent), m_cellSize(kCellSize), m_origin(kMargin, kMargin)
{
    setObjectName(QStringLiteral("ctl1117"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The picture grows with the window; below its smallest cells it would not be legible.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void KeyboardView::SetKeyboard(Keyboard* keyboard)
{
    m_keyboard = keyboard;
    m_paintedSelection = QRect();
    FitPicture();
    updateGeometry();
    update();
}

void KeyboardView::SetComparison(const ProjectComparison* comparison)
{
    m_comparison = comparison;
    update();
}

void KeyboardView::SetHighlightSuppressed(bool suppressed)
{
    if (suppressed != m_highlightSuppressed) {
        m_highlightSuppressed = suppressed;
        RefreshSelection();
    }
}

void KeyboardView::RefreshSelection()
{
    update(m_paintedSelection);
    GridPoint current = 0;
    if (m_keyboard != nullptr && m_keyboard->GetCurrentPosition(&current)) {
        if (const std::optional<PictureKey> key = GetPictureKeyAt(*m_keyboard, current, m_cellSize)) {
            update(KeyArea(*key));
        }
    }
}

void KeyboardView::SetKeyMarker(std::function<bool(GridPoint)> marker)
{
    m_marker = std::move(marker);
    update();
}

std::optional<GridPoint> KeyboardView::HitTest(const QPoint& point) const
{
    if (m_keyboard == nullptr) {
        return std::nullopt;
    }
    return HitTestKey(*m_keyboard, point.x() - m_origin.x(), point.y() - m_origin.y(), m_cellSize);
}

QPoint KeyboardView::CellCentre(GridPoint cell) const
{
    return m_origin + QPoint(m_cellSize * (GridColumn(cell) - 1) + m_cellSize / 2,
                             m_cellSize * (GridRow(cell) - 1) + m_cellSize / 2);
}

QSize KeyboardView::sizeHint() const
{
    if (m_keyboard == nullptr) {
        return QSize(2 * kMargin, 2 * kMargin);
    }
    const KeyRect picture = GetPictureRect(*m_keyboard);
    return QSize(picture.width + 2 * kMargin, picture.height + 2 * kMargin);
}

void KeyboardView::FitPicture()
{
    m_cellSize = kCellSize;
    m_origin = QPoint(kMargin, kMargin);
    if (m_keyboard == nullptr) {
        return;
    }
    m_cellSize = FitCellSize(*m_keyboard, width() - 2 * kMargin, height() - 2 * kMargin);
    // Centred across, under the tabs from the top.
    const KeyRect picture = GetPictureRect(*m_keyboard, m_cellSize);
    m_origin.rx() = std::max(kMargin, (width() - picture.width) / 2);
}

QRect KeyboardView::KeyArea(const PictureKey& key) const
{
    return QRect(m_origin.x() + key.rect.x, m_origin.y() + key.rect.y, key.rect.width, key.rect.height);
}

void KeyboardView::resizeEvent(QResizeEvent* event)
{
    FitPicture();
    QWidget::resizeEvent(event);
}

void KeyboardView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::FontChange) {
        m_capPainter.Forget();
        update();
    }
    QWidget::changeEvent(event);
}

void KeyboardView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    if (m_keyboard == nullptr) {
        return;
    }
    m_capPainter.Prepare(m_cellSize, devicePixelRatioF(), palette(), font());
    const uint8_t layout = m_keyboard->GetCurrentLayout();
    for (const PictureKey& key : GetPictureKeys(*m_keyboard, m_cellSize)) {
        const QRect area = KeyArea(key);
        const bool selected = key.selected && !m_highlightSuppressed;
        if (selected) {
            m_paintedSelection = area;
        }
        if (!event->region().intersects(area)) {
            continue;
        }
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
        if (m_comparison != nullptr) {
            look.mark = m_comparison->GetMark(*m_keyboard, key.cell, layout);
            const std::string there = m_comparison->GetOtherName(*m_keyboard, key.cell, layout);
            if (!look.programmed && !there.empty()) {
                look.label = FromProjectText(there);
            }
        }
        if (selected) {
            look.state = hasFocus() ? KeyState::SelectedFocused : KeyState::Selected;
        }
        m_capPainter.Paint(painter, area, look);
        if (m_marker && m_marker(key.cell)) {
            PaintKeyMark(painter, area, static_cast<qreal>(m_cellSize) / kCellSize);
        }
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

// The key stays where it is; only its highlight changes. (The project may be gone already when
// the window closes.)
void KeyboardView::focusInEvent(QFocusEvent* event)
{
    update(m_paintedSelection);
    QWidget::focusInEvent(event);
}

void KeyboardView::focusOutEvent(QFocusEvent* event)
{
    update(m_paintedSelection);
    QWidget::focusOutEvent(event);
}
