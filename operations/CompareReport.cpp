#include "operations/CompareReport.h"

#include "app/MessageTable.h"

#include <algorithm>
#include <bit>
#include <cstring>

void CompareReport::start(qint64 compared, bool unprotectable)
{
    *this = CompareReport();
    compared_ = compared;
    unprotectable_ = unprotectable;
    map_.start(compared);
}

bool CompareReport::equalBytes(const uint8_t* a, const uint8_t* b, std::size_t n)
{
    return std::memcmp(a, b, n) == 0;
}

namespace {

constexpr std::size_t kWord = sizeof(quint64);

quint64 word(const uint8_t* p)
{
    quint64 w;
    std::memcpy(&w, p, kWord);
    return w;
}

// Whether any of the eight bytes of x is zero, i.e. any byte pair was equal.
bool hasZeroByte(quint64 x)
{
    return ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) != 0;
}

// One past the run of differing bytes that starts at i, eight at a time
// while whole words differ.
std::size_t differingRunEnd(const uint8_t* a, const uint8_t* b, std::size_t i, std::size_t count)
{
    while (i + kWord <= count && !hasZeroByte(word(a + i) ^ word(b + i)))
        i += kWord;
    while (i < count && a[i] != b[i])
        ++i;
    return i;
}

} // namespace

void CompareReport::countBits(const uint8_t* expected, const uint8_t* found, std::size_t count)
{
    // Equal bytes add nothing either way, so a block is counted whole.
    std::size_t i = 0;
    for (; i + kWord <= count; i += kWord) {
        const quint64 want = word(expected + i);
        const quint64 got = word(found + i);
        bitsStillOne_ += unsigned(std::popcount(got & ~want));
        bitsCleared_ += unsigned(std::popcount(want & ~got));
    }
    for (; i < count; ++i) {
        bitsStillOne_ += unsigned(std::popcount(uint8_t(found[i] & ~expected[i])));
        bitsCleared_ += unsigned(std::popcount(uint8_t(expected[i] & ~found[i])));
    }
}

void CompareReport::addDifferences(qint64 address, const uint8_t* expected, const uint8_t* found, std::size_t count)
{
    countBits(expected, found, count);
    std::size_t i = 0;
    while (i < count) {
        i = std::size_t(std::mismatch(expected + i, expected + count, found + i).first - expected);
        if (i >= count)
            break;
        const std::size_t runStart = i;
        i = differingRunEnd(expected, found, i, count);
        const qint64 at = address + qint64(runStart);
        // A range goes on across a block boundary when nothing equal lies between.
        if (!hasOpen_ || at != open_.end + 1) {
            closeRange();
            open_ = Range{};
            open_.start = at;
            hasOpen_ = true;
        }
        for (std::size_t k = runStart; k < i && open_.shown < kShownBytes; ++k, ++open_.shown) {
            open_.expected[std::size_t(open_.shown)] = expected[k];
            open_.found[std::size_t(open_.shown)] = found[k];
        }
        differingBytes_ += qint64(i - runStart);
        open_.end = address + qint64(i) - 1;
        map_.add(at, open_.end);
    }
}

void CompareReport::closeRange()
{
    if (!hasOpen_)
        return;
    ++rangeCount_;
    if (listed_.size() < std::size_t(kListedRanges))
        listed_.push_back(open_);
    hasOpen_ = false;
}

void CompareReport::finish()
{
    closeRange();
}

CompareReport::Direction CompareReport::direction() const
{
    if (bitsStillOne_ == 0 && bitsCleared_ == 0)
        return Direction::None;
    if (bitsCleared_ == 0)
        return Direction::StillOne;
    if (bitsStillOne_ == 0)
        return Direction::NotErased;
    return Direction::Mixed;
}

namespace {

QString hexByteList(const std::array<uint8_t, CompareReport::kShownBytes>& bytes, int shown, bool more)
{
    QString s;
    for (int i = 0; i < shown; ++i) {
        if (i)
            s += QLatin1Char(' ');
        s += QString::asprintf("%02X", bytes[std::size_t(i)]);
    }
    if (more)
        s += QStringLiteral(" ...");
    return s;
}

// Addresses as wide as the last one compared, so that ranges line up.
QString addressText(qint64 address, qint64 compared)
{
    int width = 4;
    for (quint64 top = quint64(std::max<qint64>(compared - 1, 0)) >> 16; top != 0; top >>= 4)
        ++width;
    return QString::asprintf("%0*llXh", width, static_cast<unsigned long long>(address));
}

} // namespace

QString compareRangeLine(const CompareReport::Range& r, qint64 compared, int languageIndex)
{
    const bool more = r.length() > r.shown;
    const QString expected = hexByteList(r.expected, r.shown, more);
    const QString found = hexByteList(r.found, r.shown, more);
    if (r.length() == 1)
        return messageText(Msg::CompareRangeOne, languageIndex)
            .arg(addressText(r.start, compared), expected, found);
    return messageText(Msg::CompareRange, languageIndex)
        .arg(addressText(r.start, compared), addressText(r.end, compared), QString::number(r.length()), expected,
             found);
}

QString compareSummaryLine(const CompareReport& report, int languageIndex)
{
    if (report.equal())
        return messageText(Msg::CompareEqual, languageIndex);
    return messageText(Msg::CompareSummary, languageIndex)
        .arg(QString::number(report.differingBytes()), QString::number(report.rangeCount()));
}

QStringList compareReportLines(const CompareReport& report, int languageIndex)
{
    QStringList lines;
    if (report.equal())
        return {compareSummaryLine(report, languageIndex)};
    for (const CompareReport::Range& r : report.listedRanges())
        lines << compareRangeLine(r, report.compared(), languageIndex);
    if (const qint64 more = report.rangeCount() - qint64(report.listedRanges().size()); more > 0)
        lines << messageText(Msg::CompareMoreRanges, languageIndex).arg(more);
    return lines + compareDiagnosis(report, languageIndex);
}

QStringList compareDiagnosis(const CompareReport& report, int languageIndex)
{
    QStringList lines{compareSummaryLine(report, languageIndex)};
    switch (report.direction()) {
    case CompareReport::Direction::StillOne:
        lines << messageText(Msg::BitsStillOne, languageIndex);
        break;
    case CompareReport::Direction::NotErased:
        lines << messageText(Msg::BitsNotErased, languageIndex);
        break;
    case CompareReport::Direction::Mixed:
        lines << messageText(Msg::BitsMixed, languageIndex);
        break;
    case CompareReport::Direction::None:
        break;
    }
    if (report.suggestsUnprotect())
        lines << messageText(Msg::SuggestUnprotect, languageIndex);
    return lines;
}
