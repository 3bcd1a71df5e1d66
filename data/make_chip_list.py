#!/usr/bin/env python3
"""Writes the bundled chip list data/chips.txt from the tables below.

One line per chip in the chip-list editor's tab-separated layout: type,
manufacturer, model, identifier ("0x%X"), Flash size, Flash page size, class,
subtype ("0x%X"), erase delay (shown), supply-voltage code, EEPROM size,
EEPROM page size, erase delay (saved), interface, association "0", then
twelve empty columns.

The import splits on runs of tabs and blanks and drops empty fields, so no
cell may be empty or hold a blank.

    make_chip_list.py            rewrite data/chips.txt
    make_chip_list.py --check    exit 1 when data/chips.txt is out of date

Nothing is downloaded: every fact is in this file.
"""

import math
import os
import sys

# --------------------------------------------------------------------------
# Codes of the chip entry

SPI_FLASH, EE24, EE93, EE95, EE25, AVR = "SPI_FLASH", "24_EEPROM", "93_EEPROM", "95_EEPROM", "25_EEPROM", "AVR"
CLASS = {SPI_FLASH: 0, EE24: 1, EE93: 2, EE95: 3, EE25: 4, AVR: 7}
V33, V50 = 0, 1           # supply-voltage codes
ZIF, ISP = 1, 2           # interface codes
POLL_SECONDS = 0.05       # a whole-chip erase is polled every 50 ms
EEPROM_DELAY = 10         # erase/write wait of the serial EEPROMs


def mbit(n):
    """Bytes of a flash of n Mbit."""
    return int(n * 131072)


def kbit(n):
    """Bytes of an EEPROM of n Kbit."""
    return n * 128


# --------------------------------------------------------------------------
# SPI flash (class 0). Page size is 256 unless a model says otherwise; 1.8
# V-only parts are left out (the chip entry offers 3.3 V and 5.0 V), and so are
# parts above the 64 MiB Flash buffer, mask ROMs (nothing to program), DataFlash
# (no JEDEC page program), parts without a whole-chip erase (the programmer's
# SPI flash erase is that one command: M45PE, which erases by pages) and parts
# whose 3-byte identifier several sizes share (the AMIC A25L..P answer 7F 37 20
# for all of them; detection would pick a size at random).
#
# Each family gives its makers' identifier (JEDEC 0x9F answer: manufacturer,
# memory type, capacity) and size per model, and its whole-chip erase time
# bound in seconds: `per_mbit` seconds per Mbit of size, at least `floor`.
# The per-Mbit figure is the datasheet maximum of the family's largest
# members, so small members are over- rather than under-estimated (a longer
# erase wait costs nothing when the chip finishes early; a shorter one ends the
# erase while the chip is still busy). A model may name its own figure as a
# fourth element, or give {"erase_s": seconds, "page": bytes, "scheme": ...}
# there when its Page Program takes fewer than 256 bytes or its programming
# scheme differs from its family's. SST's SuperFlash parts (and their
# licensed twins) erase the whole chip in 50 ms at most.
#
# Subtype: 2 above 16 MiB, else the programming scheme of the family's
# datasheets. 1 ("SST flash") for parts whose program commands take one byte
# (Byte Program) or one two-byte word (AAI Word Program) at a time, whoever
# made them; 0 for parts taking up to 256 bytes per Page Program, SST's own
# SST25VF064C and SST26 parts included. A family set apart from the usual
# page scheme names the datasheets that say so.


class Scheme:
    def __init__(self, subtype, source):
        if not source:
            raise ValueError("a programming scheme names its datasheets")
        self.subtype, self.source = subtype, source


PAGE = Scheme(0, "Page Program of up to 256 bytes, as in each family's datasheets")


def byte_program(source):
    return Scheme(1, source)


def page_program(source):
    return Scheme(0, source)


AT26DF041_SCHEME = byte_program("AT26DF041 data sheet: Byte Program operation (opcode 02h programs one byte); "
                                "its page program rewrites a whole page through a buffer with its own command")

