#pragma once
// The main window over the simulated programmer, in a temporary program
// folder, with its boxes and dialogs recorded instead of shown.

#include "app/ProgramFiles.h"
#include "app/gui/BoxPresenter.h"
#include "app/gui/Unit1.h"
#include "chipdb/ChipTable.h"
#include "device/SimulatedProgrammer.h"
#include "support/FileText.h"
#include "support/TestChipEntry.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class RecordingPresenter : public BoxPresenter {
public:
    struct Box {
        Icon icon;
        QString caption;
        QString text;
    };

    void show(Icon icon, const QString& caption, const QString& text) override { boxes.push_back({icon, caption, text}); }
    bool ask(const QString& caption, const QString& text) override
    {
        boxes.push_back({Icon::Question, caption, text});
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFileName(const QStringList& filters) override
    {
        openFilters = filters;
        dialogFolders << startFolder();
        return chosen(next(openNames));
    }
    QString saveFileName(const QStringList& filters, const QString& suffix, const QString& title) override
    {
        saveFilters = filters;
        saveSuffix = suffix;
        saveTitles << title;
        dialogFolders << startFolder();
        setChosenFilter(next(saveFilterChoices));
        return chosen(next(saveNames));
    }
    int execDialog(QDialog& dialog) override
    {
        dialogs << dialog.objectName();
        if (!whileShown)
            return QDialog::Rejected;
        // Shown for real (its show event runs), worked by the test, then
        // closed as Escape would if the test left it open.
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        whileShown(dialog);
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    }

    QStringList texts(Icon icon) const
    {
        QStringList out;
        for (const Box& b : boxes)
            if (b.icon == icon)
                out << b.text;
        return out;
    }

    std::vector<Box> boxes;
    std::deque<bool> answers;
    QStringList openNames;
    QStringList saveNames;
    QStringList saveFilterChoices;  // the filter selected with each save name
    QStringList openFilters;
    QStringList saveFilters;
    QString saveSuffix;
    QStringList saveTitles;     // each save dialog's own title, empty for the usual one
    QStringList dialogFolders;  // the folder each file dialog started in
    QStringList dialogs;
    // When set, what the person does while a dialog is open.
    std::function<void(QDialog&)> whileShown;

private:
    static QString next(QStringList& names) { return names.isEmpty() ? QString() : names.takeFirst(); }
};

class WindowRig {
public:
    QTemporaryDir dir;
    SimulatedProgrammer sim;
    RecordingPresenter* boxes = nullptr;
    std::unique_ptr<TForm1> form;

    QString path(const QString& name) const { return dir.filePath(name); }
    QString iniPath() const { return path(QStringLiteral("ktr4180.ini")); }

    // The chip list the build made.
    bool useBuiltChipList() const
    {
        return QFile::copy(QStringLiteral(KTR_BINARY_DIR "/ktr4180.Dat"), path(QStringLiteral("ktr4180.Dat")));
    }
    bool useChipList(std::initializer_list<ChipEntry> entries) const
    {
        QByteArray bytes;
        for (const ChipEntry& e : entries)
            bytes += entryBytes(e);
        bytes += QByteArray(sizeof(ChipEntry), '\0');
        return writeBytes(path(QStringLiteral("ktr4180.Dat")), bytes);
    }
    bool writeIni(const QByteArray& text) const { return writeBytes(iniPath(), text); }
    QString ini() const { return fileText(iniPath()); }

    // Creates the window; with show, shows it and lets start-up finish.
    TForm1& start(bool show = true)
    {
        auto presenter = std::make_unique<RecordingPresenter>();
        boxes = presenter.get();
        form = std::make_unique<TForm1>(sim, ProgramFiles(dir.path()), std::move(presenter));
        if (show) {
            form->show();
            settle();
        }
        return *form;
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // The page in front of the person, its tab shown: a hidden page neither
    // shows nor acts.
    void showPage(QWidget* page) const
    {
        form->PageControl1->setTabVisible(form->PageControl1->indexOf(page), true);
        form->PageControl1->setCurrentWidget(page);
    }

    // Log lines, newest first.
    QStringList logLines() const
    {
        return form->RichEdit1->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};
