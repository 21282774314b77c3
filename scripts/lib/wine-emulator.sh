#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a Windows program under Wine for CTest (the toolchain's CMAKE_CROSSCOMPILING_EMULATOR).
# Wine hides the QT_ variables of the Unix environment from Windows programs, as they would be
# meant for the host's Qt, and hands WINEQT_X on as QT_X: so the tests' QT_ settings go that way.
# Qt logs to the debugger rather than to a stderr without a console: make it write to stderr, for
# CTest to show.
for var in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  export "WINE$var=$(printenv "$var")"
done
export WINEQT_FORCE_STDERR_LOGGING=1 WINEDEBUG="${WINEDEBUG:--all}"
# The offscreen platform reads fonts from a folder of its own, by default under Qt's prefix.
export WINEQT_QPA_FONTDIR="${WINEQT_QPA_FONTDIR:-C:\windows\Fonts}"
exec wine "$@"
