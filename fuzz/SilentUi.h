#pragma once
// A user interface for fuzz targets: answers No, shows nothing.

#include "app/UserInterface.h"

class SilentUi final : public UserInterface {
public:
    void showError(const QString&) override { ++errors; }
    bool askYesNo(const QString&) override { return false; }
    void showInformation(const QString&) override {}
    void showMessage(const QString&, const QString&) override {}
    void setStatus(const QString&) override {}
    void setElapsed(const QString&) override {}
    void progressStart(qint64, ProgressKind) override {}
    void progressSet(qint64) override {}
    void progressEnd() override {}
    void log(const QString&) override {}
    void pumpEvents() override {}
    void pause(int) override {}
    void beep() override {}
    void setControlsEnabled(bool) override {}
    int languageIndex() const override { return 2; }

    int errors = 0;
};
