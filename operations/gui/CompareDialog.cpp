#include "operations/gui/CompareDialog.h"

#include "app/Captions.h"
#include "operations/CompareReport.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CompareDialog::CompareDialog(const CompareReport& report, int languageIndex, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(plainCaptionFor("TForm1", "CompareChip", languageIndex));

    Ranges = new QListWidget(this);
    Ranges->setObjectName(QStringLiteral("Ranges"));
    // Addresses and bytes line up in a fixed font.
    Ranges->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const CompareReport::Range& r : report.listedRanges()) {
        auto* item = new QListWidgetItem(compareRangeLine(r, report.compared(), languageIndex), Ranges);
        item->setData(Qt::UserRole, r.start);
    }
    // The report's other lines: what follows the ranges.
    QStringList rest = compareReportLines(report, languageIndex).mid(int(report.listedRanges().size()));
    if (const qint64 more = report.rangeCount() - qint64(report.listedRanges().size()); more > 0) {
        auto* item = new QListWidgetItem(rest.takeFirst(), Ranges);
        item->setFlags(Qt::NoItemFlags);
    }
    Ranges->setVisible(Ranges->count() > 0);
    Ranges->setMinimumWidth(Ranges->sizeHintForColumn(0) + 40);
    connect(Ranges, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(Qt::UserRole).isValid())
            emit rangeChosen(item->data(Qt::UserRole).toLongLong());
    });

    Summary = new QLabel(rest.join(QLatin1Char('\n')), this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Ranges, 1);
    layout->addWidget(Summary);
    layout->addWidget(buttons);
}
