// The keyboard picture as it grows with the window, repaints after a move, and reads in light and
// dark themes at several pixel ratios.
#include "DarkPalette.h"
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/ColourContrast.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/KeyPainter.h"
#include "ui/KeyboardView.h"

#include "KeyCells.h"

#include <QDir>
#include <QPainter>

#include <algorithm>
#include <map>

namespace {

Rgb ToRgb(const QColor& colour)
{
    return Rgb{static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
               static_cast<uint8_t>(colour.blue())};
}

// The contrast of a key's text as a reader sees it: the cap's fill (the commonest colour inside
// it) against the pixel that stands out most from it (the core of a stroke).
double LabelContrast(const QImage& image, const QRect& key)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels = QRectF(QPointF(key.topLeft()) * ratio, QSizeF(key.size()) * ratio).toRect();
    const QRect label =
        pixels.adjusted(pixels.width() / 6, pixels.height() / 6, -pixels.width() / 6, -pixels.height() / 6);
    std::map<QRgb, int> counts;
    for (int y = label.top(); y <= label.bottom(); ++y) {
        for (int x = label.left(); x <= label.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const auto commonest = std::max_element(counts.begin(), counts.end(),
                                            [](const auto& a, const auto& b) { return a.second < b.second; });
    const QColor fill = QColor::fromRgb(commonest->first);
    double best = 1.0;
    for (int y = label.top(); y <= label.bottom(); ++y) {
        for (int x = label.left(); x <= label.right(); ++x) {
            best = std::max(best, ContrastRatio(ToRgb(image.pixelColor(x, y)), ToRgb(fill)));
        }
    }
    return best;
}

QImage Render(QWidget* widget, qreal ratio)
{
    QImage image(widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    widget->render(&image);
    return image;
}

// Records what the picture repaints.
class PaintRecorder : public QObject
{
public:
    QRegion painted;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class KeyboardPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void smallestWindowFitsSmallScreens_data();
    void smallestWindowFitsSmallScreens();
    void cellsGrowWithTheWindowAndClicksFollowThem();
    void aMoveRepaintsOnlyTheKeysItTouches();
    void labelsFitAsAFullLayoutWouldFitThem();
    void namesReadWellInLightAndDarkThemes_data();
    void namesReadWellInLightAndDarkThemes();
};

void KeyboardPictureTest::smallestWindowFitsSmallScreens_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("ZQ-3300 double") << int(kTypeZq3300DoubleTwo);
    QTest::newRow("ZQ-2200") << int(kTypeZq2200Three);
    QTest::newRow("ZQ-1100 double") << int(kTypeZq1100V2Double);
}

// 1600 x 1200 at 200 % leaves 800 x 600, less a title bar and a panel; 1366 x 768 at 100 % is
// roomier. Both tabs, as the key panel and the configuration page differ.
void KeyboardPictureTest::smallestWindowFitsSmallScreens()
{
    QFETCH(int, type);
    if (IsUnderWine()) {
        QSKIP("wine's fonts");
    }
    TestWindow test(static_cast<uint8_t>(type));
    const QSize room(800, 536);
    for (const int tab : {0, 1}) {
        test.ShowLayout(tab);
        test.Click(At(1, 1));
        QCoreApplication::processEvents();
        const QSize smallest = test.window->minimumSizeHint().expandedTo(test.window->minimumSize());
        QVERIFY2(smallest.width() <= room.width() && smallest.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(smallest.width()).arg(smallest.height())));
    }
    // At that size nothing is cut: the picture's cells are whole and the panel scrolls.
    test.window->resize(test.window->minimumSizeHint());
    QCoreApplication::processEvents();
    KeyboardView* picture = test.Picture();
    const KeyRect keys = GetPictureRect(*test.window->GetKeyboard(), picture->GetCellSize());
    QVERIFY(picture->rect().contains(QRect(picture->GetPictureOrigin(), QSize(keys.width, keys.height))));
    QVERIFY(
        test.window->rect().contains(QRect(picture->mapTo(test.window.get(), QPoint()), picture->size())));
}

void KeyboardPictureTest::cellsGrowWithTheWindowAndClicksFollowThem()
{
    TestWindow test(kTypeZq2200Three);
    test.ShowLayout(1);
    test.window->resize(test.window->minimumSizeHint());
    QCoreApplication::processEvents();
    const int smallest = test.Picture()->GetCellSize();
    QVERIFY(smallest >= kCellSize);
    test.window->resize(1400, 1000);
    QTRY_VERIFY(test.Picture()->GetCellSize() > std::max(smallest, 2 * kCellSize));
    KeyboardView* picture = test.Picture();
    const int cell = picture->GetCellSize();
    const QPoint origin = picture->GetPictureOrigin();
    // The picture is centred across the room it has.
    const int right = picture->width() - (origin.x() + 5 * cell);
    QVERIFY(std::abs(right - origin.x()) <= 1);

    struct Case
    {
        QPoint point;
        std::optional<GridPoint> cell;
    };
    const Case cases[] = {
        {origin, At(1, 1)},
        // Cell (4, 6) at 39 pixels a cell would be nowhere near.
        {origin + QPoint(3 * cell + cell / 2, 5 * cell + 1), At(4, 6)},
        {origin + QPoint(5 * cell - 1, 8 * cell - 1), At(5, 8)},
        {origin + QPoint(5 * cell, 10), std::nullopt},
        {origin - QPoint(1, 0), std::nullopt},
    };
    for (const Case& c : cases) {
        QCOMPARE(picture->HitTest(c.point), c.cell);
    }
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, picture->CellCentre(At(4, 6)));
    QCOMPARE(test.window->GetCurrentKey(), At(4, 6));
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, origin + QPoint(cell + 2, 2 * cell + 2));
    QCOMPARE(test.window->GetCurrentKey(), At(2, 3));
    // Hovering names the key under the scaled cell.
    QTest::mouseMove(picture, origin + QPoint(4 * cell + 3, 7 * cell + 3));
    QCOMPARE(test.window->GetStatusText(1), QStringLiteral("Number: 40"));
}