# Models a maker gains come after the ones it had: the saved chip selection is
# three list positions (type, maker, model), which must keep naming the chip.
SPI_FAMILIES = [
    # maker, programming scheme, per_mbit, floor, [(model, identifier, size[, erase_s])]
    ("WINBOND", PAGE, 1.5625, 6, [    # W25Q..FV/JV: 64 Mbit 100 s, 128 Mbit 200 s, 256 Mbit 400 s
        ("W25Q20CL", 0xEF4012, mbit(2)),
        ("W25Q40BV", 0xEF4013, mbit(4)),
        ("W25Q40CL", 0xEF4013, mbit(4)),
        ("W25Q80DV", 0xEF4014, mbit(8)),
        ("W25Q80BV", 0xEF4014, mbit(8)),
        ("W25Q80RV", 0xEF4014, mbit(8)),
        ("W25Q16JV", 0xEF4015, mbit(16)),
        ("W25Q16BV", 0xEF4015, mbit(16)),
        ("W25Q16CV", 0xEF4015, mbit(16)),
        ("W25Q16DV", 0xEF4015, mbit(16)),
        ("W25Q16FV", 0xEF4015, mbit(16)),
        ("W25Q16JV-IM", 0xEF7015, mbit(16)),
        ("W25Q32JV", 0xEF4016, mbit(32)),
        ("W25Q32BV", 0xEF4016, mbit(32)),
        ("W25Q32CV", 0xEF4016, mbit(32)),
        ("W25Q32DV", 0xEF4016, mbit(32)),
        ("W25Q32FV", 0xEF4016, mbit(32)),
        ("W25Q32JV-IM", 0xEF7016, mbit(32)),
        ("W25Q64JV", 0xEF4017, mbit(64)),
        ("W25Q64BV", 0xEF4017, mbit(64)),
        ("W25Q64CV", 0xEF4017, mbit(64)),
        ("W25Q64FV", 0xEF4017, mbit(64)),
        ("W25Q64JV-IM", 0xEF7017, mbit(64)),
        ("W25Q128JV", 0xEF4018, mbit(128)),
        ("W25Q128BV", 0xEF4018, mbit(128)),
        ("W25Q128FV", 0xEF4018, mbit(128)),
        ("W25Q128JV-IM", 0xEF7018, mbit(128)),
        ("W25Q256JV", 0xEF4019, mbit(256)),
        ("W25Q256FV", 0xEF4019, mbit(256)),
        ("W25Q256JV-IM", 0xEF7019, mbit(256)),
        ("W25Q512JV", 0xEF4020, mbit(512), 1000),
        ("W25Q512JV-IM", 0xEF7020, mbit(512), 1000),
    ]),
    ("WINBOND", PAGE, 2.5, 2, [       # W25X and W25P: 64 Mbit 160 s
        ("W25X05", 0xEF3010, mbit(0.5)),
        ("W25X05CL", 0xEF3010, mbit(0.5)),
        ("W25X10", 0xEF3011, mbit(1)),
        ("W25X10CL", 0xEF3011, mbit(1)),
        ("W25X20", 0xEF3012, mbit(2)),
        ("W25X20CL", 0xEF3012, mbit(2)),
        ("W25X40", 0xEF3013, mbit(4)),
        ("W25X40CL", 0xEF3013, mbit(4)),
        ("W25X80", 0xEF3014, mbit(8)),
        ("W25X16", 0xEF3015, mbit(16)),
        ("W25X32", 0xEF3016, mbit(32)),
        ("W25X64", 0xEF3017, mbit(64)),
        ("W25P80", 0xEF2014, mbit(8)),
        ("W25P16", 0xEF2015, mbit(16)),
        ("W25P32", 0xEF2016, mbit(32)),
    ]),
    ("WINBOND", PAGE, 1.5625, 6, [    # W77Q..JV secure flash: the W25Q..JV command set and bound
        ("W77Q64JV", 0xEF4A17, mbit(64)),
        ("W77Q128JV", 0xEF4A18, mbit(128)),
    ]),
    ("MXIC", PAGE, 2.0, 2, [          # MX25L: 64 Mbit 128 s, 256 Mbit 300 s
        ("MX25L512E", 0xC22010, mbit(0.5)),
        ("MX25V512", 0xC22010, mbit(0.5)),
        ("MX25V512C", 0xC22010, mbit(0.5)),
        ("MX25L1006E", 0xC22011, mbit(1)),
        ("MX25L1005", 0xC22011, mbit(1)),
        ("MX25L1005C", 0xC22011, mbit(1)),
        ("MX25L2006E", 0xC22012, mbit(2)),
        ("MX25L2005", 0xC22012, mbit(2)),
        ("MX25L2005C", 0xC22012, mbit(2)),
        ("MX25L4006E", 0xC22013, mbit(4)),
        ("MX25L4005", 0xC22013, mbit(4)),
        ("MX25L4005A", 0xC22013, mbit(4)),
        ("MX25L4005C", 0xC22013, mbit(4)),
        ("MX25V4035F", 0xC22313, mbit(4)),
        ("MX25L8006E", 0xC22014, mbit(8)),
        ("MX25L8005", 0xC22014, mbit(8)),
        ("MX25L8008E", 0xC22014, mbit(8)),
        ("MX25V8005", 0xC22014, mbit(8)),
        ("MX25V8035F", 0xC22314, mbit(8)),
        ("MX25L1606E", 0xC22015, mbit(16)),
        ("MX25L1605", 0xC22015, mbit(16)),
        ("MX25L1605A", 0xC22015, mbit(16)),
        ("MX25L1605D", 0xC22015, mbit(16)),
        ("MX25L1608D", 0xC22015, mbit(16)),
        ("MX25L1608E", 0xC22015, mbit(16)),
        ("MX25L1673E", 0xC22015, mbit(16)),
        ("MX25V16066", 0xC22015, mbit(16)),
        ("MX25L1633E", 0xC22415, mbit(16)),
        ("MX25L1635D", 0xC22415, mbit(16)),
        ("MX25L1635E", 0xC22515, mbit(16)),
        ("MX25L1636E", 0xC22515, mbit(16)),
        ("MX25V1635F", 0xC22315, mbit(16)),
        ("MX25L3206E", 0xC22016, mbit(32)),
        ("MX25L3205", 0xC22016, mbit(32)),
        ("MX25L3205A", 0xC22016, mbit(32)),
        ("MX25L3205D", 0xC22016, mbit(32)),
        ("MX25L3208D", 0xC22016, mbit(32)),
        ("MX25L3208E", 0xC22016, mbit(32)),
        ("MX25L3233F", 0xC22016, mbit(32)),
        ("MX25L3273E", 0xC22016, mbit(32)),
        ("MX25L3273F", 0xC22016, mbit(32)),
        ("MX25L3235D", 0xC25E16, mbit(32)),
        ("MX25L3255E", 0xC29E16, mbit(32)),
        ("MX25L6406E", 0xC22017, mbit(64)),
        ("MX25L6405", 0xC22017, mbit(64)),
        ("MX25L6405D", 0xC22017, mbit(64)),
        ("MX25L6408E", 0xC22017, mbit(64)),
        ("MX25L6433F", 0xC22017, mbit(64)),
        ("MX25L6436E", 0xC22017, mbit(64)),
        ("MX25L6445E", 0xC22017, mbit(64)),
        ("MX25L6465E", 0xC22017, mbit(64)),
        ("MX25L6473E", 0xC22017, mbit(64)),
        ("MX25L6473F", 0xC22017, mbit(64)),
        ("MX25L12835F", 0xC22018, mbit(128)),
        ("MX25L12805D", 0xC22018, mbit(128)),
        ("MX25L12833F", 0xC22018, mbit(128)),
        ("MX25L12835E", 0xC22018, mbit(128)),
        ("MX25L12845E", 0xC22018, mbit(128)),
        ("MX25L12850F", 0xC22018, mbit(128)),
        ("MX25L12865E", 0xC22018, mbit(128)),
        ("MX25L12873F", 0xC22018, mbit(128)),
        ("MX25L25635F", 0xC22019, mbit(256)),
        ("MX25L25635E", 0xC22019, mbit(256)),
        ("MX25L25645G", 0xC22019, mbit(256)),
        ("MX25L51245G", 0xC2201A, mbit(512)),
        ("MX66L51235F", 0xC2201A, mbit(512)),
    ]),
    ("MXIC", PAGE, 4.0, 2, [          # MX25R wide-range, low-power erase: 64 Mbit 240 s
        ("MX25R512F", 0xC22810, mbit(0.5)),
        ("MX25R1035F", 0xC22811, mbit(1)),
        ("MX25R2035F", 0xC22812, mbit(2)),
        ("MX25R4035F", 0xC22813, mbit(4)),
        ("MX25R8035F", 0xC22814, mbit(8)),
        ("MX25R1635F", 0xC22815, mbit(16)),
        ("MX25R3235F", 0xC22816, mbit(32)),
        ("MX25R6435F", 0xC22817, mbit(64)),
    ]),
    ("MXIC", PAGE, 2.0, 2, [          # further MX25L parts and their bound
        # Capacity codes 0x36 and 0x3A count 0x20 higher than the usual ones
        ("MX25L3239E", 0xC22536, mbit(32)),
        ("MX25L6495F", 0xC29517, mbit(64)),
        ("MX77L25650F", 0xC27519, mbit(256)),
        ("MX25LM51245G", 0xC2853A, mbit(512)),   # octal part, answering in 1-bit SPI mode
        ("MX25L5121E", 0xC22210, mbit(0.5), {"page": 32}),   # 32-byte Page Program
    ]),
    ("GIGADEVICE", PAGE, 2.5, 4, [    # GD25Q/B/R/F: 128 Mbit 120 s (C/E), B-revision slower
        ("GD25Q512", 0xC84010, mbit(0.5)),
        ("GD25Q10", 0xC84011, mbit(1)),
        ("GD25Q20C", 0xC84012, mbit(2)),
        ("GD25Q20", 0xC84012, mbit(2)),
        ("GD25Q20B", 0xC84012, mbit(2)),
        ("GD25Q40C", 0xC84013, mbit(4)),
        ("GD25Q40", 0xC84013, mbit(4)),
        ("GD25Q40B", 0xC84013, mbit(4)),
        ("GD25Q41B", 0xC84013, mbit(4)),
        ("GD25Q80C", 0xC84014, mbit(8)),
        ("GD25Q80", 0xC84014, mbit(8)),
        ("GD25Q80B", 0xC84014, mbit(8)),
        ("GD25Q80E", 0xC84014, mbit(8)),
        ("GD25Q16C", 0xC84015, mbit(16)),
        ("GD25Q16", 0xC84015, mbit(16)),
        ("GD25Q16B", 0xC84015, mbit(16)),
        ("GD25Q16E", 0xC84015, mbit(16)),
        ("GD25Q32C", 0xC84016, mbit(32)),
        ("GD25Q32", 0xC84016, mbit(32)),
        ("GD25Q32B", 0xC84016, mbit(32)),
        ("GD25Q32E", 0xC84016, mbit(32)),
        ("GD25Q64C", 0xC84017, mbit(64)),
        ("GD25Q64", 0xC84017, mbit(64)),
        ("GD25Q64B", 0xC84017, mbit(64)),
        ("GD25Q64E", 0xC84017, mbit(64)),
        ("GD25F64F", 0xC84317, mbit(64)),
        ("GD25Q128C", 0xC84018, mbit(128)),
        ("GD25Q127C", 0xC84018, mbit(128)),
        ("GD25Q128B", 0xC84018, mbit(128)),
        ("GD25Q128E", 0xC84018, mbit(128)),
        ("GD25B128B", 0xC84018, mbit(128)),
        ("GD25B128E", 0xC84018, mbit(128)),
        ("GD25R128E", 0xC84018, mbit(128)),
        ("GD25F128F", 0xC84318, mbit(128)),
        ("GD25Q256D", 0xC84019, mbit(256)),
        ("GD25Q256E", 0xC84019, mbit(256)),
        ("GD25B256E", 0xC84019, mbit(256)),
        ("GD25R256E", 0xC84019, mbit(256)),
        ("GD25F256F", 0xC84319, mbit(256)),
        ("GD25B512MF", 0xC8401A, mbit(512)),
        ("GD25R512MF", 0xC8401A, mbit(512)),
        ("GD25T80", 0xC83114, mbit(8)),
        ("GD25VQ21B", 0xC84212, mbit(2)),
        ("GD25VQ40C", 0xC84213, mbit(4)),
        ("GD25VQ41B", 0xC84213, mbit(4)),
        ("GD25VQ80C", 0xC84214, mbit(8)),
        ("GD25VQ16C", 0xC84215, mbit(16)),
        ("GD25WQ80E", 0xC86514, mbit(8)),
    ]),
    ("ISSI", PAGE, 2.5, 4, [          # IS25LP/LQ (2.3-3.6 V): 128 Mbit 180 s
        ("IS25LQ010B", 0x9D4011, mbit(1)),
        ("IS25LQ020B", 0x9D4012, mbit(2)),
        ("IS25LQ040B", 0x9D4013, mbit(4)),
        ("IS25LQ080B", 0x9D4014, mbit(8)),
        ("IS25LQ016B", 0x9D4015, mbit(16)),
        ("IS25LQ032", 0x9D4016, mbit(32)),
        ("IS25LQ032B", 0x9D4016, mbit(32)),
        ("IS25LP020E", 0x9D6012, mbit(2)),
        ("IS25LP040E", 0x9D6013, mbit(4)),
        ("IS25LP080D", 0x9D6014, mbit(8)),
        ("IS25LP016", 0x9D6015, mbit(16)),
        ("IS25LP016D", 0x9D6015, mbit(16)),
        ("IS25LP032", 0x9D6016, mbit(32)),
        ("IS25LP032D", 0x9D6016, mbit(32)),
        ("IS25LP064", 0x9D6017, mbit(64)),
        ("IS25LP064A", 0x9D6017, mbit(64)),
        ("IS25LP128", 0x9D6018, mbit(128)),
        ("IS25LP128F", 0x9D6018, mbit(128)),
        ("IS25LP256", 0x9D6019, mbit(256)),
        ("IS25LP256D", 0x9D6019, mbit(256)),
        ("IS25LP512M", 0x9D601A, mbit(512)),
        ("IS25LQ016", 0x9D1445, mbit(16)),    # PMC-derived device code, without the 0x7F prefix
    ]),
    ("PMC", PAGE, 2.5, 4, [           # Pm25L: identifiers start with the 0x7F continuation code
        ("Pm25LD256C", 0x7F9D2F, 32768),
        ("Pm25LD512", 0x7F9D20, mbit(0.5)),
        ("Pm25LD512C", 0x7F9D20, mbit(0.5)),
        ("Pm25LD010", 0x7F9D21, mbit(1)),
        ("Pm25LD010C", 0x7F9D21, mbit(1)),
        ("Pm25LD020", 0x7F9D22, mbit(2)),
        ("Pm25LD020C", 0x7F9D22, mbit(2)),
        ("Pm25LD040", 0x7F9D7E, mbit(4)),
        ("Pm25LD040C", 0x7F9D7E, mbit(4)),
        ("Pm25LV010A", 0x7F9D7C, mbit(1)),
        ("Pm25LV020", 0x7F9D7D, mbit(2)),
        ("Pm25LV040", 0x7F9D7E, mbit(4)),
        ("Pm25LV080B", 0x7F9D13, mbit(8)),
        ("Pm25LV016B", 0x7F9D14, mbit(16)),
        ("Pm25LQ020", 0x7F9D42, mbit(2)),
        ("Pm25LQ040", 0x7F9D43, mbit(4)),
        ("Pm25LQ080", 0x7F9D44, mbit(8)),
        ("Pm25LQ016", 0x7F9D45, mbit(16)),
        ("Pm25LQ032C", 0x7F9D46, mbit(32)),
    ]),
    ("SPANSION", PAGE, 4.0, 4, [      # S25FL-A/P: 64 Mbit bulk erase 256 s
        # The FL-A capacity byte counts one step lower than the usual code.
        ("S25FL004A", 0x010212, mbit(4)),
        ("S25FL008A", 0x010213, mbit(8)),
        ("S25FL016A", 0x010214, mbit(16)),
        ("S25FL032A", 0x010215, mbit(32)),
        ("S25FL064A", 0x010216, mbit(64)),
        ("S25FL032P", 0x010215, mbit(32)),
        ("S25FL064P", 0x010216, mbit(64)),
        ("S25FL128P", 0x012018, mbit(128)),
        ("S25FL129P", 0x012018, mbit(128)),
    ]),
    ("SPANSION", PAGE, 2.5, 4, [      # S25FL-K/L/S: 512 Mbit bulk erase 920 s
        ("S25FL204K", 0x014013, mbit(4)),
        ("S25FL208K", 0x014014, mbit(8)),
        ("S25FL116K", 0x014015, mbit(16)),
        ("S25FL216K", 0x014015, mbit(16)),
        ("S25FL132K", 0x014016, mbit(32)),
        ("S25FL164K", 0x014017, mbit(64)),
        ("S25FL064L", 0x016017, mbit(64)),
        ("S25FL128L", 0x016018, mbit(128)),
        ("S25FL256L", 0x016019, mbit(256)),
        # 64 KB-sector ordering options: 256-byte pages.
        ("S25FL127S-64KB", 0x012018, mbit(128)),
        ("S25FL128S", 0x012018, mbit(128)),
        ("S25FL256S", 0x010219, mbit(256)),
        ("S25FL512S", 0x010220, mbit(512)),
    ]),
    ("MICRON", PAGE, 2.5, 4, [        # N25Q/MT25QL: 128 Mbit bulk erase 250 s
        ("N25Q032A13E", 0x20BA16, mbit(32)),
        ("N25Q064A13E", 0x20BA17, mbit(64)),
        ("N25Q128A13E", 0x20BA18, mbit(128)),
        ("N25Q256A13E", 0x20BA19, mbit(256)),
        ("N25Q512A13G", 0x20BA20, mbit(512)),
        ("MT25QL128", 0x20BA18, mbit(128)),
        ("MT25QL256", 0x20BA19, mbit(256)),
        ("MT25QL512", 0x20BA20, mbit(512)),
    ]),
    ("ST", PAGE, 3.0, 6, [            # M25P/M25PX: 128 Mbit bulk erase 250 s, 64 Mbit 160 s
        ("M25P05-A", 0x202010, mbit(0.5)),
        ("M25P10-A", 0x202011, mbit(1)),
        ("M25P20", 0x202012, mbit(2)),
        ("M25P40", 0x202013, mbit(4)),
        ("M25P80", 0x202014, mbit(8)),
        ("M25P16", 0x202015, mbit(16)),
        ("M25P32", 0x202016, mbit(32)),
        ("M25P64", 0x202017, mbit(64)),
        ("M25P128", 0x202018, mbit(128)),
        ("M25PX80", 0x207114, mbit(8)),
        ("M25PX16", 0x207115, mbit(16)),
        ("M25PX32", 0x207116, mbit(32)),
        ("M25PX64", 0x207117, mbit(64)),
        # M25PE: page-erasable, but with Page Program and Bulk Erase (C7h) as the
        # M25P. The M45PE twins lack Bulk Erase and stay out.
        ("M25PE10", 0x208011, mbit(1)),
        ("M25PE20", 0x208012, mbit(2)),
        ("M25PE40", 0x208013, mbit(4)),
        ("M25PE80", 0x208014, mbit(8)),
        ("M25PE16", 0x208015, mbit(16)),
    ]),
    ("SST", byte_program("Byte-Program and AAI Word-Program, no page program: SST25VF020B DS20005054, "
                         "SST25VF040B, SST25VF080B DS20005045, SST25VF016B DS20005044, SST25VF032B"),
     0.0, 0.05, [                     # chip erase 50 ms max
        ("SST25VF020B", 0xBF258C, mbit(2)),
        ("SST25VF040B", 0xBF258D, mbit(4)),
        ("SST25VF080B", 0xBF258E, mbit(8)),
        ("SST25VF016B", 0xBF2541, mbit(16)),
        ("SST25VF032B", 0xBF254A, mbit(32)),
    ]),
    ("SST", page_program("Page-Program of 256 bytes: SST25VF064C data sheet, SST26VF016/SST26VF032 (256-byte "
                         "pages, programmed in SQI mode), SST26VF016B DS20005262, SST26VF032B DS20005218, "
                         "SST26VF064B DS20005119"),
     0.0, 0.05, [                     # chip erase 50 ms max
        ("SST25VF064C", 0xBF254B, mbit(64)),
        ("SST26VF016", 0xBF2601, mbit(16)),
        ("SST26VF032", 0xBF2602, mbit(32)),
        ("SST26VF016B", 0xBF2641, mbit(16)),
        ("SST26VF016BA", 0xBF2641, mbit(16)),
        ("SST26VF032B", 0xBF2642, mbit(32)),
        ("SST26VF032BA", 0xBF2642, mbit(32)),
        ("SST26VF064B", 0xBF2643, mbit(64)),
        ("SST26VF064BA", 0xBF2643, mbit(64)),
    ]),
    # SST-licensed SuperFlash designs: same identifiers, timing and programming
    # scheme as the SST part of the same number.
    ("PCT", byte_program("twins of the SST25VF0xxB: PCT25VF020B data sheet (SuperFlash licensed from SST), "
                         "Byte-Program and AAI Word-Program"),
     0.0, 0.05, [
        ("PCT25VF040B", 0xBF258D, mbit(4)),
        ("PCT25VF080B", 0xBF258E, mbit(8)),
        ("PCT25VF016B", 0xBF2541, mbit(16)),
        ("PCT25VF032B", 0xBF254A, mbit(32)),
    ]),
    ("PCT", page_program("twins of the SST25VF064C and SST26VF016/032, whose identifiers they answer; "
                         "no PCT data sheet of these found"),
     0.0, 0.05, [
        ("PCT25VF064C", 0xBF254B, mbit(64)),
        ("PCT26VF016", 0xBF2601, mbit(16)),
        ("PCT26VF032", 0xBF2602, mbit(32)),
    ]),
    ("ATMEL", PAGE, 2.5, 4, [         # AT25DF/AT26DF/AT25F: 64 Mbit chip erase 112 s
        ("AT25F512B", 0x1F6500, mbit(0.5)),
        ("AT25FS010", 0x1F6601, mbit(1)),
        ("AT25FS040", 0x1F6604, mbit(4)),
        ("AT25DF011", 0x1F4200, mbit(1)),
        ("AT25DF021", 0x1F4300, mbit(2)),
        ("AT25DF021A", 0x1F4301, mbit(2)),
        ("AT25DF041A", 0x1F4401, mbit(4)),
        ("AT25DF081A", 0x1F4501, mbit(8)),
        ("AT25DF161", 0x1F4602, mbit(16)),
        ("AT25DQ161", 0x1F8600, mbit(16)),
        ("AT25DF321", 0x1F4700, mbit(32)),
        ("AT25DF321A", 0x1F4701, mbit(32)),
        ("AT25DF641", 0x1F4800, mbit(64)),
        ("AT25DF641A", 0x1F4800, mbit(64)),
        # No whole-chip erase either (page, 2-KB and 4-KB block erase only): the
        # programmer's erase leaves it as it was.
        ("AT26DF041", 0x1F4400, mbit(4), {"scheme": AT26DF041_SCHEME}),
        ("AT26DF081A", 0x1F4501, mbit(8)),
        ("AT26DF161", 0x1F4600, mbit(16)),
        ("AT26DF161A", 0x1F4601, mbit(16)),
    ]),
    ("ATMEL", byte_program("AT26F004 data sheet: byte program architecture with Sequential Byte Program mode "
                           "(opcode AFh), no page program"),
     2.5, 4, [
        ("AT26F004", 0x1F0400, mbit(4)),
    ]),
    ("ADESTO", PAGE, 2.5, 4, [        # AT25SF: 64 Mbit chip erase 160 s
        ("AT25SF041", 0x1F8401, mbit(4)),
        ("AT25SF081", 0x1F8501, mbit(8)),
        ("AT25SF161", 0x1F8601, mbit(16)),
        ("AT25SF321", 0x1F8701, mbit(32)),
        ("AT25SF641", 0x1F3217, mbit(64)),
    ]),
    ("EON", PAGE, 2.5, 4, [           # EN25F/Q/QH: 128 Mbit chip erase 320 s
        ("EN25F05", 0x1C3110, mbit(0.5)),
        ("EN25F10", 0x1C3111, mbit(1)),
        ("EN25F20", 0x1C3112, mbit(2)),
        ("EN25F40", 0x1C3113, mbit(4)),
        ("EN25F80", 0x1C3114, mbit(8)),
        ("EN25F16", 0x1C3115, mbit(16)),
        ("EN25F32", 0x1C3116, mbit(32)),
        ("EN25F64", 0x1C3117, mbit(64)),
        ("EN25Q40", 0x1C3013, mbit(4)),
        ("EN25Q80", 0x1C3014, mbit(8)),
        ("EN25Q80A", 0x1C3014, mbit(8)),
        ("EN25Q16", 0x1C3015, mbit(16)),
        ("EN25Q32", 0x1C3016, mbit(32)),
        ("EN25Q32A", 0x1C3016, mbit(32)),
        ("EN25Q32B", 0x1C3016, mbit(32)),
        ("EN25Q64", 0x1C3017, mbit(64)),
        ("EN25Q128", 0x1C3018, mbit(128)),
        ("EN25QH16", 0x1C7015, mbit(16)),
        ("EN25QH32", 0x1C7016, mbit(32)),
        ("EN25QH32B", 0x1C7016, mbit(32)),
        ("EN25QH64", 0x1C7017, mbit(64)),
        ("EN25QH64A", 0x1C7017, mbit(64)),
        ("EN25QH128", 0x1C7018, mbit(128)),
        ("EN25QH128A", 0x1C7018, mbit(128)),
        ("EN25QX128A", 0x1C7118, mbit(128)),
    ]),
    ("EON", PAGE, 3.0, 4, [           # EN25P/EN25B (B: boot-sector variants, T = top boot)
        ("EN25P05", 0x1C2010, mbit(0.5)),
        ("EN25P10", 0x1C2011, mbit(1)),
        ("EN25P20", 0x1C2012, mbit(2)),
        ("EN25P40", 0x1C2013, mbit(4)),
        ("EN25P80", 0x1C2014, mbit(8)),
        ("EN25P16", 0x1C2015, mbit(16)),
        ("EN25P32", 0x1C2016, mbit(32)),
        ("EN25P64", 0x1C2017, mbit(64)),
        ("EN25B05", 0x1C2010, mbit(0.5)),
        ("EN25B05T", 0x1C2010, mbit(0.5)),
        ("EN25B10", 0x1C2011, mbit(1)),
        ("EN25B10T", 0x1C2011, mbit(1)),
        ("EN25B20", 0x1C2012, mbit(2)),
        ("EN25B20T", 0x1C2012, mbit(2)),
        ("EN25B40", 0x1C2013, mbit(4)),
        ("EN25B40T", 0x1C2013, mbit(4)),
        ("EN25B80", 0x1C2014, mbit(8)),
        ("EN25B80T", 0x1C2014, mbit(8)),
        ("EN25B16", 0x1C2015, mbit(16)),
        ("EN25B16T", 0x1C2015, mbit(16)),
        ("EN25B32", 0x1C2016, mbit(32)),
        ("EN25B32T", 0x1C2016, mbit(32)),
        ("EN25B64", 0x1C2017, mbit(64)),
        ("EN25B64T", 0x1C2017, mbit(64)),
    ]),
    ("XMC", PAGE, 2.5, 4, [           # XM25QH: 128 Mbit chip erase 200 s
        ("XM25QH80B", 0x204014, mbit(8)),
        ("XM25QH16C", 0x204015, mbit(16)),
        ("XM25QH16D", 0x204015, mbit(16)),
        ("XM25QH32C", 0x204016, mbit(32)),
        ("XM25QH32D", 0x204016, mbit(32)),
        ("XM25QH64A", 0x207017, mbit(64)),
        ("XM25QH64C", 0x204017, mbit(64)),
        ("XM25QH64D", 0x204017, mbit(64)),
        ("XM25QH128A", 0x207018, mbit(128)),
        ("XM25QH128C", 0x204018, mbit(128)),
        ("XM25QH128D", 0x204018, mbit(128)),
        ("XM25RH128C", 0x204318, mbit(128)),
        ("XM25QH256C", 0x204019, mbit(256)),
        ("XM25QH256D", 0x204019, mbit(256)),
        ("XM25QH512C", 0x204020, mbit(512)),
        ("XM25QH512D", 0x204020, mbit(512)),
    ]),
    ("ZBIT", PAGE, 2.5, 4, [          # ZB25VQ: manufacturer byte 0x5E
        ("ZB25VQ16", 0x5E6015, mbit(16)),       # ZB25VQ16 datasheet: 5E 60 15
        ("ZB25VQ32", 0x5E4016, mbit(32)),
        ("ZB25VQ64", 0x5E4017, mbit(64)),
        ("ZB25VQ128", 0x5E4018, mbit(128)),
        ("ZB25VQ16-0E", 0x0E4015, mbit(16)),    # the ZB25VQ16 as found in the field: 0E 40 15
    ]),
    ("PUYA", PAGE, 2.5, 4, [          # P25Q/P25D "H" (2.3-3.6 V) parts
        ("P25Q06H", 0x854010, mbit(0.5)),
        ("P25Q11H", 0x854011, mbit(1)),
        ("P25Q21H", 0x854012, mbit(2)),
        ("P25Q40H", 0x856013, mbit(4)),
        ("P25Q80H", 0x856014, mbit(8)),
        ("P25D80H", 0x856014, mbit(8)),
        ("P25Q16H", 0x856015, mbit(16)),
        ("P25Q32H", 0x856016, mbit(32)),
        ("P25Q32SH", 0x856016, mbit(32)),
        ("P25D32SH", 0x856016, mbit(32)),
        ("P25Q64H", 0x856017, mbit(64)),
        ("P25Q128H", 0x856018, mbit(128)),
    ]),
    ("BOYA", PAGE, 2.5, 4, [
        ("BY25D20", 0x684012, mbit(2)),
        ("BY25D40", 0x684013, mbit(4)),
        ("BY25D80A", 0x684014, mbit(8)),
        ("BY25D16A", 0x684015, mbit(16)),
        ("BY25Q16BS", 0x684015, mbit(16)),
        ("BY25Q32BS", 0x684016, mbit(32)),
        ("BY25Q64AS", 0x684017, mbit(64)),
        ("BY25Q128AS", 0x684018, mbit(128)),
    ]),
    ("FUDAN", PAGE, 2.5, 4, [
        ("FM25F005", 0xA13110, mbit(0.5)),
        ("FM25F01", 0xA13111, mbit(1)),
        ("FM25F02", 0xA13112, mbit(2)),
        ("FM25F02A", 0xA13112, mbit(2)),
        ("FM25F04", 0xA13113, mbit(4)),
        ("FM25F04A", 0xA13113, mbit(4)),
        ("FM25Q04", 0xA14013, mbit(4)),
        ("FM25Q08", 0xA14014, mbit(8)),
        ("FM25Q16", 0xA14015, mbit(16)),
        ("FM25Q32", 0xA14016, mbit(32)),
        ("FM25Q64", 0xA14017, mbit(64)),
        ("FM25Q128", 0xA14018, mbit(128)),
        ("FM25W128", 0xA12818, mbit(128)),
    ]),
    ("XTX", PAGE, 2.5, 4, [
        ("XT25F02E", 0x0B4012, mbit(2)),
        ("XT25F08B", 0x0B4014, mbit(8)),
        ("XT25F16B", 0x0B4015, mbit(16)),
        ("XT25F32B", 0x0B4016, mbit(32)),
        ("XT25F64B", 0x0B4017, mbit(64)),
        ("XT25F128B", 0x0B4018, mbit(128)),
    ]),
    ("ZETTA", PAGE, 2.5, 4, [
        ("ZD25D20", 0xBA2012, mbit(2)),
        ("ZD25D40", 0xBA2013, mbit(4)),
    ]),
    ("ESMT", byte_program("Byte program and AAI Word programming, no page program: F25L004A rev 1.6 "
                          "(Jan 2009), F25L008A rev 1.6 (Jul 2008), F25L016A rev 1.4 (Jul 2008)"),
     3.0, 4, [                        # chip erase 4 s (4 Mbit), 8 s, 10 s (16 Mbit) typical
        ("F25L004A", 0x8C2013, mbit(4)),
        ("F25L008A", 0x8C2014, mbit(8)),
        ("F25L016A", 0x8C2015, mbit(16)),
    ]),
    ("ESMT", page_program("ESMT's P-series take 256-byte pages (F25L01PA rev 1.3, F25L02PA data sheets); "
                          "no F25L32PA data sheet found"),
     3.0, 4, [
        ("F25L32PA", 0x8C2016, mbit(32)),
    ]),
    ("AMIC", PAGE, 3.0, 4, [          # A25L/A25LQ: 32 Mbit chip erase 96 s
        ("A25L512", 0x373010, mbit(0.5)),
        ("A25L010", 0x373011, mbit(1)),
        ("A25L020", 0x373012, mbit(2)),
        ("A25L040", 0x373013, mbit(4)),
        ("A25L080", 0x373014, mbit(8)),
        ("A25L016", 0x373015, mbit(16)),
        ("A25L032", 0x373016, mbit(32)),
        ("A25LQ16", 0x374015, mbit(16)),
        ("A25LQ032", 0x374016, mbit(32)),
        ("A25LQ32A", 0x374016, mbit(32)),
        ("A25LQ64", 0x374017, mbit(64)),
    ]),
    # Identifiers, sizes and pages of the following families are those of the
    # public SPI flash table (tests/data/spi-flash-reference.tsv); each entry
    # there also has Page Program and a whole-chip erase (C7h). Their bulk-erase
    # maxima were not at hand: each family takes the bound of the family its
    # parts follow, or more.
    ("ESI", PAGE, 3.0, 6, [           # ES25P: the M25P command set and bound
        ("ES25P40", 0x4A2013, mbit(4)),
        ("ES25P80", 0x4A2014, mbit(8)),
        ("ES25P16", 0x4A2015, mbit(16)),
    ]),
    ("INTEL", PAGE, 8.0, 16, [        # S33 (ETOX VIII): 256-byte program buffer; B8/T8 = bottom/top parameter blocks
        ("25F160S33B8", 0x898911, mbit(16)),
        ("25F160S33T8", 0x898915, mbit(16)),
        ("25F320S33B8", 0x898912, mbit(32)),
        ("25F320S33T8", 0x898916, mbit(32)),
        ("25F640S33B8", 0x898913, mbit(64)),
        ("25F640S33T8", 0x898917, mbit(64)),
    ]),
    ("NANTRONICS", PAGE, 2.5, 4, [
        ("N25S10", 0xD53011, mbit(1)),
        ("N25S20", 0xD53012, mbit(2)),
        ("N25S40", 0xD53013, mbit(4)),
        ("N25S80", 0xD53014, mbit(8)),
        ("N25S16", 0xD53015, mbit(16)),
    ]),
    ("SANYO", PAGE, 2.5, 4, [         # LE25FW..3A answer their own device codes 16 00 and 11 00
        ("LE25FU206A", 0x620612, mbit(2)),
        ("LE25FU406C", 0x620613, mbit(4)),
        ("LE25U40CMC", 0x620613, mbit(4)),
        ("LE25FW203A", 0x621600, mbit(2)),
        ("LE25FW403A", 0x621100, mbit(4)),
    ]),
]

