#pragma once

// How a chip operation, or one step of it, ended.
enum class Outcome {
    Done,      // the body ran to its end
    Refused,   // stopped before the chip job (no programmer, no chip, empty buffer, unusable record)
    Declined,  // the user answered No, or a check found a difference (verify, blank, signature)
    Failed,    // a transfer failed
    Stopped,   // the person stopped it between two reports; the job was still finished
};
