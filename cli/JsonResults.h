#pragma once
// The results of the chip commands as JSON for scripts: numbers as numbers,
// identifiers also as "0x…" text, fixed English keys and keywords whatever
// the language of the messages.

#include <QJsonObject>

class CliSession;
class CompareReport;
struct ChipEntry;

// type, manufacturer, model, id and id_hex of a chip.
QJsonObject chipJson(const ChipEntry& chip);
// equal, compared, bytes (differing), range_count, ranges (the listed ones:
// start, end = last differing address, bytes), diagnosis (null when equal,
// else "not-programmed", "not-erased" or "mixed") and unprotect_hint.
QJsonObject compareJson(const CompareReport& report);
// One JSON document on standard output.
void printJson(CliSession& s, const QJsonObject& json);