# --------------------------------------------------------------------------
# I2C EEPROM (class 1): (model, Kbit, page bytes[, voltage code]).
# Subtype: below 4 KB 0, 4 KB or more 1, above 64 KB 2.

EE24_MAKERS = [
    ("ATMEL", [
        ("AT24C01A", 1, 8), ("AT24C02", 2, 8), ("AT24C02B", 2, 8),
        ("AT24C04", 4, 16), ("AT24C04B", 4, 16), ("AT24C08", 8, 16), ("AT24C08B", 8, 16),
        ("AT24C16", 16, 16), ("AT24C16B", 16, 16),
        ("AT24C32", 32, 32), ("AT24C32D", 32, 32), ("AT24C64", 64, 32), ("AT24C64D", 64, 32),
        ("AT24C128", 128, 64), ("AT24C128C", 128, 64), ("AT24C256", 256, 64), ("AT24C256C", 256, 64),
        ("AT24C512", 512, 128), ("AT24C512C", 512, 128),
        ("AT24C1024", 1024, 256), ("AT24C1024B", 1024, 256), ("AT24CM01", 1024, 256),
    ]),
    ("MICROCHIP", [
        ("24LC01B", 1, 8), ("24LC02B", 2, 8), ("24LC04B", 4, 16), ("24LC08B", 8, 16), ("24LC16B", 16, 16),
        ("24LC32A", 32, 32), ("24LC64", 64, 32), ("24LC128", 128, 64), ("24LC256", 256, 64), ("24LC512", 512, 128),
        ("24AA01", 1, 8), ("24AA02", 2, 8), ("24AA04", 4, 16), ("24AA08", 8, 16), ("24AA16", 16, 16),
        ("24AA32A", 32, 32), ("24AA64", 64, 32), ("24AA128", 128, 64), ("24AA256", 256, 64), ("24AA512", 512, 128),
        # 4.5-5.5 V parts
        ("24C01C", 1, 16, V50), ("24C02C", 2, 16, V50),
    ]),
    ("ST", [
        ("M24C01", 1, 16), ("M24C02", 2, 16), ("M24C04", 4, 16), ("M24C08", 8, 16), ("M24C16", 16, 16),
        ("M24C32", 32, 32), ("M24C64", 64, 32), ("M24128", 128, 64), ("M24256", 256, 64), ("M24512", 512, 128),
        ("M24M01", 1024, 256),
    ]),
    ("ONSEMI", [
        ("CAT24C01", 1, 16), ("CAT24C02", 2, 16), ("CAT24C04", 4, 16), ("CAT24C08", 8, 16), ("CAT24C16", 16, 16),
        ("CAT24C32", 32, 32), ("CAT24C64", 64, 32), ("CAT24C128", 128, 64), ("CAT24C256", 256, 64),
        ("CAT24C512", 512, 128), ("CAT24M01", 1024, 256),
    ]),
    ("ROHM", [
        ("BR24G01", 1, 8), ("BR24G02", 2, 8), ("BR24G04", 4, 16), ("BR24G08", 8, 16), ("BR24G16", 16, 16),
        ("BR24G32", 32, 32), ("BR24G64", 64, 32), ("BR24G128", 128, 64), ("BR24G256", 256, 64),
        ("BR24G512", 512, 128), ("BR24G1M", 1024, 256),
    ]),
    ("GIANTEC", [
        ("GT24C01", 1, 8), ("GT24C02", 2, 8), ("GT24C04", 4, 16), ("GT24C08", 8, 16), ("GT24C16", 16, 16),
        ("GT24C32", 32, 32), ("GT24C64", 64, 32), ("GT24C128", 128, 64), ("GT24C256", 256, 64),
        ("GT24C512", 512, 128),
    ]),
    ("HOLTEK", [
        ("HT24LC02", 2, 8), ("HT24LC04", 4, 16), ("HT24LC08", 8, 16), ("HT24LC16", 16, 16),
    ]),
    # Unmarked or second-source parts: the common page sizes.
    ("GENERIC", [
        ("24C01", 1, 8), ("24C02", 2, 8), ("24C04", 4, 16), ("24C08", 8, 16), ("24C16", 16, 16),
        ("24C32", 32, 32), ("24C64", 64, 32), ("24C128", 128, 64), ("24C256", 256, 64), ("24C512", 512, 128),
        ("24C1024", 1024, 256),
    ]),
]

