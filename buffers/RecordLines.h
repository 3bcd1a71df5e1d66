#pragma once
// Splits a record file into lines the way the text readers take them: a
// line is what comes before the first line feed within a fixed line buffer.
// The file is read in large slices, so a line costs no system call.

#include <QtGlobal>
#include <memory>
#include <string_view>

class QIODevice;

class RecordLines {
public:
    // `lineBuffer`: the most bytes a line may take, its line feed included.
    RecordLines(QIODevice& in, int lineBuffer);
    ~RecordLines();
    RecordLines(const RecordLines&) = delete;
    RecordLines& operator=(const RecordLines&) = delete;

    enum class Status {
        Line,     // `line` holds the next line without its line feed
        TooLong,  // no line feed within the line buffer, and the file goes on
        End,      // nothing left to read
    };
    Status next(std::string_view& line);

private:
    void refill();

    QIODevice& in_;
    const qint64 limit_;
    const qint64 capacity_;
    std::unique_ptr<char[]> buffer_;
    qint64 pos_ = 0;
    qint64 end_ = 0;
    bool eof_ = false;
};
