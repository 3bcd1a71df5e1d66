#include "cli/Commands.h"

#include <array>

namespace {

const OptionSpec kEeprom{"eeprom", nullptr, "The EEPROM instead of the Flash."};
const OptionSpec kJson{"json", nullptr, "Print one JSON document on standard output."};
const OptionSpec kInFormat{"format", "FORMAT", "Read IN as bin, hex (Intel HEX), srec (S-records) or cap "
                                               "(capsule) instead of by its extension."};

const std::array kCommands = {
    CommandInfo{"help", cmdHelp, "help [COMMAND]", ChipNeed::None, "Show this help, or a command's.", {}, "[COMMAND]"},
    CommandInfo{"list-chips", cmdListChips, "list-chips [--json] [TEXT]", ChipNeed::List,
                "List the chip list, or the chips whose names contain every word of TEXT (any case).", {kJson},
                "[TEXT]"},
    CommandInfo{"probe", cmdProbe, "probe [--json]", ChipNeed::List,
                "Ask which chip class answers in the socket; print the class and the identifier bytes.", {kJson}, ""},
    CommandInfo{"detect", cmdDetect, "detect [--json]", ChipNeed::List,
                "Find the chip in the socket by its identifier and print its model and type.", {kJson}, ""},
    CommandInfo{"read", cmdRead, "read [--eeprom] [--full] [--check [--reads N]] [--json] [--format FORMAT] OUT",
                ChipNeed::Chosen, "Read the chip and save it to OUT (\"-\": standard output).",
                {kEeprom,
                 {"check", nullptr, "Read the chip twice and compare: reads that differ save nothing, list where "
                                    "they differ and exit 1 (a clip or socket contact)."},
                 {"reads", "N", "With --check: read N times (2 to 100)."},
                 {"json", nullptr, "Print the bytes read, their CRC-32 and the chip as JSON on standard output "
                                   "(OUT a file)."},
                 {"full", nullptr, "Save the whole memory, trailing 0xFF bytes included (the chip-sized image)."},
                 {"format", "FORMAT", "Write OUT as bin, hex (Intel HEX), srec (S-records) or cap (raw) instead "
                                      "of by its extension."}},
                "OUT", prepareRead},
    CommandInfo{"blank", cmdBlank, "blank [--json]", ChipNeed::Chosen, "Check that the chip's Flash is erased.",
                {{"json", nullptr, "Print the verdict, the first byte in use and the chip as JSON."}}, ""},
    CommandInfo{"erase", cmdErase, "erase", ChipNeed::Chosen, "Erase the chip by its class's method.", {}, ""},
    CommandInfo{"write", cmdWrite,
                "write [--eeprom] [--erase] [--no-verify] [--preserve [--at ADDR] [--backup FILE]] [--format FORMAT] IN",
                ChipNeed::Chosen,
                "Open IN (\"-\": standard input) and write it to the chip, rounded up to whole pages of 64 bytes at least, then verify it.",
                {kEeprom,
                 {"erase", nullptr, "Erase the chip first (not with --eeprom)."},
                 {"no-verify", nullptr, "Do not read the written data back and compare it."},
                 {"preserve", nullptr, "Keep every byte of the chip that IN does not cover: read the chip, save it, "
                                       "lay IN over it, erase, write the whole image and verify it."},
                 {"at", "ADDR", "With --preserve: where raw IN starts (default 0); HEX and S-record addresses count "
                                "from here."},
                 {"backup", "FILE", "With --preserve: keep the chip's contents as read in FILE (default: a new file "
                                    "in the current folder, removed once the new image verified)."},
                 kInFormat},
                "IN", prepareWrite},
    CommandInfo{"verify", cmdVerifyOrCompare, "verify [--eeprom] [--diff] [--json] [--format FORMAT] IN",
                ChipNeed::Chosen, "Open IN (\"-\": standard input) and compare the chip with it.",
                {kEeprom, {"diff", nullptr, "List every differing range and how its bits differ (exit 1 on any)."},
                 {"json", nullptr, "The compare of --diff as one JSON document on standard output."}, kInFormat},
                "IN", prepareLoad},
    CommandInfo{"auto", cmdAuto,
                "auto [--unprotect] [--id] [--erase] [--write-flash] [--write-eeprom] [--verify] [--verify-eeprom] "
                "[--fuse [--lock 0xVV]] [--sn VALUE [--sn-addr HEX] [--sn-mode inc|dec|none]] "
                "[--eeprom-file IN2] [--format FORMAT] [IN]",
                ChipNeed::Chosen,
                "Run the auto sequence with exactly the steps given (at least one); IN is the file that "
                "--write-flash writes and --verify compares.",
                {{"unprotect", nullptr, "Clear an SPI flash's block protection first."},
                 {"id", nullptr, "Check the chip's identifier first."},
                 {"erase", nullptr, "Erase the chip."},
                 {"write-flash", nullptr, "Write IN to the Flash."},
                 {"write-eeprom", nullptr, "Write IN2 to the EEPROM."},
                 {"verify", nullptr, "Verify the Flash."},
                 {"verify-eeprom", nullptr, "Verify the EEPROM."},
                 {"fuse", nullptr, "Write the chip's default fuse bytes (printed first)."},
                 {"lock", "0xVV", "With --fuse: write this lock byte too."},
                 {"sn", "VALUE", "Write this serial number into each chip; prints the next one."},
                 {"sn-addr", "HEX", "The serial number's address (hexadecimal)."},
                 {"sn-mode", "MODE", "inc, dec or none: how the serial number steps."},
                 {"eeprom-file", "IN2", "The file for the EEPROM."},
                 kInFormat},
                "[IN]", prepareAuto},
    CommandInfo{"unprotect", cmdUnprotect, "unprotect", ChipNeed::Chosen,
                "Clear the block protection of an SPI flash by the chip's own sequence.", {}, ""},
    CommandInfo{"fuses", cmdFuses, "fuses read|write|default [--fuse N=0xVV ...] [--lock 0xVV] [--json]",
                ChipNeed::Chosen,
                "Read the fuse and lock bytes, write the named ones (the others as the chip holds them), or write "
                "the default fuse bytes.",
                {{"fuse", "N=0xVV", "With write: fuse byte N's value (repeatable)."},
                 {"lock", "0xVV", "With write: the lock byte's value."},
                 kJson},
                "ACTION", prepareFuses},
    CommandInfo{"doctor", cmdDoctor, "doctor [--json]", ChipNeed::List,
                "Check the set-up: the programmer on USB, its hidraw node and this user's access, the udev rule, "
                "other programs holding it, the probe and the time of one report exchange (exit 1 unless all ok).",
                {kJson}, ""},
    CommandInfo{"fuse-description", cmdFuseDescription, "fuse-description [FILE]", ChipNeed::None,
                "Read a fuse description (default xml/0.xml) and print its settings and bytes.", {}, "[FILE]"},
    CommandInfo{"convert", cmdConvert, "convert [--eeprom] [--format FORMAT] [--in-format FORMAT] IN OUT",
                ChipNeed::None,
                "Open IN and save it to OUT (\"-\": standard input or output).",
                {kEeprom,
                 {"format", "FORMAT", "Write OUT as bin, hex, srec or cap (raw) instead of by its extension."},
                 {"in-format", "FORMAT", "Read IN as bin, hex, srec or cap instead of by its extension."}},
                "IN OUT", nullptr,
                "A record file (Intel HEX, S-records) becomes an image of its bytes at their absolute addresses "
                "from 0: the gaps between records and the area below the lowest address are 0xFF, the image "
                "ends at the highest address a record reaches, and start-address records are dropped. The Flash "
                "buffer holds 64 MiB, the EEPROM buffer (--eeprom) 8 KiB; a record beyond it is refused. Saved "
                "records leave out runs of 0xFF."},
    CommandInfo{"import-chips", cmdImportChips, "import-chips IN.txt OUT.Dat", ChipNeed::None,
                "Turn a tab-separated chip list into a chip-list file (\"-\": standard input or output).", {},
                "IN.txt OUT.Dat"},
    CommandInfo{"export-chips", cmdExportChips, "export-chips OUT.txt", ChipNeed::List,
                "Write the chip list as tab-separated text (\"-\": standard output).", {}, "OUT.txt"},
};

} // namespace

const CommandInfo* findCommand(const QString& name)
{
    for (const CommandInfo& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QList<const CommandInfo*> allCommands()
{
    QList<const CommandInfo*> list;
    for (const CommandInfo& c : kCommands)
        list << &c;
    return list;
}
