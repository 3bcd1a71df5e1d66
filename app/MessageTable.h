#pragma once
// Every message the program shows, in Simplified Chinese, Traditional Chinese
// and English.

#include <QString>

enum class Msg : int {
    ConfigDestroyed = 0,
    FileExistsOverwrite = 1,
    ErrorWritingFile = 2,
    ProgrammerDetected = 3,
    Ready = 4,
    NotConnected = 5,
    UnknownChipId = 6,
    ChooseCompatibleType = 7,
    EraseFlash = 8,
    ReadFlash = 9,
    BankFlash = 10,
    ChipNotEmpty = 11,
    VerifyFlash = 12,
    FlashCheckErrorAddress = 13,
    WriteFlash = 14,
    FileLargerThanChip = 15,
    Open = 16,
    ReadComplete = 17,
    EraseComplete = 18,
    WriteComplete = 19,
    VerifyComplete = 20,
    AutoComplete = 21,
    BankComplete = 23,
    WaitingForChip = 24,
    ChipDetected = 25,
    NoChipDetected = 26,
    ChipWasDetected = 27,
    ChipType = 28,
    BufferEmpty = 31,
    RemoveChip = 33,
    PlaceChip = 34,
    BatchWrite = 35,
    StopBatchWrite = 36,
    // Messages for faults the program refuses instead of running into.
    TransferFailed = 37,
    ChipRecordUnusable = 38,
    SerialAddressOutOfRange = 39,
    FillRangeInvalid = 40,
    FillFieldEmpty = 41,
    MergeTooLarge = 42,
    ChipListTruncated = 43,
    ChipListTooManyRows = 44,
    ChipKeyTooLong = 45,
    FuseDescriptionTooLarge = 46,
    AutoStoppedAt = 47,
    CantOpenFile = 48,
    FileTooBig = 49,
    CreateFileFailed = 50,
    ExportDone = 51,
    ChipListCellNotInteger = 52,
    FuseStepWithoutDescription = 53,
    SerialNumberOutsideChip = 54,
    StoppedByUser = 55,
    WriteStoppedPartly = 56,
    EraseStoppedPartly = 57,
    StopJob = 58,
    ProgressRateLeft = 59,
    ProgressElapsed = 60,
    // The compare with its report, Unprotect and the production log.
    CompareEqual = 61,
    CompareSummary = 62,
    CompareRange = 63,
    CompareRangeOne = 64,
    CompareMoreRanges = 65,
    BitsStillOne = 66,
    BitsNotErased = 67,
    BitsMixed = 68,
    SuggestUnprotect = 69,
    UnprotectFlash = 70,
    UnprotectComplete = 71,
    UnprotectSpiFlashOnly = 72,
    ProductionLogFailed = 73,
    ProductionLogChosen = 74,
    BatchTally = 75,
};

inline constexpr int kMessageCount = 76;

// Text of a message in a language; an index outside 0..2 reads as 0.
QString messageText(Msg id, int languageIndex);
// Normalises a language index to 0..2 (anything else becomes 0).
int clampLanguage(int languageIndex);
