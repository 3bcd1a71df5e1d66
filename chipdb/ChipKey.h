#pragma once
// The one rule that takes a chip key apart into its names. The chip-list
// import uses it with a tab as the separator.

#include <QByteArray>
#include <QList>
#include <QString>

QList<QByteArray> SplitChipKey(const QByteArray& key, char separator = ',');

// Leading and trailing characters with codes 0..32 removed.
QByteArray trimControl(const QByteArray& text);

// Type, manufacturer and model of a key, each trimmed; missing fields are empty.
struct ChipNames {
    QByteArray type;
    QByteArray manufacturer;
    QByteArray model;
};
ChipNames chipNames(const QByteArray& key);
