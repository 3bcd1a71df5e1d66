#pragma once
// What a compare of the chip with the buffer found: the differing ranges
// (the first few kept whole, the rest counted), the number of differing
// bytes, and which way the differing bits went, which tells an unprogrammed
// or write-protected chip from one that was not erased or holds wrong data.

#include "operations/DifferenceMap.h"

#include <QStringList>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <vector>

class CompareReport {
public:
    static constexpr int kListedRanges = 20;
    static constexpr int kShownBytes = 8;

    // A run of consecutive differing addresses; the first bytes of each side.
    struct Range {
        qint64 start = 0;
        qint64 end = 0;  // last differing address, inclusive
        std::array<uint8_t, kShownBytes> expected{};
        std::array<uint8_t, kShownBytes> found{};
        int shown = 0;   // bytes held in expected and found
        qint64 length() const { return end - start + 1; }
    };

    enum class Direction {
        None,        // equal
        StillOne,    // every differing bit is 1 on the chip and 0 in the data
        NotErased,   // every differing bit is 0 on the chip and 1 in the data
        Mixed,
    };

    // A new compare over `compared` bytes; unprotectable: the chip has block
    // protection that Unprotect can clear.
    void start(qint64 compared, bool unprotectable);
    // One block: the buffer's bytes and the chip's from an address on.
    void add(qint64 address, const uint8_t* expected, const uint8_t* found, std::size_t count)
    {
        // Equal blocks, nearly all of them, cost one comparison.
        if (!equalBytes(expected, found, count))
            addDifferences(address, expected, found, count);
    }
    // Closes the last range; done after the last block.
    void finish();

    bool equal() const { return differingBytes_ == 0; }
    qint64 compared() const { return compared_; }
    qint64 differingBytes() const { return differingBytes_; }
    qint64 rangeCount() const { return rangeCount_; }
    const std::vector<Range>& listedRanges() const { return listed_; }
    // Every difference, block by block, also past the listed ranges.
    const DifferenceMap& differenceMap() const { return map_; }
    // Bits 1 on the chip where the data has 0, and the other way round.
    quint64 bitsStillOne() const { return bitsStillOne_; }
    quint64 bitsCleared() const { return bitsCleared_; }
    Direction direction() const;
    // Only bits that stayed 1 on a chip Unprotect can clear.
    bool suggestsUnprotect() const { return unprotectable_ && direction() == Direction::StillOne; }

private:
    static bool equalBytes(const uint8_t* a, const uint8_t* b, std::size_t n);
    void addDifferences(qint64 address, const uint8_t* expected, const uint8_t* found, std::size_t count);
    void countBits(const uint8_t* expected, const uint8_t* found, std::size_t count);
    void closeRange();

    qint64 compared_ = 0;
    bool unprotectable_ = false;
    qint64 differingBytes_ = 0;
    qint64 rangeCount_ = 0;
    quint64 bitsStillOne_ = 0;
    quint64 bitsCleared_ = 0;
    std::vector<Range> listed_;
    DifferenceMap map_;
    Range open_;
    bool hasOpen_ = false;
};

// The report as lines in a language: one per listed range, "and N more",
// the summary, the direction of the bits and, where it fits, the hint to
// Unprotect. An equal compare is one line.
QStringList compareReportLines(const CompareReport& report, int languageIndex);
// The summary, the direction of the bits and, where it fits, the hint to
// Unprotect: the report without its ranges.
QStringList compareDiagnosis(const CompareReport& report, int languageIndex);
// One range as its line.
QString compareRangeLine(const CompareReport::Range& range, qint64 compared, int languageIndex);
// The summary line alone (also the log line of the compare).
QString compareSummaryLine(const CompareReport& report, int languageIndex);