# --------------------------------------------------------------------------
# Microwire EEPROM (class 2). Subtype: low four bits = address bits, +0x50 for
# the 16-bit organisation, +0x20 when the program-enable pin is to be driven.

EE93_SIZES = {"46": 128, "56": 256, "66": 512, "76": 1024, "86": 2048}
EE93_FLASH_PAGE = 16


def ee93_code(number, org16, pe):
    bits = {"46": 7, "56": 8, "66": 9, "76": 10, "86": 11}[number] - (1 if org16 else 0)
    return bits + (0x50 if org16 else 0) + (0x20 if pe else 0)


# (model, series number, 16-bit organisation, program-enable pin[, voltage])
EE93_MAKERS = [
    # Every subtype once, for parts not listed by name.
    ("GENERIC", [("93C%s-%s-PE%d" % (n, "16BIT" if o else "8BIT", pe), n, o, pe)
                 for pe in (0, 1) for o in (False, True) for n in ("46", "56", "66", "76", "86")]),
    # ORG pin selects the organisation: one entry per setting.
    ("ATMEL", [("AT93C%s-%s" % (n, "16BIT" if o else "8BIT"), n, o, False)
               for n in ("46", "56", "66", "86") for o in (False, True)]),
    ("MICROCHIP",
     # A: 8-bit only, B: 16-bit only, C: ORG pin. The 76 and 86 have a PE pin.
     [("93LC%s%s" % (n, ab), n, ab == "B", n in ("76", "86")) for n in ("46", "56", "66", "76", "86") for ab in "AB"]
     + [("93LC%sC-%s" % (n, "16BIT" if o else "8BIT"), n, o, n in ("76", "86"))
        for n in ("46", "56", "66", "76", "86") for o in (False, True)]
     + [("93C%s%s" % (n, ab), n, ab == "B", False, V50) for n in ("46", "56", "66") for ab in "AB"]),
    ("ST", [("M93C%s-%s" % (n, "16BIT" if o else "8BIT"), n, o, False)
            for n in ("46", "56", "66", "76", "86") for o in (False, True)]),
    ("ONSEMI", [("CAT93C%s-%s" % (n, "16BIT" if o else "8BIT"), n, o, False)
                for n in ("46", "56", "66") for o in (False, True)]),
]

