#include "operations/gui/CompareDialog.h"

#include "app/Captions.h"
#include "operations/CompareReport.h"
#include "operations/gui/CompareStrip.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kNarrowRanges = 200;

QLabel* addressLabel(qint64 address, QWidget* parent)
{
    auto* label = new QLabel(QString::asprintf("%llXh", static_cast<unsigned long long>(address)), parent);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont));
    return label;
}

} // namespace

CompareDialog::CompareDialog(const CompareReport& report, int languageIndex, qint64 memoryBytes, QWidget* parent)
    : QDialog(parent)
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
    const int rangesWidth = Ranges->sizeHintForColumn(0) + 40;
    Ranges->setMinimumWidth(std::min(rangesWidth, kNarrowRanges));
    connect(Ranges, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(Qt::UserRole).isValid())
            emit rangeChosen(item->data(Qt::UserRole).toLongLong());
    });

    const qint64 total = std::max(memoryBytes, report.compared());
    Strip = new CompareStrip(report.differenceMap(), total, this);
    connect(Strip, &CompareStrip::addressChosen, this, &CompareDialog::rangeChosen);
    auto* stripColumn = new QVBoxLayout;
    stripColumn->addWidget(addressLabel(0, this), 0, Qt::AlignHCenter);
    stripColumn->addWidget(Strip, 1, Qt::AlignHCenter);
    stripColumn->addWidget(addressLabel(std::max<qint64>(total - 1, 0), this), 0, Qt::AlignHCenter);

    Summary = new QLabel(rest.join(QLatin1Char('\n')), this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addLayout(stripColumn);
    top->addWidget(Ranges, 1);
    if (Ranges->count() == 0)
        top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(Summary);
    layout->addWidget(buttons);
    // Wide enough for the ranges' lines, yet narrower beside the hex view
    // where the screen is short of room (the list then scrolls sideways).
    resize(sizeHint() + QSize(std::max(0, rangesWidth - Ranges->sizeHint().width()), 0));
}
