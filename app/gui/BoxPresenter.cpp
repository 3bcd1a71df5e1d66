#include "app/gui/BoxPresenter.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

QString BoxPresenter::startFolder() const
{
    return folder_.isEmpty() ? QDir::homePath() : folder_;
}

QString BoxPresenter::chosen(const QString& path)
{
    if (!path.isEmpty())
        folder_ = QFileInfo(path).absolutePath();
    return path;
}

void MessageBoxPresenter::show(Icon icon, const QString& caption, const QString& text)
{
    QMessageBox::Icon i = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::Error: i = QMessageBox::Critical; break;
    case Icon::Question: i = QMessageBox::Question; break;
    case Icon::Information: i = QMessageBox::Information; break;
    case Icon::None: break;
    }
    QMessageBox box(i, caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool MessageBoxPresenter::ask(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    // Every question guards a chip or a file: a stray Enter must not say yes.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxPresenter::openFileName(const QStringList& filters)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(startFolder());
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    return chosen(dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                      ? dialog.selectedFiles().first()
                      : QString());
}

QString MessageBoxPresenter::saveFileName(const QStringList& filters, const QString& defaultSuffix,
                                          const QString& title)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    dialog.setDirectory(startFolder());
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    // "name (*.bin *.rom)" gives "bin"; "All files (*)" nothing.
    const auto suffixOf = [](const QString& filter) {
        const qsizetype star = filter.indexOf(QLatin1String("(*."));
        return star < 0 ? QString() : filter.mid(star + 3).section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(')'));
    };
    dialog.setDefaultSuffix(defaultSuffix.isEmpty() && !filters.isEmpty() ? suffixOf(filters.first()) : defaultSuffix);
    if (defaultSuffix.isEmpty())
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    // The program asks before replacing a file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    setChosenFilter(accepted ? dialog.selectedNameFilter() : QString());
    return chosen(accepted ? dialog.selectedFiles().first() : QString());
}

int MessageBoxPresenter::execDialog(QDialog& dialog)
{
    return dialog.exec();
}
