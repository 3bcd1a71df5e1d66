#pragma once
// Motorola S-record files: the reader stores S1, S2 and S3 data records and
// ends at S7, S8 or S9, or at the end of a file whose last record is an S5
// or S6 count that agrees with its data records; the writer picks one record kind by the byte count,
// puts 16 data bytes a record and leaves out records of nothing but 0xFF.

#include <QString>
#include <cstdint>
#include <string_view>

class ErasedArea;
class QIODevice;
class UserInterface;

// The highest end address (address + data count) over all data records, or
// 0 when the read failed (the message shown; what was stored stays). Never
// writes outside the destination's capacity (destination[0, capacity)).
int32_t ReadSRecord(const QString& path, ErasedArea& destination, UserInterface& ui);
int32_t ReadSRecord(QIODevice& in, ErasedArea& destination, UserInterface& ui);
int32_t ReadSRecord(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui);
int32_t ReadSRecord(QIODevice& in, uint8_t* destination, qint64 capacity, UserInterface& ui);

// A whole record that carries an address (S0 to S3, S5 to S9) with its
// checksum right, as a line of a file holds it (its line end cut off): how
// a file is known by its content.
bool isSRecord(std::string_view line);

// True when the whole file was written. The path form replaces an existing
// file only once the new one is complete.
bool WriteSRecord(const QString& path, const uint8_t* source, qint64 count);
bool WriteSRecord(QIODevice& out, const uint8_t* source, qint64 count);