void KeyboardPictureTest::aMoveRepaintsOnlyTheKeysItTouches()
{
    TestWindow test(kTypeZq2200Three);
    test.ShowLayout(1);
    KeyboardView* picture = test.Picture();
    test.Click(At(2, 2));
    PaintRecorder recorder;
    picture->installEventFilter(&recorder);
    // The window's first layouts (it grows to show the whole panel) repaint everything.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
    recorder.painted = QRegion();
    QTest::keyClick(picture, Qt::Key_Right);
    QCOMPARE(test.window->GetCurrentKey(), At(3, 2));
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QCoreApplication::processEvents();
    const int cell = picture->GetCellSize();
    const QRect touched(picture->GetPictureOrigin() + QPoint(cell, cell), QSize(2 * cell, cell));
    QVERIFY2(touched.contains(recorder.painted.boundingRect()),
             qPrintable(QStringLiteral("repainted %1,%2 %3x%4")
                            .arg(recorder.painted.boundingRect().x())
                            .arg(recorder.painted.boundingRect().y())
                            .arg(recorder.painted.boundingRect().width())
                            .arg(recorder.painted.boundingRect().height())));
    // Both keys were repainted: the old one without its highlight.
    QVERIFY(recorder.painted.contains(picture->CellCentre(At(2, 2))));
    QVERIFY(recorder.painted.contains(picture->CellCentre(At(3, 2))));
    picture->removeEventFilter(&recorder);
}

