#pragma once
// A user interface for tests: it records everything shown and answers
// questions from a script.

#include "app/UserInterface.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

class RecordingUi : public UserInterface {
public:
    struct Event {
        enum Kind { Error, Question, Information, Message, Status, Elapsed, Log, Pause, Beep, Controls,
                    ProgressStart, ProgressEnd };
        Kind kind;
        QString text;
        qint64 value = 0;
    };

    void showError(const QString& text) override { add(Event::Error, text); }
    bool askYesNo(const QString& text) override
    {
        add(Event::Question, text);
        if (answers.empty())
            return defaultAnswer;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void showInformation(const QString& text) override { add(Event::Information, text); }
    void showMessage(const QString& caption, const QString& text) override { add(Event::Message, caption + QLatin1Char('|') + text); }
    void setStatus(const QString& text) override { status = text; add(Event::Status, text); }
    void setElapsed(const QString& text) override { add(Event::Elapsed, text); }
    using UserInterface::progressStart;
    void progressStart(qint64 maximum, ProgressKind kind) override
    {
        progressVisible = true;
        progressKind = kind;
        add(Event::ProgressStart, {}, maximum);
    }
    void progressSet(qint64 position) override { progressPosition = position; }
    void progressEnd() override { progressVisible = false; add(Event::ProgressEnd, {}); }
    void log(const QString& text) override { add(Event::Log, text); }
    void pumpEvents() override { ++pumps; if (onPump) onPump(); }
    // A stop asked for after that many pumps (the next check sees it), or never.
    bool stopRequested() const override { return stopAfterPumps >= 0 && pumps >= stopAfterPumps; }
    void pause(int ms) override { add(Event::Pause, {}, ms); }
    void beep() override { add(Event::Beep, {}); }
    void setControlsEnabled(bool enabled) override { controlsEnabled = enabled; add(Event::Controls, {}, enabled); }
    int languageIndex() const override { return language; }

    QStringList texts(Event::Kind kind) const
    {
        QStringList out;
        for (const Event& e : events)
            if (e.kind == kind)
                out << e.text;
        return out;
    }
    QStringList errors() const { return texts(Event::Error); }
    QStringList logs() const { return texts(Event::Log); }
    QStringList questions() const { return texts(Event::Question); }
    std::vector<qint64> pauses() const
    {
        std::vector<qint64> out;
        for (const Event& e : events)
            if (e.kind == Event::Pause)
                out.push_back(e.value);
        return out;
    }
    void clear() { events.clear(); }

    int language = 2;
    std::deque<bool> answers;
    bool defaultAnswer = true;
    std::vector<Event> events;
    QString status;
    bool controlsEnabled = true;
    bool progressVisible = false;
    qint64 progressPosition = 0;
    int pumps = 0;
    int stopAfterPumps = -1;
    ProgressKind progressKind = ProgressKind::Bytes;
    std::function<void()> onPump;

private:
    void add(Event::Kind kind, const QString& text, qint64 value = 0) { events.push_back({kind, text, value}); }
};
