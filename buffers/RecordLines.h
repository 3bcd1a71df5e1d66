#pragma once
// Splits a record file into lines the way the text readers take them: a
// line is what comes before the first line feed within a fixed line buffer.
// The file is read in large slices, so a line costs no system call.

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

// Opens a record file and hands it to `read`; a file that cannot be opened
// is said so and reads as 0.
int32_t readRecordFile(const QString& path, UserInterface& ui, const std::function<int32_t(QIODevice&)>& read);

// Shows a reader's message; the read's result is then 0.
int32_t recordFailure(UserInterface& ui, const char* text);
