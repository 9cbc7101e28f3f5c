#!/usr/bin/env bash
# Runs a cross-built test under Wine with two COM ports that are the two ends of one line: a
# socat pseudo-terminal pair mapped as COM5 and COM6, named to the test by ZKF_WINE_COM_A and
# ZKF_WINE_COM_B.
# usage: run-wine-pair.sh TEST_EXE [test options...]
source "$(dirname "$0")/wine-com-lib.sh"
exe=$1
shift
wine_com_pair COM5 COM6
ZKF_WINE_COM_A=COM5 ZKF_WINE_COM_B=COM6 wine "$exe" "$@"