# --------------------------------------------------------------------------
# SPI EEPROM, 95-series (class 3) and 25-series (class 4): (model, Kbit, page).

EE95_SIZES = [("010", 1, 16), ("020", 2, 16), ("040", 4, 16), ("080", 8, 32), ("160", 16, 32), ("320", 32, 32),
              ("640", 64, 32), ("128", 128, 64), ("256", 256, 64), ("512", 512, 128), ("M01", 1024, 256)]

EE95_MAKERS = [
    ("ST", [("M95" + n, k, p) for n, k, p in EE95_SIZES] + [("M95M02", 2048, 256)]
     + [("M95%s-W" % n, k, p) for n, k, p in EE95_SIZES if n != "M01"]
     + [("M95%s-R" % n, k, p) for n, k, p in EE95_SIZES]
     + [("M95M02-DR", 2048, 256)]),
]

EE25_MAKERS = [
    ("MICROCHIP", [(pre + n, k, p) for pre in ("25LC", "25AA") for n, k, p in [
        ("010A", 1, 16), ("020A", 2, 16), ("040A", 4, 16), ("080C", 8, 16), ("080D", 8, 32),
        ("160C", 16, 16), ("160D", 16, 32), ("320A", 32, 32), ("640A", 64, 32), ("128", 128, 64),
        ("256", 256, 64), ("512", 512, 128), ("1024", 1024, 256)]]),
    ("ATMEL", [("AT25" + n + s, k, p) for s in ("", "B") for n, k, p in [
        ("010", 1, 8), ("020", 2, 8), ("040", 4, 8), ("080", 8, 32), ("160", 16, 32), ("320", 32, 32),
        ("640", 64, 32), ("128", 128, 64), ("256", 256, 64)]]
     + [("AT25512", 512, 128), ("AT25M01", 1024, 256)]),
    ("ONSEMI", [("CAT25" + n, k, p) for n, k, p in [
        ("010", 1, 16), ("020", 2, 16), ("040", 4, 16), ("080", 8, 32), ("160", 16, 32), ("320", 32, 32),
        ("640", 64, 32), ("128", 128, 64), ("256", 256, 64), ("512", 512, 128), ("M01", 1024, 256)]]),
]

