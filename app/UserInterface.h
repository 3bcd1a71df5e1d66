#pragma once
// The one way the core talks to the person at the program: the main window,
// the terminal front end and the test recorder each implement it.

#include <QString>
#include <cstdint>

#include "app/MessageTable.h"

// What a progress maximum counts: bytes of a transfer, whose rate and time
// left mean something, or steps of a job of unknown length (erase polls).
enum class ProgressKind { Bytes, Steps };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // Modal box captioned "Error" with the stop icon.
    virtual void showError(const QString& text) = 0;
    // Box captioned "Info" with Yes and No and the question icon; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // The same box for a question that protects the chip in the socket (its
    // identity does not match the chosen chip's): a front end that answers
    // questions by a standing order must not answer this one with it.
    virtual bool askChipMismatch(const QString& text) { return askYesNo(text); }
    // Box captioned "Information" with the information icon.
    virtual void showInformation(const QString& text) = 0;
    // Plain box (no icon) with the given caption, e.g. "Info" or "About".
    virtual void showMessage(const QString& caption, const QString& text) = 0;

    // Status panel 1: state text ("Ready", "Read Flash ...").
    virtual void setStatus(const QString& text) = 0;
    // Status panel 3: elapsed time of the last operation, "hh:mm:ss".
    virtual void setElapsed(const QString& hhmmss) = 0;

    // Progress of a transfer: shown with a maximum, moved, then hidden.
    virtual void progressStart(qint64 maximum, ProgressKind kind) = 0;
    void progressStart(qint64 maximum) { progressStart(maximum, ProgressKind::Bytes); }
    virtual void progressSet(qint64 position) = 0;
    virtual void progressEnd() = 0;

    // One log line; the implementation adds the "%03d:" counter and the date.
    virtual void log(const QString& text) = 0;

    // Lets pending window events run between two blocks of a transfer.
    virtual void pumpEvents() = 0;
    // The person asked to stop the running job (a Stop button, Ctrl+C). The
    // jobs look between two reports; the front end owns and clears the request.
    virtual bool stopRequested() const { return false; }
    // Waits; the programmer needs fixed pauses between some commands.
    virtual void pause(int milliseconds) = 0;
    virtual void beep() = 0;

    // Tool bar and left panel, locked while a chip job runs.
    virtual void setControlsEnabled(bool enabled) = 0;

    // 0 Simplified Chinese, 1 Traditional Chinese, 2 English.
    virtual int languageIndex() const = 0;

    // A message in the language; a front end may word one its own way (the
    // terminal puts a space where the window's texts run on).
    virtual QString message(Msg id) const { return messageText(id, languageIndex()); }
};