// The quick answers from the width on one line must agree with laying the words out at every size.
void KeyboardPictureTest::labelsFitAsAFullLayoutWouldFitThem()
{
    const QStringList labels = {
        QStringLiteral("7"),
        QStringLiteral("Tea"),
        QStringLiteral("Coffee"),
        QStringLiteral("Layout 2"),
        QStringLiteral("Cappuccino grande"),
        QStringLiteral("Cappuccino grande with cream"),
        QStringLiteral("Supercalifragilistic"),
        QStringLiteral("A B C D E F G H I J K L M N O P Q R S T U V W X Y Z"),
        QStringLiteral("Two\nlines"),
        QString(64, QLatin1Char('x')),
        QStringLiteral("Long legend of key 112 for a point of sale with words.........")};
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    const QFont font = QApplication::font();
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    // One cache for all, as a picture keeps it: one label's letters measured must not sway the next.
    LetterAdvanceCache letters;
    for (const int cell : {kCellSize, 60, 97}) {
        const qreal scale = static_cast<qreal>(cell) / kCellSize;
        for (const QSizeF size : {QSizeF(cell, cell), QSizeF(2 * cell, cell), QSizeF(cell, 2 * cell)}) {
            const QRectF area(QPointF(0, 0), size - QSizeF(8, 9) * scale);
            for (const QString& label : labels) {
                qreal expected = 0;
                QFont trial = font;
                for (qreal points = 7.5 * scale; points >= 5.5 * scale - 0.001; points -= 0.5 * scale) {
                    trial.setPointSizeF(points);
                    const QRectF needed = QFontMetricsF(trial, &device).boundingRect(area, flags, label);
                    if (needed.width() <= area.width() && needed.height() <= area.height()) {
                        expected = points;
                        break;
                    }
                }
                // An elided label ends at the same letter from its visible part alone.
                QFont smallest = font;
                smallest.setPointSizeF(5.5 * scale);
                LetterAdvances& advances = letters.At(smallest, &device);
                const QFontMetricsF& metrics = advances.Metrics();
                for (const qreal room : {area.width(), 3 * area.width()}) {
                    QCOMPARE(metrics.elidedText(VisiblePart(advances, label, room), Qt::ElideRight, room),
                             metrics.elidedText(label, Qt::ElideRight, room));
                }
                // Cut to fit, its lines wrapped between words stay within the area.
                QPainter painter(&device);
                painter.setFont(smallest);
                const QRectF wrapped =
                    painter.boundingRect(area, ElideLabel(painter, area, label, letters), LabelWrapOption());
                QVERIFY2(wrapped.height() <= area.height(), qPrintable(label));
                painter.end();
                QVERIFY2(
                    qFuzzyCompare(1 + FitLabelPoints(label, area, font, 7.5 * scale, scale, &device, letters),
                                  1 + expected),
                    qPrintable(
                        QStringLiteral("\"%1\" in %2x%3").arg(label).arg(area.width()).arg(area.height())));
            }
        }
    }
}

void KeyboardPictureTest::namesReadWellInLightAndDarkThemes_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<qreal>("ratio");
    for (const bool dark : {false, true}) {
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            QTest::addRow("%s at %.1f", dark ? "dark" : "light", ratio) << dark << ratio;
        }
    }
}

void KeyboardPictureTest::namesReadWellInLightAndDarkThemes()
{
    QFETCH(bool, dark);
    QFETCH(qreal, ratio);
    TestWindow test(kTypeZq2200Three);
    if (dark) {
        test.window->setPalette(DarkPalette());
    }
    Keyboard& keyboard = *test.window->GetKeyboard();
    // One key of each kind, and a long name that must shrink.
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", At(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Layout", "L2", At(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Shift", "M2,K0xE1", At(3, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Cappuccino grande with cream", "M1,S+,K0x07", At(4, 1), 1));
    test.ShowLayout(1);
    test.Click(At(4, 1));
    KeyboardView* picture = test.Picture();
    QVERIFY(picture->hasFocus());
    const QImage image = Render(picture, ratio);
    // This test may run alone: no other has made the folder then.
    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    QVERIFY(image.save(QStringLiteral(ZQ_SCREENSHOT_DIR "/picture-%1-%2.png")
                           .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"))
                           .arg(qRound(ratio * 100))));
    const int cell = picture->GetCellSize();
    // The selected key with the focus, the other kinds, and an empty key's number.
    for (const GridPoint key : {At(4, 1), At(1, 1), At(2, 1), At(3, 1), At(1, 2)}) {
        const QRect area(picture->GetPictureOrigin() +
                             QPoint((GridColumn(key) - 1) * cell, (GridRow(key) - 1) * cell),
                         QSize(cell, cell));
        const double contrast = LabelContrast(image, area);
        QVERIFY2(contrast >= kLeastTextContrast,
                 qPrintable(
                     QStringLiteral("key %1,%2: %3:1").arg(GridColumn(key)).arg(GridRow(key)).arg(contrast)));
    }
    // The dark theme's caps are dark too, not the light theme's colours on a dark window.
    const QColor emptyCap = image.pixelColor(
        (QPointF(picture->GetPictureOrigin() + QPoint(cell + cell / 5, cell + cell / 5)) * ratio).toPoint());
    QCOMPARE(emptyCap.lightness() < 128, dark);
}

ZQ_UI_TEST(KeyboardPictureTest)
#include "KeyboardPictureTest.moc"
