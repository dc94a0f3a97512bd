#!/bin/sh
# Prints the desktop program's windows as a screen reader reads them over the
# accessibility bus (AT-SPI): role, name, description, "labelled by"
# relations, actions and states of every control that is showing.
#   xvfb-run -a dbus-run-session -- scripts/a11y-tree.sh [BUILD_DIR] [switch]
# Needs at-spi2-core and python3-pyatspi. With "switch", the mode is changed
# through the bus and the button captions are read again.
set -u
build=${1:-build}
home=$(mktemp -d)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_DATA_HOME="$home" XDG_CONFIG_HOME="$home"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
sleep 1
"$build/bin/zelk" &
zelk=$!
sleep 4
/usr/bin/python3 "$(dirname "$0")/a11y-tree.py" zelk "${2:-}"
kill "$zelk" "$launcher" 2>/dev/null
wait 2>/dev/null
rm -rf "$home"
