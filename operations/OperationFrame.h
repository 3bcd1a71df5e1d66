#pragma once
// The frame every chip operation runs in: probe, preconditions, controls
// locked, set-up, timed body, beep, completion line, finish, controls back.

#include "operations/Outcome.h"

#include <QString>
#include <functional>
#include <optional>

#include "app/MessageTable.h"

class Programmer;
class UserInterface;

class OperationFrame {
public:
    OperationFrame(Programmer& programmer, UserInterface& ui) : programmer_(programmer), ui_(ui) {}

    // probeChip with its two refusals ("Not connected", "No chips detected
    // ..."); true when a chip answered. id receives the 5 identifier bytes.
    bool probe(uint8_t* id = nullptr);

    // Locks the controls, sets the chip up and, when it answered, runs the
    // body timed; the completion line follows the beep when the body is Done.
    // The job is finished and the controls unlocked whatever happened.
    Outcome runJob(const std::function<Outcome()>& body, std::optional<Msg> completionLine);

private:
    Programmer& programmer_;
    UserInterface& ui_;
};

// "hh:mm:ss" of a duration in milliseconds.
QString formatElapsed(qint64 milliseconds);

// A set or get that failed: the progress goes away and the one message is
// shown, with the link's reason. Returns Outcome::Failed for the caller to
// pass on.
Outcome reportTransferFailure(UserInterface& ui, const Programmer& programmer);

// A job the person stopped: the progress goes away and the log says so; a
// chip left changed half way (`partly`, a write or an erase) is also told in
// a box. Returns Outcome::Stopped for the caller to pass on.
Outcome reportStopped(UserInterface& ui, std::optional<Msg> partly = std::nullopt);
