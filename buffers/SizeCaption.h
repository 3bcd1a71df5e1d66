#pragma once
// The size captions under the hex views: "FLASH:<chip size> BUFFER:<data length>".

#include <QString>
#include <cstdint>

struct ChipEntry;

struct SizeCaption {
    QString text;
    bool overChip = false;  // data length beyond the chip: shown red, else blue
};

SizeCaption flashSizeCaption(const ChipEntry& chip, int32_t flashLength);
SizeCaption eepromSizeCaption(const ChipEntry& chip, int32_t eepromLength);
