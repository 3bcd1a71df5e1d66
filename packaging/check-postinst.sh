#!/bin/sh
# Runs the package's postinst against a made-up sysfs with the programmer and
# two other USB devices, and a udevadm that only records its calls: the rules
# are reloaded, and only the programmer's device is replayed.
# Usage: check-postinst.sh POSTINST WORKDIR
set -u
postinst=$1
work=$2
rm -rf "$work"
mkdir -p "$work/bin" "$work/sys/devices/usb1/1-1" "$work/sys/devices/usb1/1-2" \
    "$work/sys/devices/usb1/1-3" "$work/sys/bus/usb/devices"
device() {  # folder vendor product
    printf '%s\n' "$2" >"$work/sys/devices/usb1/$1/idVendor"
    printf '%s\n' "$3" >"$work/sys/devices/usb1/$1/idProduct"
    ln -s "../../../devices/usb1/$1" "$work/sys/bus/usb/devices/$1"
}
device 1-1 046d c52b
device 1-2 c251 1c01
device 1-3 c251 2000
# An interface folder has no ids and is passed over.
mkdir "$work/sys/devices/usb1/1-2/1-2:1.0"
ln -s "../../../devices/usb1/1-2/1-2:1.0" "$work/sys/bus/usb/devices/1-2:1.0"

cat >"$work/bin/udevadm" <<EOF
#!/bin/sh
echo "\$*" >>"$work/calls"
EOF
chmod +x "$work/bin/udevadm"

failed=0
check() {  # description expected actual
    if [ "$2" != "$3" ]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        failed=1
    fi
}

PATH="$work/bin:$PATH" KTR_SYSFS="$work/sys" sh "$postinst" configure
check "postinst configure exits 0" 0 $?
check "reload, then the programmer only" \
    "control --reload-rules|trigger --action=change --parent-match=$work/sys/devices/usb1/1-2|" \
    "$(tr '\n' '|' <"$work/calls")"

# An upgrade's other steps and a machine without udev leave udev alone.
rm -f "$work/calls"
PATH="$work/bin:$PATH" KTR_SYSFS="$work/sys" sh "$postinst" abort-upgrade
check "abort-upgrade exits 0" 0 $?
check "abort-upgrade calls nothing" "" "$(cat "$work/calls" 2>/dev/null)"
mkdir "$work/bare"
for tool in cat readlink; do ln -s "$(command -v $tool)" "$work/bare/$tool"; done
rm -f "$work/calls"
PATH="$work/bare" KTR_SYSFS="$work/sys" "$(command -v sh)" "$postinst" configure
check "configure without udevadm exits 0" 0 $?
check "configure without udevadm calls nothing" "" "$(cat "$work/calls" 2>/dev/null)"

[ $failed -eq 0 ] && rm -rf "$work"
exit $failed
