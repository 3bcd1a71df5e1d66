#pragma once
// The four device buttons of the fuse page: read and write the fuse bytes,
// read and write the lock byte, each as one chip job.

class ProgramState;

enum class FuseJob { ReadFuses, WriteFuses, ReadLock, WriteLock };

enum class FuseJobResult {
    Done,     // completed: elapsed time shown, beep, log line
    NoChip,   // set-up did not find a chip (its own message was shown)
    Failed,   // the transfer failed (message shown, no completion line)
};

// Sets the chip up, runs the job on state.fuses(), and finishes the chip
// whatever the set-up gave. A read updates the bytes, checks and value cells.
FuseJobResult RunFuseJob(ProgramState& state, FuseJob job);
