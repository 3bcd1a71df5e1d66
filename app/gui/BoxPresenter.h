#pragma once
// Shows the program's modal boxes: message boxes, the file dialogs and the
// program's own dialogs. The main window asks it for every one, so a test can
// put a recorder in its place.

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

class BoxPresenter {
public:
    enum class Icon { None, Error, Question, Information };

    virtual ~BoxPresenter() = default;
    // A box with an OK button; returns when it is closed.
    virtual void show(Icon icon, const QString& caption, const QString& text) = 0;
    // A box with Yes and No and the question icon; true for Yes.
    virtual bool ask(const QString& caption, const QString& text) = 0;
    // A file to open or to save to, the first filter selected; empty when
    // the dialog was cancelled. A save dialog may be titled for what it
    // chooses; without a default suffix, a name typed without one gets the
    // extension of the filter selected.
    virtual QString openFileName(const QStringList& filters) = 0;
    virtual QString saveFileName(const QStringList& filters, const QString& defaultSuffix,
                                 const QString& title = QString()) = 0;
    // The filter selected when the last save dialog was confirmed.
    const QString& chosenFilter() const { return chosenFilter_; }
    // Shows one of the program's dialogs modally; its result code.
    virtual int execDialog(QDialog& dialog) = 0;

    // The folder the file dialogs start in: the folder of the file chosen
    // last, kept across runs by the settings.
    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder) { folder_ = folder; }
    // Where a file dialog opens: the folder, or the home folder until a
    // file was chosen (not the system's list of drives).
    QString startFolder() const;

protected:
    // A file dialog's answer: a chosen file's folder becomes the folder.
    QString chosen(const QString& path);
    void setChosenFilter(const QString& filter) { chosenFilter_ = filter; }

private:
    QString folder_;
    QString chosenFilter_;
};

// Real message boxes over a parent window.
class MessageBoxPresenter final : public BoxPresenter {
public:
    explicit MessageBoxPresenter(QWidget* parent) : parent_(parent) {}
    void show(Icon icon, const QString& caption, const QString& text) override;
    bool ask(const QString& caption, const QString& text) override;
    QString openFileName(const QStringList& filters) override;
    QString saveFileName(const QStringList& filters, const QString& defaultSuffix, const QString& title) override;
    int execDialog(QDialog& dialog) override;
    void setParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_;
};
