#pragma once
// The four device buttons of the fuse page: read and write the fuse bytes,
// read and write the lock byte, each as one chip job. Only a chip with fuse
// bytes (a microcontroller) and a loaded description get one, and the job
// first compares the socket's signature with the chosen chip's.

#include <QString>

#include <functional>
#include <initializer_list>

class FuseState;
class Programmer;
class UserInterface;
struct ChipEntry;

enum class FuseJob { ReadFuses, WriteFuses, ReadLock, WriteLock };

enum class FuseJobResult {
    Done,      // completed: elapsed time shown, beep, log line
    Refused,   // no fuse bytes or no description: message shown, nothing sent
    NoChip,    // set-up did not find a chip (its own message was shown)
    Declined,  // another chip in the socket, and the user said No
    Failed,    // the transfer failed (message shown, no completion line)
};

// What a fuse job works on: the link, the current chip and its fuse bytes.
struct FuseJobParts {
    Programmer& programmer;
    const ChipEntry& chip;
    FuseState& fuses;
    UserInterface& ui;
};

// Sets the chip up, runs the job on the fuse bytes, and finishes the chip
// whatever the set-up gave. A read updates the bytes, checks and value cells.
FuseJobResult RunFuseJob(const FuseJobParts& parts, FuseJob job);

// Writes the fuse bytes (lock false) or the lock byte and reads them back:
// a locked chip ignores fuse writes and lock bits are cleared only by an
// erase, so a write is only done when the chip reads as written. Bits of a
// byte that the description names are compared; a byte with no named bit is
// compared whole. NotTaken puts its message, for the caller to show, in
// `notTaken`.
enum class ConfigWrite { Done, TransferFailed, NotTaken };
ConfigWrite WriteConfigChecked(Programmer& programmer, const FuseState& fuses, const UserInterface& ui, bool lock,
                               QString& notTaken);

// Changes the bytes between a job's reads and its first write.
using FuseEdit = std::function<void(FuseState&)>;

// Several jobs in one chip job, in order, each with its log line: a write of
// some bytes reads the chip's first so that the others go back as they were.
FuseJobResult RunFuseJobs(const FuseJobParts& parts, std::initializer_list<FuseJob> jobs, const FuseEdit& edit = {});
