#include "ui/KeyTestWindow.h"

#include "editor/ColourContrast.h"
#include "lang/StringIds.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "ui/HeldKeys.h"
#include "ui/KeyboardView.h"
#include "ui/QtTexts.h"
#include "ui/WrappedLabel.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Enough for the last few slips without hiding the picture.
constexpr int kBurstRows = 5;

// Red that stays legible on the list's background, light or dark.
QColor UnknownInk(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const bool dark = base.lightness() < 128;
    const QColor wanted = dark ? QColor(0xFF, 0x6B, 0x6B) : QColor(0xC0, 0x1C, 0x1C);
    const Rgb ink = LegibleInk(Rgb{static_cast<uint8_t>(wanted.red()), static_cast<uint8_t>(wanted.green()),
                                   static_cast<uint8_t>(wanted.blue())},
                               Rgb{static_cast<uint8_t>(base.red()), static_cast<uint8_t>(base.green()),
                                   static_cast<uint8_t>(base.blue())});
    return QColor(ink.red, ink.green, ink.blue);
}

} // namespace

KeyTestWindow::KeyTestWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("keyTest"));
    setWindowTitle(Text(IDS_TEST_KEYS_CAPTION));
    m_picture = new KeyboardView(this);
    m_picture->setObjectName(QStringLiteral("keyTestPicture"));
    m_picture->SetHighlightSuppressed(true);
    m_picture->SetKeyMarker([this](GridPoint cell) { return m_session.IsKeyTested(cell); });
    m_layouts = new QComboBox(this);
    m_layouts->setObjectName(QStringLiteral("keyTestLayout"));
    // Only the picture takes the focus: every key belongs to the test.
    m_layouts->setFocusPolicy(Qt::NoFocus);
    auto* layoutLabel = new QLabel(Text(IDS_TEST_LAYOUT), this);
    layoutLabel->setBuddy(m_layouts);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("keyTestCount"));
    m_restart = new QPushButton(Text(IDS_TEST_RESTART), this);
    m_restart->setObjectName(QStringLiteral("keyTestRestart"));
    m_restart->setFocusPolicy(Qt::NoFocus);
    m_restart->setAutoDefault(false);
    auto* hint = new WrappedLabel(Text(IDS_TEST_KEYS_HINT), this);
    m_bursts = new QListWidget(this);
    m_bursts->setObjectName(QStringLiteral("keyTestBursts"));
    m_bursts->setFocusPolicy(Qt::NoFocus);
    m_bursts->setFixedHeight(m_bursts->fontMetrics().height() * kBurstRows + 2 * m_bursts->frameWidth() + 4);

    auto* top = new QHBoxLayout;
    top->addWidget(layoutLabel);
    top->addWidget(m_layouts);
    top->addSpacing(12);
    top->addWidget(m_count, 1);
    top->addWidget(m_restart);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_picture, 1);
    layout->addWidget(hint);
    layout->addWidget(m_bursts);

    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, &KeyTestWindow::EndBurst);
    connect(m_restart, &QPushButton::clicked, this, &KeyTestWindow::Restart);
    connect(m_layouts, &QComboBox::activated, this, [this](int index) { emit LayoutChosen(index + 1); });
}

void KeyTestWindow::SetKeyboard(Keyboard* keyboard)
{
    m_keyboard = keyboard;
    m_quiet.stop();
    m_session.SetKeyboard(keyboard);
    m_picture->SetKeyboard(keyboard);
    m_bursts->clear();
    m_layouts->clear();
    if (keyboard != nullptr) {
        for (uint8_t layout = 1; layout <= keyboard->GetLayoutCount(); ++layout) {
            m_layouts->addItem(FromProjectText(keyboard->GetLayoutName(layout)));
        }
        ShowLayout(keyboard->GetCurrentLayout());
    }
    m_layouts->setEnabled(m_layouts->count() > 1);
    Refresh();
}

void KeyTestWindow::ShowLayout(uint8_t layout)
{
    if (m_keyboard == nullptr || layout < 1 || layout > m_keyboard->GetLayoutCount()) {
        return;
    }
    // A burst under way was typed for the layout it began on.
    EndBurst();
    m_session.SetLayout(layout);
    m_layouts->setCurrentIndex(layout - 1);
    Refresh();
}

void KeyTestWindow::Refresh()
{
    m_count->setText(Text(IDS_TEST_KEYS_COUNT)
                         .replace(QStringLiteral("%s"), QString::number(m_session.GetTestedCount()))
                         .replace(QStringLiteral("%t"), QString::number(m_session.GetTestableCount())));
    m_picture->update();
}

void KeyTestWindow::Restart()
{
    m_quiet.stop();
    m_session.Restart();
    m_bursts->clear();
    Refresh();
}

bool KeyTestWindow::Owns(const QObject* receiver) const
{
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    return widget != nullptr && widget->window() == this;
}

bool KeyTestWindow::OnKeyEvent(const KeyHookEvent& event, uint64_t timeMs)
{
    ShowBurst(m_session.AddKeyEvent(event, timeMs));
    m_quiet.start(static_cast<int>(m_session.GetQuietMs()));
    return true;
}

void KeyTestWindow::EndBurst()
{
    m_quiet.stop();
    ShowBurst(m_session.EndBurst());
}

void KeyTestWindow::ShowBurst(const std::optional<BurstResult>& burst)
{
    if (!burst) {
        return;
    }
    QString note;
    switch (burst->match) {
    case BurstMatch::Key:
        Refresh();
        return;
    case BurstMatch::Unknown:
        note = Text(IDS_TEST_UNKNOWN_BURST)
                   .replace(QStringLiteral("%s"), QString::fromStdString(burst->codesText));
        break;
    case BurstMatch::OtherLayout: {
        const FoundKey& key = burst->keys.front();
        KeyCell* cell = nullptr;
        if (m_keyboard == nullptr ||
            !m_keyboard->GetCell(GridColumn(key.point), GridRow(key.point), key.layout, &cell)) {
            return;
        }
        note = Text(IDS_TEST_OTHER_LAYOUT)
                   .replace(QStringLiteral("%n"), FromProjectText(cell->GetName()))
                   .replace(QStringLiteral("%s"), FromProjectText(m_keyboard->GetLayoutName(key.layout)));
        break;
    }
    }
    auto* item = new QListWidgetItem(note, m_bursts);
    if (burst->match == BurstMatch::Unknown) {
        item->setForeground(UnknownInk(m_bursts->palette()));
    }
    m_bursts->scrollToItem(item);
}

bool KeyTestWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        // Keys let go while another window had the focus are up, as for capture.
        m_session.ForgetReleasedKeys(QueryHeldVirtualKeys());
        m_picture->setFocus(Qt::ActiveWindowFocusReason);
    }
    return QDialog::event(event);
}
