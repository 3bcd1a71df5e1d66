#pragma once
// The one table of data file formats: each kind of file with the words the
// terminal's --format takes for it, its text in the file dialogs, the
// extensions it is known by, how its content is recognised, and its reader
// and writer. Open, save, merge, the terminal and the window's file filters
// all go by it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string_view>

class ErasedArea;
class QIODevice;
class UserInterface;

enum class DataFormat {
    ByName,    // by the extension; by the content for other names and streams
    Raw,
    Capsule,   // read: raw after its 2048-byte header when the header is there,
               // else raw; written raw
    IntelHex,
    SRecord,
};

// The new data length, or 0 with the message shown.
using FormatReader = int32_t (*)(QIODevice& in, ErasedArea& destination, UserInterface& ui);
// True when every byte reached the device.
using FormatWriter = bool (*)(QIODevice& out, const uint8_t* source, qint64 count);

struct FileFormat {
    DataFormat format;        // ByName: the content decides when opening
    const char* words;        // what --format takes, blank separated; nullptr: none
    const char* description;  // the file dialogs' filter text
    const char* extensions;   // lower case, blank separated; a saved name gets the first
    // A first record line (its line end cut off) of this format; nullptr
    // for formats not known by their content.
    bool (*recognise)(std::string_view line);
    FormatReader read;        // nullptr for ByName
    FormatWriter write;
    bool offeredBySave;       // in the Save dialog's filters
};

// The rows in the order of the file dialogs.
const FileFormat* fileFormatsBegin();
const FileFormat* fileFormatsEnd();

// The row a --format word names; nullptr when none does.
const FileFormat* formatNamed(const QString& word);
// "bin, hex, srec or cap": the words --format takes, for help and errors.
QString formatWords();
// The row of a file name's extension (the last dot and what follows, any
// case); nullptr for other names.
const FileFormat* formatOfName(const QString& path);
// The first row of a format (ByName included).
const FileFormat& formatRow(DataFormat format);
// Its name in messages: "raw", "Intel HEX", "S-records".
QString formatTitle(DataFormat format);

// How much of a file the recognition looks at.
inline constexpr int kRecognitionBytes = 4096;
// A file known by its content: after a byte-order mark and blank lines, a
// first line that is a whole record with its checksum right makes a file
// that is text throughout `head` a record file of that kind (whose later
// faults its reader then refuses with their line); anything else is raw.
DataFormat formatOfContent(const QByteArray& head);

// The format a save writes under `path`: the one given, else by the
// extension (raw for a capsule and ".eep"), raw for other names.
DataFormat saveFormatFor(const QString& path, DataFormat given);

// The file dialogs' filters: "Binary (*.bin)", ..., "All files (*)".
QStringList openNameFilters();
QStringList saveNameFilters();
// The row a filter above stands for; nullptr for "All files".
const FileFormat* formatOfFilter(const QString& filter);
