#!/bin/bash
# Runs the bash completion of ktr4180-cli on typed lines and checks what it
# offers: commands, global and per-command options, option values and chip
# models from the program's own chip list. Usage: check-completion.sh SCRIPT BUILD
set -u
completion=/usr/share/bash-completion/bash_completion
[ -r "$completion" ] || { echo "bash-completion is not installed"; exit 77; }
source "$completion"
source "$1"
export PATH="$2:$PATH"
failures=0
# A folder with one data file, to see where files are offered.
cd "$(mktemp -d)" || exit 1
touch image.bin

# What the completion offers for a line typed up to its end.
offered() {
    COMP_LINE="$1"
    COMP_POINT=${#COMP_LINE}
    read -ra COMP_WORDS <<< "$COMP_LINE"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _ktr4180_cli
    echo " ${COMPREPLY[*]-} "
}

expect() {
    local line=$1 got
    shift
    got=$(offered "$line")
    for want in "$@"; do
        if [[ $want == !* ]]; then
            [[ $got != *" ${want#!} "* ]] && continue
            echo "'$line' offers ${want#!}: $got"
        else
            [[ $got == *" $want "* ]] && continue
            echo "'$line' does not offer $want: $got"
        fi
        failures=$((failures + 1))
    done
}

expect "ktr4180-cli " read write verify list-chips convert fuses !--chip
expect "ktr4180-cli --chip w25q64 re" read !write
expect "ktr4180-cli --ch" --chip --chip-id
expect "ktr4180-cli read --" --eeprom --full --format --chip --yes !--write-flash
expect "ktr4180-cli auto --" --write-flash --sn-mode !--full
expect "ktr4180-cli --chip w25q64j" W25Q64JV W25Q64JV-IM !W25Q32JV
expect "ktr4180-cli -c W25Q32" W25Q32JV
expect "ktr4180-cli read --format " bin hex srec cap
expect "ktr4180-cli --progress=p" plain !bar
expect "ktr4180-cli fuses " read write default
expect "ktr4180-cli --lang " 0 en
# Every option's value is passed over, so the command after it is found.
expect "ktr4180-cli --production-log run.csv re" read
expect "ktr4180-cli --sim-latency 5 --simulate re" read
expect "ktr4180-cli --format hex con" convert
expect "ktr4180-cli --production-log " image.bin
expect "ktr4180-cli --sim-latency " !image.bin !read
expect "ktr4180-cli write " image.bin
expect "ktr4180-cli unprotect " !image.bin
expect "ktr4180-cli doctor " !image.bin
expect "ktr4180-cli --chip w25q64jv auto --eeprom-file " image.bin
expect "ktr4180-cli --simulate --sim-fill " random random: erased
expect "ktr4180-cli --simulate --sim-slow-erase 3000 re" read !write
expect "ktr4180-cli --sim" --simulate --sim-fill --sim-slow-erase --sim-fault
[ "$failures" -eq 0 ] && echo "completion: all lines offer what they should"
exit $((failures > 0))
