#!/bin/sh
# Runs a Windows program under Wine in the prefix and display that the test command prepared.
# A crash ends the program at once: with the debugger disabled it cannot hang the run.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winedbg.exe=d"
exec wine "$@"