# --------------------------------------------------------------------------
# Microcontrollers with a data EEPROM and paged Flash programming over ISP
# (class 7, ISP header). Facts of the public AVR parts file, each part's
# datasheet family named per group:
#
#   (model, signature, Flash bytes, Flash page bytes, EEPROM bytes,
#    EEPROM page bytes, EEPROM page commands, chip-erase delay in us)
#
# EEPROM page commands: True when the part's serial instruction set has Load
# and Write EEPROM Memory Page; without them the EEPROM takes one byte per
# command (ATmega8515 data sheet 2512, Serial Programming Instruction Set: Write
# EEPROM Memory only), and the entry's EEPROM page is 1. Chip-erase delay: the
# reference's wait after Chip Erase; None where the reference gives none. The
# entry waits the longer of that and AVR_DELAY ms (the datasheets' tWD_ERASE is
# 9.0 ms for most parts, 10.5 ms for the PB parts).
#
# Left out: parts whose Flash is written a byte at a time over ISP (AT90S,
# ATtiny11/12/15/22/28, AT89S): the AVR class streams whole Flash pages and
# has no byte mode to ask for. The battery-management ATmega..HVA/HVB/HVE2
# parts, powered through their own regulator pins rather than VCC. Parts the
# reference programs only through TPI, PDI or UPDI.

AVR_DELAY = 10            # ms; the shortest chip-erase wait of an entry


class AvrFamily:
    def __init__(self, source, rows, voltage=V50):
        if not source:
            raise ValueError("an AVR family names its datasheet")
        self.source, self.rows, self.voltage = source, rows, voltage


