#pragma once
// Looks at the main window on every pass of the event loop while a chip job
// holds the programmer, as the person sees it between two blocks, and counts
// every change of the tool bar's and the left panel's enabled state.

#include "app/gui/ClickPanel.h"
#include "app/gui/PanelStatusBar.h"
#include "app/gui/Unit1.h"
#include "device/SimulatedProgrammer.h"

#include <QAction>
#include <QEvent>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <vector>

class JobWatch : public QObject {
public:
    struct Sample {
        bool toolBar;
        bool leftPanel;
        bool menu;
        bool help;
        bool batchPanel;
        bool progressShown;
        int progressMaximum;
        int progressValue;
        bool watchTimer;
        QString status;
    };

    explicit JobWatch(TForm1& form) : form_(form)
    {
        pass_.setInterval(0);
        connect(&pass_, &QTimer::timeout, this, [this] { look(); });
        pass_.start();
        form.ToolBar1->installEventFilter(this);
        form.Panel2->installEventFilter(this);
    }

    ~JobWatch() override
    {
        form_.ToolBar1->removeEventFilter(this);
        form_.Panel2->removeEventFilter(this);
    }

    std::vector<Sample> samples;
    int toolBarChanges = 0;
    int leftPanelChanges = 0;
    // Called with each sample: what the person or the system does mid-job.
    std::function<void(const Sample&)> during;

    // The next report sent to the programmer fails, the first time the job
    // shows this status.
    void failNextSetOnce(SimulatedProgrammer& sim, const QString& status)
    {
        during = [&sim, status, armed = false](const Sample& s) mutable {
            if (!armed && s.status == status) {
                armed = true;
                sim.addFault({SimulatedProgrammer::Fault::Kind::Set, sim.reportCount() + 1});
            }
        };
    }

    bool all(bool (*test)(const Sample&)) const
    {
        for (const Sample& s : samples)
            if (!test(s))
                return false;
        return true;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange) {
            if (watched == form_.ToolBar1)
                ++toolBarChanges;
            else if (watched == form_.Panel2)
                ++leftPanelChanges;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void look()
    {
        if (!form_.state().programmer().jobRunning())
            return;
        const Sample s{form_.ToolBar1->isEnabled(),
                       form_.Panel2->isEnabled(),
                       form_.R1->isEnabled(),
                       form_.N5->isEnabled(),
                       form_.Panel8->isEnabled(),
                       form_.Progress->isVisible(),
                       form_.Progress->maximum(),
                       form_.Progress->value(),
                       form_.Timer1->isActive(),
                       form_.StatusBar1->panelText(1)};
        samples.push_back(s);
        if (during)
            during(s);
    }

    TForm1& form_;
    QTimer pass_;
};
