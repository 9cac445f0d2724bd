#!/bin/sh
# Runs a Windows program under Wine in the prefix and display that the test command prepared.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
exec wine "$@"
