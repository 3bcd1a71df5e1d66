#pragma once
// The production log: one CSV row for every auto run that reached a chip,
// appended to a file the user chose. The file is opened before the run and
// closed after its row; the header row goes first into a new file; each row
// is written, flushed and synced on its own, so a crash loses at most the
// row being written.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

class QFile;

// What one auto run did to one chip.
struct ProductionRecord {
    QDateTime started;
    QString manufacturer;
    QString model;
    QString chipAnswer;             // the identifier the chip answered, "0xEF4017"
    std::optional<int32_t> serial;  // the serial number written into the data
    QStringList steps;              // captions of the steps run, in order
    std::optional<QString> failedStep;  // caption of the step the run stopped at
    qint64 elapsedMs = 0;
    std::optional<uint32_t> flashCrc;   // CRC-32 of the Flash data the write step sent
};

class ProductionLog {
public:
    ProductionLog();
    ~ProductionLog();

    void setPath(const QString& path);
    const QString& path() const { return path_; }
    bool enabled() const { return !path_.isEmpty(); }

    // Opens the file for appending, before a run sends anything, so that a
    // log that cannot take the row refuses the run while the chip is still
    // untouched. False with the system's reason.
    bool open(QString* reason);
    // Writes the row (after the header when the file is new) to the file
    // opened, syncs and closes it. False with the reason when the row could
    // not be written whole.
    bool append(const ProductionRecord& record, QString* reason);
    void close();

    static QString headerRow();
    static QString row(const ProductionRecord& record);

private:
    QString path_;
    std::unique_ptr<QFile> file_;
};

// A CSV field: quoted (with doubled quotes) when it holds a separator, a
// quote or a line break.
QString csvField(const QString& text);
