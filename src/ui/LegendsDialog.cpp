#include "ui/LegendsDialog.h"

#include "editor/ExportArguments.h"
#include "lang/StringIds.h"
#include "model/Keyboard.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/QtTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

LegendsDialog::TestHook& Hook()
{
    static LegendsDialog::TestHook hook;
    return hook;
}

// Square inserts of the common clear caps; any other size is typed.
constexpr double kPresets[] = {12.0, 13.0, 14.0, 15.0, 16.0, 18.0};
constexpr int kDefaultPreset = 2;

enum Paper { PaperA4, PaperLetter, PaperCustom };

QWidget* Row(QWidget* parent, std::initializer_list<QWidget*> widgets)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
    }
    layout->addStretch();
    return row;
}

} // namespace

LegendsDialog::LegendsDialog(QWidget* parent, Keyboard& keyboard, GridPoint currentKey, QString projectName)
    : QDialog(parent), m_keyboard(keyboard), m_currentKey(currentKey), m_projectName(std::move(projectName))
{
    setObjectName(QStringLiteral("legendsDialog"));
    setWindowTitle(Text(IDS_LEGENDS_CAPTION));
    BuildForm();
    Refresh();
}

QDoubleSpinBox* LegendsDialog::NewMm(double value, double most)
{
    auto* box = new QDoubleSpinBox(this);
    box->setDecimals(2);
    box->setRange(1.0, most);
    box->setSingleStep(0.5);
    box->setValue(value);
    box->setSuffix(QLatin1Char(' ') + Text(IDS_LEGENDS_MM));
    connect(box, &QDoubleSpinBox::valueChanged, this, &LegendsDialog::Refresh);
    return box;
}

void LegendsDialog::BuildForm()
{
    auto* form = new QFormLayout;
    m_keys = new QComboBox(this);
    m_keys->setObjectName(QStringLiteral("legendKeys"));
    m_keys->addItems(
        {Text(IDS_LEGENDS_KEYS_LAYOUT), Text(IDS_LEGENDS_KEYS_ALL), Text(IDS_LEGENDS_KEYS_SELECTED)});
    form->addRow(Text(IDS_LEGENDS_KEYS), m_keys);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("legendMode"));
    m_mode->addItems({Text(IDS_LEGENDS_MODE_PACKED), Text(IDS_LEGENDS_MODE_KEYBOARD)});
    form->addRow(Text(IDS_LEGENDS_MODE), m_mode);

    m_preset = new QComboBox(this);
    m_preset->setObjectName(QStringLiteral("insertPreset"));
    for (const double side : kPresets) {
        m_preset->addItem(QStringLiteral("%1 \u00d7 %1 %2").arg(side).arg(Text(IDS_LEGENDS_MM)));
    }
    m_preset->addItem(Text(IDS_LEGENDS_CUSTOM));
    m_preset->setCurrentIndex(kDefaultPreset);
    m_insertWidth = NewMm(kPresets[kDefaultPreset], 100);
    m_insertWidth->setObjectName(QStringLiteral("insertWidth"));
    m_insertHeight = NewMm(kPresets[kDefaultPreset], 100);
    m_insertHeight->setObjectName(QStringLiteral("insertHeight"));
    form->addRow(
        Text(IDS_LEGENDS_INSERT),
        Row(this, {m_preset, m_insertWidth, new QLabel(QStringLiteral("\u00d7"), this), m_insertHeight}));
    m_pitch = NewMm(LegendGeometry().pitch, 100);
    m_pitch->setObjectName(QStringLiteral("pitch"));
    form->addRow(Text(IDS_LEGENDS_PITCH), m_pitch);

    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("paper"));
    m_paper->addItems({Text(IDS_PAGE_A4), Text(IDS_PAGE_LETTER), Text(IDS_PAGE_CUSTOM)});
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    const PageSetup page = letter ? LetterPage() : A4Page();
    m_pageWidth = NewMm(page.width, 2000);
    m_pageWidth->setObjectName(QStringLiteral("pageWidth"));
    m_pageHeight = NewMm(page.height, 2000);
    m_pageHeight->setObjectName(QStringLiteral("pageHeight"));
    m_paper->setCurrentIndex(letter ? PaperLetter : PaperA4);
    form->addRow(Text(IDS_LEGENDS_PAGE),
                 Row(this, {m_paper, m_pageWidth, new QLabel(QStringLiteral("\u00d7"), this), m_pageHeight}));
    m_margin = NewMm(page.margin, 100);
    m_margin->setMinimum(0);
    m_margin->setObjectName(QStringLiteral("margin"));
    form->addRow(Text(IDS_LEGENDS_MARGINS), m_margin);
    m_smallest = new QDoubleSpinBox(this);
    m_smallest->setObjectName(QStringLiteral("smallestText"));
    m_smallest->setRange(3, 14);
    m_smallest->setSingleStep(0.5);
    m_smallest->setValue(LegendFitRules().smallestPoints);
    m_smallest->setSuffix(QLatin1Char(' ') + Text(IDS_LEGENDS_PT));
    connect(m_smallest, &QDoubleSpinBox::valueChanged, this, &LegendsDialog::Refresh);
    form->addRow(Text(IDS_LEGENDS_MIN_SIZE), m_smallest);
    m_ruler = new QCheckBox(Text(IDS_LEGENDS_RULER), this);
    m_ruler->setObjectName(QStringLiteral("ruler"));
    m_ruler->setChecked(true);
    form->addRow(QString(), m_ruler);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    auto* hint = new QLabel(Text(IDS_LEGENDS_HINT), this);
    hint->setWordWrap(true);
    m_unfittingLabel = new QLabel(this);
    m_unfittingLabel->setWordWrap(true);
    m_unfitting = new QListWidget(this);
    m_unfitting->setObjectName(QStringLiteral("unfitting"));
    m_unfitting->setMaximumHeight(fontMetrics().height() * 5);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* preview = buttons->addButton(Text(IDS_LEGENDS_PREVIEW), QDialogButtonBox::ActionRole);
    preview->setObjectName(QStringLiteral("preview"));
    QPushButton* exportButton = buttons->addButton(Text(IDS_LEGENDS_EXPORT), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("export"));
    buttons->addButton(QDialogButtonBox::Close);
    connect(preview, &QPushButton::clicked, this, &LegendsDialog::Preview);
    connect(exportButton, &QPushButton::clicked, this, &LegendsDialog::Export);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(m_summary);
    layout->addWidget(m_unfittingLabel);
    layout->addWidget(m_unfitting);
    layout->addWidget(buttons);

    connect(m_keys, &QComboBox::currentIndexChanged, this, &LegendsDialog::Refresh);
    connect(m_mode, &QComboBox::currentIndexChanged, this, &LegendsDialog::Refresh);
    connect(m_ruler, &QCheckBox::toggled, this, &LegendsDialog::Refresh);
    connect(m_preset, &QComboBox::currentIndexChanged, this, &LegendsDialog::OnPresetChosen);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &LegendsDialog::OnPageChosen);
    OnPageChosen(m_paper->currentIndex());
}

