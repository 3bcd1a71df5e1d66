#pragma once
// Help -> Check the set-up: the same lines the terminal's `doctor` prints,
// one per check, marked ok or not, and a button that checks again (after a
// replug, say). The checks themselves are the core's.

#include "operations/SetupChecks.h"

#include <QDialog>

#include <functional>
#include <vector>

class QListWidget;
class QPushButton;

class SetupDialog : public QDialog {
    Q_OBJECT
public:
    using Run = std::function<std::vector<SetupCheck>()>;

    // Runs the checks once at once, and again on Again.
    SetupDialog(Run run, int languageIndex, QWidget* parent = nullptr);

    QListWidget* Checks = nullptr;
    QPushButton* Again = nullptr;

private:
    void check();

    Run run_;
};
