#include "exportdialog.h"
#include "ui_exportdialog.h"

#include "exporttext.h"
#include "utilslog.h"
#include "valueovertime.h"

#include <QDate>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

namespace Utils {

namespace {
const int previewRows = 10;
} // namespace

class ExportDialogPrivate
{
public:
    Ui::ExportDialog ui;
    QList<const ValueOverTime *> series;
    QStringList columns;
    QString delimiter;
    QString fileName;
    int precision = 2;
};

ExportDialog::ExportDialog(QList<const ValueOverTime *> *series, QList<QString> *columnNames,
                           QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , d(new ExportDialogPrivate)
{
    d->ui.setupUi(this);
    if (series)
        d->series = *series;
    if (columnNames)
        d->columns = *columnNames;

    // Columns line up in a fixed-width font, as they will in a text editor.
    d->ui.previewTextEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPushButton *save = d->ui.buttonBox->button(QDialogButtonBox::Save);
    save->setEnabled(false);
    connect(d->ui.buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(d->ui.browseButton, &QPushButton::clicked, this, &ExportDialog::vSelectFileDialog);
    connect(this, &QDialog::finished, this, &ExportDialog::vFinished);
    for (QCheckBox *box : { d->ui.tabCheckBox, d->ui.commaCheckBox, d->ui.semicolonCheckBox,
                            d->ui.spaceCheckBox, d->ui.customCheckBox }) {
        connect(box, &QCheckBox::toggled, this, &ExportDialog::vDelimiterUpdated);
    }
    connect(d->ui.precisionSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ExportDialog::setPrecision);
    connect(d->ui.customLineEdit, &QLineEdit::textChanged, this, [this] {
        if (d->ui.customCheckBox->isChecked())
            vDelimiterUpdated();
    });
    vDelimiterUpdated();
}

ExportDialog::~ExportDialog()
{
    delete d;
}

void ExportDialog::setPrecision(int decimals)
{
    d->precision = qBound(0, decimals, 10);
    const QSignalBlocker blocker(d->ui.precisionSpinBox);
    d->ui.precisionSpinBox->setValue(d->precision);
    vDelimiterUpdated();
}

int ExportDialog::precision() const
{
    return d->precision;
}

QString ExportDialog::delimiter() const
{
    return d->delimiter;
}

QString ExportDialog::fileName() const
{
    return d->fileName;
}

void ExportDialog::setFileName(const QString &fileName)
{
    d->fileName = fileName;
    d->ui.fileLineEdit->setText(fileName);
    d->ui.buttonBox->button(QDialogButtonBox::Save)->setEnabled(!fileName.isEmpty());
}

QString ExportDialog::previewText() const
{
    return d->ui.previewTextEdit->toPlainText();
}

void ExportDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        d->ui.retranslateUi(this);
    QDialog::changeEvent(event);
}

void ExportDialog::vDelimiterUpdated()
{
    QString delimiter;
    if (d->ui.tabCheckBox->isChecked())
        delimiter += QLatin1Char('\t');
    if (d->ui.commaCheckBox->isChecked())
        delimiter += QLatin1Char(',');
    if (d->ui.semicolonCheckBox->isChecked())
        delimiter += QLatin1Char(';');
    if (d->ui.spaceCheckBox->isChecked())
        delimiter += QLatin1Char(' ');
    if (d->ui.customCheckBox->isChecked())
        delimiter += d->ui.customLineEdit->text();
    d->delimiter = delimiter;

    d->ui.previewTextEdit->clear();
    d->ui.previewTextEdit->setPlainText(
        exportText(d->series, d->columns, d->delimiter, d->precision, previewRows));
}

void ExportDialog::vSelectFileDialog()
{
    const QString proposed
        = QDate::currentDate().toString(QStringLiteral("'export-'dd-MM-yyyy'.csv'"));
    // On the heap and watched, not the static function's dialog on the stack: should this
    // dialog go while the choice is open (its window destroyed), the choice goes with it, once,
    // and nothing of this dialog is touched afterwards.
    QPointer<ExportDialog> self(this);
    QPointer<QFileDialog> choice
        = new QFileDialog(this, tr("Save As..."), proposed, QStringLiteral("*.csv"));
    choice->setAcceptMode(QFileDialog::AcceptSave);
    const bool accepted = choice->exec() == QDialog::Accepted;
    if (!self || !choice)
        return;
    const QStringList chosen = choice->selectedFiles();
    delete choice.data();
    setFileName(accepted ? chosen.value(0) : QString());
}

void ExportDialog::vFinished(int state)
{
    if (state != QDialog::Accepted || d->fileName.isEmpty())
        return;
    // A million samples take a few tenths of a second; longer exports show their progress
    // after half a second (the export dialog itself is closed by now).
    QProgressDialog progress(tr("Exporting chart data..."), QString(), 0, 1000, parentWidget());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    // Written as it is made; a folder, device or pipe is refused and an old file is replaced
    // only by a complete new one. The dialog shows no message (it is closed by now).
    QString reason;
    if (!writeExportFile(
            d->fileName, d->series, d->columns, d->delimiter, d->precision,
            [&progress](int done, int total) {
                progress.setValue(int(qint64(done) * 999 / qMax(total, 1)));
            },
            &reason))
        qCWarning(Internal::utilsLog)
            << "could not write the export file" << d->fileName << ":" << reason;
}

} // namespace Utils
