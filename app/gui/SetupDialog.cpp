#include "app/gui/SetupDialog.h"

#include "app/AidTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

SetupDialog::SetupDialog(Run run, int languageIndex, QWidget* parent) : QDialog(parent), run_(std::move(run))
{
    setObjectName(QStringLiteral("SetupDialog"));
    setWindowTitle(aidCaptionFor("SetupDialog", "", languageIndex));

    Checks = new QListWidget(this);
    Checks->setObjectName(QStringLiteral("Checks"));
    Checks->setWordWrap(true);
    Checks->setSelectionMode(QAbstractItemView::NoSelection);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    Again = buttons->addButton(aidCaptionFor("SetupDialog", "Again", languageIndex), QDialogButtonBox::ActionRole);
    Again->setObjectName(QStringLiteral("Again"));
    connect(Again, &QPushButton::clicked, this, &SetupDialog::check);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Checks, 1);
    layout->addWidget(buttons);
    resize(720, 320);
    check();
}

void SetupDialog::check()
{
    Checks->clear();
    const QIcon ok = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon failed = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const SetupCheck& c : run_())
        new QListWidgetItem(c.ok ? ok : failed, setupCheckLine(c), Checks);
}