AVR_FAMILIES = [
    AvrFamily("ATtiny13/13A data sheet", [
        ("ATtiny13", 0x1E9007, 1024, 32, 64, 4, True, 4000),
        ("ATtiny13A", 0x1E9007, 1024, 32, 64, 4, True, 4000),
    ]),
    AvrFamily("ATtiny24A/44A/84A data sheet 8183; ATtiny441/841 data sheet (8-word Flash pages)", [
        ("ATtiny24", 0x1E910B, 2048, 32, 128, 4, True, 4500),
        ("ATtiny24A", 0x1E910B, 2048, 32, 128, 4, True, 4500),
        ("ATtiny44", 0x1E9207, 4096, 64, 256, 4, True, 4500),
        ("ATtiny44A", 0x1E9207, 4096, 64, 256, 4, True, 4500),
        ("ATtiny84", 0x1E930C, 8192, 64, 512, 4, True, 4500),
        ("ATtiny84A", 0x1E930C, 8192, 64, 512, 4, True, 4500),
        ("ATtiny441", 0x1E9215, 4096, 16, 256, 4, True, 4500),
        ("ATtiny841", 0x1E9315, 8192, 16, 512, 4, True, 4500),
    ]),
    AvrFamily("ATtiny25/45/85 data sheet", [
        ("ATtiny25", 0x1E9108, 2048, 32, 128, 4, True, 4500),
        ("ATtiny45", 0x1E9206, 4096, 64, 256, 4, True, 4500),
        ("ATtiny85", 0x1E930B, 8192, 64, 512, 4, True, 4500),
    ]),
    AvrFamily("ATtiny26 data sheet (EEPROM written byte by byte over ISP)", [
        ("ATtiny26", 0x1E9109, 2048, 32, 128, 4, False, 9000),
    ]),
    AvrFamily("ATtiny261A/461A/861A data sheet", [
        ("ATtiny261", 0x1E910C, 2048, 32, 128, 4, True, 4000),
        ("ATtiny261A", 0x1E910C, 2048, 32, 128, 4, True, 4000),
        ("ATtiny461", 0x1E9208, 4096, 64, 256, 4, True, 4000),
        ("ATtiny461A", 0x1E9208, 4096, 64, 256, 4, True, 4000),
        ("ATtiny861", 0x1E930D, 8192, 64, 512, 4, True, 4000),
        ("ATtiny861A", 0x1E930D, 8192, 64, 512, 4, True, 4000),
    ]),
    AvrFamily("ATtiny2313A/4313 data sheet", [
        ("ATtiny2313", 0x1E910A, 2048, 32, 128, 4, True, 9000),
        ("ATtiny2313A", 0x1E910A, 2048, 32, 128, 4, True, 9000),
        ("ATtiny4313", 0x1E920D, 4096, 64, 256, 4, True, 9000),
    ]),
    AvrFamily("ATtiny43U data sheet", [
        ("ATtiny43U", 0x1E920C, 4096, 64, 64, 4, True, 1000),
    ]),
    AvrFamily("ATtiny48/88 data sheet", [
        ("ATtiny48", 0x1E9209, 4096, 64, 64, 4, True, 15000),
        ("ATtiny88", 0x1E9311, 8192, 64, 64, 4, True, 9000),
    ]),
    AvrFamily("ATtiny87/167 data sheet; ATA5505, ATA6616C, ATA6617C and ATA664251 carry the same die", [
        ("ATtiny87", 0x1E9387, 8192, 128, 512, 4, True, 15000),
        ("ATtiny167", 0x1E9487, 16384, 128, 512, 4, True, 15000),
        ("ATA6616C", 0x1E9387, 8192, 128, 512, 4, True, 4000),
        ("ATA6617C", 0x1E9487, 16384, 128, 512, 4, True, 4000),
        ("ATA5505", 0x1E9487, 16384, 128, 512, 4, True, 4000),
        ("ATA664251", 0x1E9487, 16384, 128, 512, 4, True, 4000),
    ]),
    AvrFamily("ATtiny828 data sheet (the R grade is the same part)", [
        ("ATtiny828", 0x1E9314, 8192, 64, 256, 4, True, 15000),
        ("ATtiny828R", 0x1E9314, 8192, 64, 256, 4, True, 15000),
    ]),
    AvrFamily("ATtiny1634 data sheet (the R grade is the same part)", [
        ("ATtiny1634", 0x1E9412, 16384, 32, 256, 4, True, None),
        ("ATtiny1634R", 0x1E9412, 16384, 32, 256, 4, True, None),
    ]),
    AvrFamily("ATmega48/88/168/328 (A, P, PA) data sheets; the PB parts: tWD_ERASE 10.5 ms; "
              "ATA6612C/6613C/6614Q carry the ATmega88/168/328 dies", [
        ("ATmega48", 0x1E9205, 4096, 64, 256, 4, True, 45000),
        ("ATmega48A", 0x1E9205, 4096, 64, 256, 4, True, 45000),
        ("ATmega48P", 0x1E920A, 4096, 64, 256, 4, True, 45000),
        ("ATmega48PA", 0x1E920A, 4096, 64, 256, 4, True, 45000),
        ("ATmega48PB", 0x1E9210, 4096, 64, 256, 4, True, 10500),
        ("ATmega88", 0x1E930A, 8192, 64, 512, 4, True, 9000),
        ("ATmega88A", 0x1E930A, 8192, 64, 512, 4, True, 9000),
        ("ATmega88P", 0x1E930F, 8192, 64, 512, 4, True, 9000),
        ("ATmega88PA", 0x1E930F, 8192, 64, 512, 4, True, 9000),
        ("ATmega88PB", 0x1E9316, 8192, 64, 512, 4, True, 10500),
        ("ATmega168", 0x1E9406, 16384, 128, 512, 4, True, 9000),
        ("ATmega168A", 0x1E9406, 16384, 128, 512, 4, True, 9000),
        ("ATmega168P", 0x1E940B, 16384, 128, 512, 4, True, 9000),
        ("ATmega168PA", 0x1E940B, 16384, 128, 512, 4, True, 9000),
        ("ATmega168PB", 0x1E9415, 16384, 128, 512, 4, True, 10500),
        ("ATmega328", 0x1E9514, 32768, 128, 1024, 4, True, 9000),
        ("ATmega328P", 0x1E950F, 32768, 128, 1024, 4, True, 9000),
        ("ATmega328PB", 0x1E9516, 32768, 128, 1024, 4, True, 10500),
        ("ATA6612C", 0x1E930A, 8192, 64, 512, 4, True, 4000),
        ("ATA6613C", 0x1E9406, 16384, 128, 512, 4, True, 9000),
        ("ATA6614Q", 0x1E950F, 32768, 128, 1024, 4, True, 9000),
    ]),
    AvrFamily("ATmega8/8A, ATmega8515 (2512) and ATmega8535 data sheets: EEPROM written byte by byte over ISP", [
        ("ATmega8", 0x1E9307, 8192, 64, 512, 4, False, 9000),
        ("ATmega8A", 0x1E9307, 8192, 64, 512, 4, False, 9000),
        ("ATmega8515", 0x1E9306, 8192, 64, 512, 0, False, 9000),
        ("ATmega8535", 0x1E9308, 8192, 64, 512, 0, False, 9000),
    ]),
    AvrFamily("ATmega16A/32A and ATmega162 data sheets", [
        ("ATmega16", 0x1E9403, 16384, 128, 512, 4, True, 9000),
        ("ATmega16A", 0x1E9403, 16384, 128, 512, 4, True, 9000),
        ("ATmega162", 0x1E9404, 16384, 128, 512, 4, True, 9000),
        ("ATmega32", 0x1E9502, 32768, 128, 1024, 4, True, 9000),
        ("ATmega32A", 0x1E9502, 32768, 128, 1024, 4, True, 9000),
    ]),
    AvrFamily("ATmega161 and ATmega163 data sheets: paged Flash, EEPROM written byte by byte over ISP", [
        ("ATmega161", 0x1E9401, 16384, 128, 512, 0, False, 28000),
        ("ATmega163", 0x1E9402, 16384, 128, 512, 0, False, 32000),
    ]),
    AvrFamily("ATmega164A/PA/324A/PA/644A/PA/1284/P and ATmega324PB data sheets", [
        ("ATmega164A", 0x1E940F, 16384, 128, 512, 4, True, 55000),
        ("ATmega164P", 0x1E940A, 16384, 128, 512, 4, True, 55000),
        ("ATmega164PA", 0x1E940A, 16384, 128, 512, 4, True, 55000),
        ("ATmega324A", 0x1E9515, 32768, 128, 1024, 4, True, 55000),
        ("ATmega324P", 0x1E9508, 32768, 128, 1024, 4, True, 55000),
        ("ATmega324PA", 0x1E9511, 32768, 128, 1024, 4, True, 55000),
        ("ATmega324PB", 0x1E9517, 32768, 128, 1024, 4, True, 55000),
        ("ATmega644", 0x1E9609, 65536, 256, 2048, 8, True, 55000),
        ("ATmega644A", 0x1E9609, 65536, 256, 2048, 8, True, 55000),
        ("ATmega644P", 0x1E960A, 65536, 256, 2048, 8, True, 55000),
        ("ATmega644PA", 0x1E960A, 65536, 256, 2048, 8, True, 55000),
        ("ATmega1284", 0x1E9706, 131072, 256, 4096, 8, True, 55000),
        ("ATmega1284P", 0x1E9705, 131072, 256, 4096, 8, True, 55000),
    ]),
    AvrFamily("ATmega165/165P/165A/165PA and ATmega169/169P/169A/169PA data sheets "
              "(Atmel 8284 table 28-6: the 169A answers 0x1E9411)", [
        ("ATmega165", 0x1E9410, 16384, 128, 512, 4, True, 9000),
        ("ATmega165A", 0x1E9410, 16384, 128, 512, 4, True, 9000),
        ("ATmega165P", 0x1E9407, 16384, 128, 512, 4, True, 9000),
        ("ATmega165PA", 0x1E9407, 16384, 128, 512, 4, True, 9000),
        ("ATmega169", 0x1E9405, 16384, 128, 512, 4, True, 9000),
        ("ATmega169A", 0x1E9411, 16384, 128, 512, 4, True, 9000),
        ("ATmega169P", 0x1E9405, 16384, 128, 512, 4, True, 9000),
        ("ATmega169PA", 0x1E9405, 16384, 128, 512, 4, True, 9000),
    ]),
    AvrFamily("ATmega325/3250/645/6450 (A, P, PA) data sheets", [
        ("ATmega325", 0x1E9505, 32768, 128, 1024, 4, True, 9000),
        ("ATmega325A", 0x1E9505, 32768, 128, 1024, 4, True, 9000),
        ("ATmega325P", 0x1E950D, 32768, 128, 1024, 4, True, 9000),
        ("ATmega325PA", 0x1E950D, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3250", 0x1E9506, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3250A", 0x1E9506, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3250P", 0x1E950E, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3250PA", 0x1E950E, 32768, 128, 1024, 4, True, 9000),
        ("ATmega645", 0x1E9605, 65536, 256, 2048, 8, True, 9000),
        ("ATmega645A", 0x1E9605, 65536, 256, 2048, 8, True, 9000),
        ("ATmega645P", 0x1E960D, 65536, 256, 2048, 8, True, 9000),
        ("ATmega6450", 0x1E9606, 65536, 256, 2048, 8, True, 9000),
        ("ATmega6450A", 0x1E9606, 65536, 256, 2048, 8, True, 9000),
        ("ATmega6450P", 0x1E960E, 65536, 256, 2048, 8, True, 9000),
    ]),
    AvrFamily("ATmega329/3290/649/6490 (A, P, PA) data sheets", [
        ("ATmega329", 0x1E9503, 32768, 128, 1024, 4, True, 9000),
        ("ATmega329A", 0x1E9503, 32768, 128, 1024, 4, True, 9000),
        ("ATmega329P", 0x1E950B, 32768, 128, 1024, 4, True, 9000),
        ("ATmega329PA", 0x1E950B, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3290", 0x1E9504, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3290A", 0x1E9504, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3290P", 0x1E950C, 32768, 128, 1024, 4, True, 9000),
        ("ATmega3290PA", 0x1E950C, 32768, 128, 1024, 4, True, 9000),
        ("ATmega649", 0x1E9603, 65536, 256, 2048, 8, True, 9000),
        ("ATmega649A", 0x1E9603, 65536, 256, 2048, 8, True, 9000),
        ("ATmega649P", 0x1E960B, 65536, 256, 2048, 8, True, 9000),
        ("ATmega6490", 0x1E9604, 65536, 256, 2048, 8, True, 9000),
        ("ATmega6490A", 0x1E9604, 65536, 256, 2048, 8, True, 9000),
        ("ATmega6490P", 0x1E960C, 65536, 256, 2048, 8, True, 9000),
    ]),
    AvrFamily("ATmega64/64A and ATmega128/128A data sheets (ATmega128: tWD_ERASE 10 ms): "
              "EEPROM written byte by byte over ISP", [
        ("ATmega64", 0x1E9602, 65536, 256, 2048, 8, False, 9000),
        ("ATmega64A", 0x1E9602, 65536, 256, 2048, 8, False, 9000),
        ("ATmega128", 0x1E9702, 131072, 256, 4096, 8, False, 10000),
        ("ATmega128A", 0x1E9702, 131072, 256, 4096, 8, False, 10000),
    ]),
    AvrFamily("ATmega103 data sheet: paged Flash, EEPROM written byte by byte over ISP", [
        ("ATmega103", 0x1E9701, 131072, 256, 4096, 0, False, 112000),
    ]),
    AvrFamily("ATmega640/1280/1281/2560/2561 data sheet", [
        ("ATmega640", 0x1E9608, 65536, 256, 4096, 8, True, 9000),
        ("ATmega1280", 0x1E9703, 131072, 256, 4096, 8, True, 9000),
        ("ATmega1281", 0x1E9704, 131072, 256, 4096, 8, True, 9000),
        ("ATmega2560", 0x1E9801, 262144, 256, 4096, 8, True, 9000),
        ("ATmega2561", 0x1E9802, 262144, 256, 4096, 8, True, 9000),
    ]),
    AvrFamily("ATmega8U2/16U2/32U2, ATmega16U4/32U4, AT90USB82/162 and AT90USB646/647/1286/1287 data sheets "
              "(the U2 parts and the AT90USB82/162 write 64-word Flash pages)", [
        ("ATmega8U2", 0x1E9389, 8192, 128, 512, 4, True, 9000),
        ("ATmega16U2", 0x1E9489, 16384, 128, 512, 4, True, 9000),
        ("ATmega32U2", 0x1E958A, 32768, 128, 1024, 4, True, 9000),
        ("ATmega16U4", 0x1E9488, 16384, 128, 512, 4, True, 9000),
        ("ATmega32U4", 0x1E9587, 32768, 128, 1024, 4, True, 9000),
        ("AT90USB82", 0x1E9382, 8192, 128, 512, 4, True, 9000),
        ("AT90USB162", 0x1E9482, 16384, 128, 512, 4, True, 9000),
        ("AT90USB646", 0x1E9682, 65536, 256, 2048, 8, True, 9000),
        ("AT90USB647", 0x1E9682, 65536, 256, 2048, 8, True, 9000),
        ("AT90USB1286", 0x1E9782, 131072, 256, 4096, 8, True, 9000),
        ("AT90USB1287", 0x1E9782, 131072, 256, 4096, 8, True, 9000),
    ]),
    AvrFamily("AT90CAN32/64/128 data sheet", [
        ("AT90CAN32", 0x1E9581, 32768, 256, 1024, 8, True, 9000),
        ("AT90CAN64", 0x1E9681, 65536, 256, 2048, 8, True, 9000),
        ("AT90CAN128", 0x1E9781, 131072, 256, 4096, 8, True, 9000),
    ]),
    AvrFamily("AT90PWM1/2B/3B, AT90PWM2/3, AT90PWM81/161 and AT90PWM216/316 data sheets "
              "(the 2 and 3, the 1, 2B and 3B, the 216 and 316 answer one signature each)", [
        ("AT90PWM1", 0x1E9383, 8192, 64, 512, 4, True, 9000),
        ("AT90PWM2", 0x1E9381, 8192, 64, 512, 4, True, 9000),
        ("AT90PWM2B", 0x1E9383, 8192, 64, 512, 4, True, 9000),
        ("AT90PWM3", 0x1E9381, 8192, 64, 512, 4, True, 9000),
        ("AT90PWM3B", 0x1E9383, 8192, 64, 512, 4, True, 9000),
        ("AT90PWM81", 0x1E9388, 8192, 64, 512, 4, True, 9000),
        ("AT90PWM161", 0x1E948B, 16384, 128, 512, 4, True, 9000),
        ("AT90PWM216", 0x1E9483, 16384, 128, 512, 4, True, 9000),
        ("AT90PWM316", 0x1E9483, 16384, 128, 512, 4, True, 9000),
    ]),
    AvrFamily("ATmega16M1/32M1/64M1 and ATmega32C1/64C1 data sheet", [
        ("ATmega16M1", 0x1E9484, 16384, 128, 512, 4, True, 9000),
        ("ATmega32M1", 0x1E9584, 32768, 128, 1024, 4, True, 9000),
        ("ATmega32C1", 0x1E9586, 32768, 128, 1024, 4, True, 9000),
        ("ATmega64M1", 0x1E9684, 65536, 256, 2048, 8, True, 9000),
        ("ATmega64C1", 0x1E9686, 65536, 256, 2048, 8, True, 9000),
    ]),
    AvrFamily("ATmega128RFA1 and ATmega64/128/256RFR2, ATmega644/1284/2564RFR2 data sheets: "
              "1.8-3.6 V parts, supplied with 3.3 V", [
        ("ATmega128RFA1", 0x1EA701, 131072, 256, 4096, 8, True, 18500),
        ("ATmega64RFR2", 0x1EA602, 65536, 256, 2048, 8, True, 18500),
        ("ATmega644RFR2", 0x1EA603, 65536, 256, 2048, 8, True, 18500),
        ("ATmega128RFR2", 0x1EA702, 131072, 256, 4096, 8, True, 18500),
        ("ATmega1284RFR2", 0x1EA703, 131072, 256, 4096, 8, True, 18500),
        ("ATmega256RFR2", 0x1EA802, 262144, 256, 8192, 8, True, 18500),
        ("ATmega2564RFR2", 0x1EA803, 262144, 256, 8192, 8, True, 18500),
    ], voltage=V33),
]

# --------------------------------------------------------------------------


# The order in which the list first shipped these parts; parts added since
# follow in the order of the families above. A saved chip selection is list
# positions, so a part's place among its maker's models never moves.
AVR_SHIPPED_ORDER = """
ATtiny13 ATtiny13A ATtiny24 ATtiny24A ATtiny25 ATtiny261 ATtiny261A ATtiny2313 ATtiny2313A ATtiny43U
ATtiny44 ATtiny44A ATtiny45 ATtiny461 ATtiny461A ATtiny4313 ATtiny48 ATtiny84 ATtiny84A ATtiny85
ATtiny861 ATtiny861A ATtiny87 ATtiny88 ATtiny828 ATtiny167 ATtiny1634 ATmega48 ATmega48A ATmega48P
ATmega48PA ATmega48PB ATmega8 ATmega8A ATmega8515 ATmega8535 ATmega88 ATmega88A ATmega88P ATmega88PA
ATmega88PB ATmega8U2 ATmega16 ATmega16A ATmega162 ATmega164A ATmega164P ATmega164PA ATmega168
ATmega168A ATmega168P ATmega168PA ATmega168PB ATmega169A ATmega169P ATmega169PA ATmega16U2
ATmega16U4 AT90USB162 ATmega32 ATmega32A ATmega324A ATmega324P ATmega324PA ATmega328 ATmega328P
ATmega328PB ATmega329 ATmega329A ATmega329P ATmega329PA ATmega32U2 ATmega32U4 ATmega64 ATmega64A
ATmega640 ATmega644 ATmega644A ATmega644P ATmega644PA ATmega649 ATmega649A ATmega649P AT90USB646
AT90USB647 ATmega128 ATmega128A ATmega1280 ATmega1281 ATmega1284 ATmega1284P AT90USB1286 AT90USB1287
ATmega2560 ATmega2561
""".split()


def line(type_, maker, model, ident, flash, page, subtype, delay, voltage, eeprom, eeprom_page, interface):
    cells = [type_, maker, model, "0x%X" % ident, str(flash), str(page), str(CLASS[type_]), "0x%X" % subtype,
             str(delay), str(voltage), str(eeprom), str(eeprom_page), str(delay), str(interface), "0"]
    for c in cells:
        if not c or any(ch.isspace() for ch in c):
            raise ValueError("cell %r of %s cannot be imported" % (c, model))
    return "\t".join(cells + [""] * 12)


def erase_polls(seconds):
    return max(1, math.ceil(round(seconds / POLL_SECONDS, 6)))


def spi_lines():
    for maker, scheme, per_mbit, floor, rows in SPI_FAMILIES:
        for row in rows:
            model, ident, size = row[:3]
            options = row[3] if len(row) > 3 else {}
            if not isinstance(options, dict):
                options = {"erase_s": options}
            seconds = options.get("erase_s", max(floor, per_mbit * size / 131072))
            subtype = 2 if size > 16 * 1024 * 1024 else options.get("scheme", scheme).subtype
            yield line(SPI_FLASH, maker, model, ident, size, options.get("page", 256), subtype,
                       erase_polls(seconds), V33, 0, 0, ZIF)


def ee24_lines():
    for maker, rows in EE24_MAKERS:
        for row in rows:
            model, kb, page = row[:3]
            voltage = row[3] if len(row) > 3 else V33
            size = kbit(kb)
            subtype = 2 if size > 65536 else (1 if size >= 4096 else 0)
            yield line(EE24, maker, model, 0, size, page, subtype, EEPROM_DELAY, voltage, 0, 0, ZIF)


def ee93_lines():
    for maker, rows in EE93_MAKERS:
        for row in rows:
            model, number, org16, pe = row[:4]
            voltage = row[4] if len(row) > 4 else V33
            yield line(EE93, maker, model, 0, EE93_SIZES[number], EE93_FLASH_PAGE, ee93_code(number, org16, pe),
                       EEPROM_DELAY, voltage, 0, 0, ZIF)


def spi_eeprom_lines(type_, makers):
    for maker, rows in makers:
        for model, kb, page in rows:
            yield line(type_, maker, model, 0, kbit(kb), page, 0, EEPROM_DELAY, V33, 0, 0, ZIF)


def avr_erase_delay(erase_us):
    return AVR_DELAY if erase_us is None else max(AVR_DELAY, math.ceil(erase_us / 1000))


def avr_lines():
    rows = {row[0]: (row, family.voltage) for family in AVR_FAMILIES for row in family.rows}
    added = [name for name in rows if name not in AVR_SHIPPED_ORDER]
    for name in AVR_SHIPPED_ORDER + added:
        (model, sig, flash, page, eeprom, eeprom_page, page_commands, erase_us), voltage = rows[name]
        yield line(AVR, "ATMEL", model, sig, flash, page, 0, avr_erase_delay(erase_us), voltage,
                   eeprom, eeprom_page if page_commands else 1, ISP)


def chip_list():
    # Type names must first appear in class order: identification falls back
    # to the detected class as a position in the type list.
    out = []
    out += spi_lines()
    out += ee24_lines()
    out += ee93_lines()
    out += spi_eeprom_lines(EE95, EE95_MAKERS)
    out += spi_eeprom_lines(EE25, EE25_MAKERS)
    out += avr_lines()
    return "".join(l + "\n" for l in out)


def main(argv):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "chips.txt")
    text = chip_list()
    if argv[1:] == ["--check"]:
        with open(path, encoding="utf-8", newline="") as f:
            if f.read() != text:
                print("%s is out of date: run %s" % (path, argv[0]), file=sys.stderr)
                return 1
        return 0
    if argv[1:]:
        print(__doc__, file=sys.stderr)
        return 2
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)
    print("%d chips written to %s" % (text.count("\n"), path))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