void LegendsDialog::OnPresetChosen(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kPresets))) {
        return;
    }
    m_filling = true;
    m_insertWidth->setValue(kPresets[index]);
    m_insertHeight->setValue(kPresets[index]);
    m_filling = false;
    Refresh();
}

void LegendsDialog::OnPageChosen(int index)
{
    const bool custom = index == PaperCustom;
    m_pageWidth->setEnabled(custom);
    m_pageHeight->setEnabled(custom);
    if (!custom) {
        const PageSetup page = index == PaperLetter ? LetterPage() : A4Page();
        m_filling = true;
        m_pageWidth->setValue(page.width);
        m_pageHeight->setValue(page.height);
        m_filling = false;
    }
    Refresh();
}

LegendJob LegendsDialog::GetJob() const
{
    LegendJob job;
    job.geometry.insertWidth = m_insertWidth->value();
    job.geometry.insertHeight = m_insertHeight->value();
    job.geometry.pitch = m_pitch->value();
    job.page.width = m_pageWidth->value();
    job.page.height = m_pageHeight->value();
    job.page.margin = m_margin->value();
    job.page.ruler = m_ruler->isChecked();
    job.mode = m_mode->currentIndex() == 1 ? LegendSheetMode::Keyboard : LegendSheetMode::Packed;
    job.rules.smallestPoints = m_smallest->value();
    job.projectName = m_projectName;
    for (uint8_t layout = 1; layout >= 1 && layout <= m_keyboard.GetLayoutCount(); ++layout) {
        job.layouts[layout] = FromProjectText(m_keyboard.GetLayoutName(layout));
    }
    const LegendKeys keys[] = {LegendKeys::CurrentLayout, LegendKeys::AllLayouts, LegendKeys::Selected};
    job.items = CollectLegendItems(m_keyboard, keys[std::max(0, m_keys->currentIndex())],
                                   m_keyboard.GetCurrentLayout(), {m_currentKey});
    return job;
}

