#pragma once
// Splits a record file into its record lines as the text readers take them:
// a byte-order mark before the first line, blank lines and the blanks and
// carriage return at a line's end are passed over; a line longer than its
// format allows is refused. The file is read in large slices, so a line
// costs no system call. Also the wording of the readers' refusals.

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class QIODevice;
class UserInterface;

class RecordLines {
public:
    // `longest`: the most characters a record line of the format holds,
    // without its line end.
    RecordLines(QIODevice& in, int longest);
    ~RecordLines();
    RecordLines(const RecordLines&) = delete;
    RecordLines& operator=(const RecordLines&) = delete;

    enum class Status {
        Line,     // `line` holds the next record line, trailing blanks cut off
        TooLong,  // the next line is longer than `longest`
        End,      // nothing left to read
    };
    Status next(std::string_view& line);
    // The number of the line `next` gave last (1 for the first line of the
    // file, blank lines counted); at the end, the number of the last line.
    qint64 lineNumber() const { return number_; }
    int longest() const { return int(longest_); }

private:
    void refill();

    QIODevice& in_;
    const qint64 longest_;
    const qint64 window_;  // room for a line with its line end and blanks after it
    const qint64 capacity_;
    std::unique_ptr<char[]> buffer_;
    qint64 pos_ = 0;
    qint64 end_ = 0;
    qint64 number_ = 0;
    bool eof_ = false;
    bool started_ = false;
};

// Where a reader is, so that its refusals say it: "line 17: ...".
struct RecordPlace {
    UserInterface& ui;
    qint64 line = 0;

    // Shows "line N: text"; the read's result is then 0.
    int32_t fail(const QString& text) const;
};

// "line 17: longer than 521 characters"
int32_t refuseLongLine(const RecordPlace& place, const RecordLines& lines);
// "line 5: data at 0x08000000 beyond the 64 MiB buffer", naming the first
// address beyond the capacity.
int32_t refuseBeyondCapacity(const RecordPlace& place, uint64_t firstBeyond, qint64 capacity);
// The capacity as a person names it: "64 MiB", "8 KiB", "300-byte".
QString capacityText(qint64 capacity);

// Opens a record file and hands it to `read`; a file that cannot be opened
// is said so and reads as 0.
int32_t readRecordFile(const QString& path, UserInterface& ui, const std::function<int32_t(QIODevice&)>& read);

// Shows a reader's message that belongs to no line; the read's result is then 0.
int32_t recordFailure(UserInterface& ui, const QString& text);
