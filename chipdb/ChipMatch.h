#pragma once
// Finding the chip a person names on the command line: the whole key
// "TYPE,MANUFACTURER,MODEL", "MANUFACTURER MODEL" or the model alone, in any
// case; with the nearest models when nothing fits.

#include "chipdb/ChipTable.h"

#include <QStringList>
#include <vector>

struct ChipMatch {
    std::vector<int> entries;  // the chip-list entries the name fits
    QStringList closest;       // when none fits: the nearest model names
};

ChipMatch matchChipName(const ChipTable& table, const QString& name);
