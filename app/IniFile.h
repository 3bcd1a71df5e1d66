#pragma once
// A settings (INI) file read and written like the platform profile functions
// the program was made for: no copy is kept, every read parses the file as it
// is on disk and every write rewrites it at once. Section and key names match
// without regard to case; new keys go to the end of their section and new
// sections to the end of the file, so a file keeps the order of first writes.

#include <QString>
#include <cstdint>
#include <optional>

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // The value after '=' with blanks trimmed; nullopt when the file, the
    // section or the key is missing.
    std::optional<QString> readString(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // Decimal, "$" hexadecimal or "0x" hexadecimal; the fallback for a
    // missing, empty or non-numeric value.
    int32_t readInteger(const QString& section, const QString& key, int32_t fallback) const;
    // Any non-zero integer is true.
    bool readBool(const QString& section, const QString& key, bool fallback) const;

    // False when the file could not be written; writeError() then says so.
    // The file is replaced through a temporary file, so a failed write leaves
    // the previous file whole.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int32_t value);
    bool writeBool(const QString& section, const QString& key, bool value);

    // "Unable to write to <path>".
    QString writeError() const;

private:
    QString path_;
};