QString LegendsDialog::GetSummary() const
{
    return m_summary->text();
}

void LegendsDialog::Refresh()
{
    if (m_filling || m_unfitting == nullptr) {
        return;
    }
    // A preset stays chosen only while the sizes are its own.
    const double width = m_insertWidth->value();
    const int preset =
        static_cast<int>(std::find(std::begin(kPresets), std::end(kPresets), width) - std::begin(kPresets));
    m_preset->blockSignals(true);
    m_preset->setCurrentIndex(width == m_insertHeight->value() ? preset
                                                               : static_cast<int>(std::size(kPresets)));
    m_preset->blockSignals(false);

    const LegendJob job = GetJob();
    m_unfitting->clear();
    if (job.items.empty()) {
        m_summary->setText(Text(IDS_LEGENDS_NONE));
    } else if (!IsValidSheetSetup(job.geometry, job.page)) {
        m_summary->setText(Text(IDS_LEGENDS_BAD_SETUP));
    } else {
        const LegendSheet sheet = LayOutJob(job);
        QString summary =
            Text(IDS_LEGENDS_SUMMARY)
                .replace(QStringLiteral("%s"), QString::number(job.items.size() - sheet.tooLarge.size()))
                .replace(QStringLiteral("%t"), QString::number(sheet.pages.size()));
        if (!sheet.tooLarge.empty()) {
            summary += QLatin1Char('\n') + Text(IDS_LEGENDS_TOO_LARGE);
        }
        m_summary->setText(summary);
        for (const size_t item : FindUnfittingItems(job)) {
            m_unfitting->addItem(QStringLiteral("%1: %2")
                                     .arg(job.items[item].keyNumber)
                                     .arg(QString::fromStdString(job.items[item].text)));
        }
    }
    m_summary->setWordWrap(true);
    m_unfittingLabel->setText(
        Text(IDS_LEGENDS_NOT_FITTING).replace(QStringLiteral("%s"), QLocale().toString(m_smallest->value())));
    m_unfittingLabel->setVisible(m_unfitting->count() > 0);
    m_unfitting->setVisible(m_unfitting->count() > 0);
    const bool printable = !job.items.empty() && IsValidSheetSetup(job.geometry, job.page);
    for (const char* name : {"preview", "export"}) {
        if (auto* button = findChild<QPushButton*>(QLatin1String(name))) {
            button->setEnabled(printable);
        }
    }
}

void LegendsDialog::Preview()
{
    const LegendJob job = GetJob();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QSizeF(job.page.width, job.page.height), QPageSize::Millimeter, QString(),
                                  QPageSize::FuzzyMatch));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setDocName(m_projectName);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("legendPreview"));
    preview.setWindowTitle(Text(IDS_LEGENDS_CAPTION));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [job](QPrinter* target) { PrintLegends(*target, job); });
    preview.exec();
}

void LegendsDialog::Export()
{
    QStringList filters{Text(IDS_FILTER_PDF)};
    if (CanExportSvg()) {
        filters.append(Text(IDS_FILTER_SVG));
    }
    filters.append(Text(IDS_FILTER_PNG));
    const FileChoice choice =
        AskForFile(this, FileDialogKind::ExportSheet, filters, std::string(), 1, QStringLiteral("pdf"));
    if (!choice.accepted) {
        return;
    }
    QString path = QFile::decodeName(choice.path.c_str());
    // A name typed without its extension takes the chosen filter's.
    if (!FormatFromPath(choice.path)) {
        const QString filter = filters.value(choice.filterIndex - 1, filters.first());
        path += filter.mid(filter.lastIndexOf(QLatin1String("*.")) + 1).chopped(1);
    }
    ExportTo(path);
}

bool LegendsDialog::ExportTo(const QString& path)
{
    QString failed;
    if (ExportLegends(GetJob(), path, failed)) {
        return true;
    }
    MessageBox(this).ShowMessage(
        Text(IDS_MSG_EXPORT_FAILED).replace(QStringLiteral("%s"), failed).toStdString(), IDS_TITLE_ERROR,
        MessageIcon::Error);
    return false;
}

void LegendsDialog::Run()
{
    if (Hook()) {
        Hook()(*this);
        return;
    }
    exec();
}

void LegendsDialog::SetTestHook(TestHook hook)
{
    Hook() = std::move(hook);
}
