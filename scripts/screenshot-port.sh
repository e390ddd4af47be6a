#!/usr/bin/env bash
# Takes docs/port-dialog.png: the port dialog shown alone by the test program
# kiv_commdlg_demo under Xvfb, framed by openbox, in a scratch folder whose
# scom.ini says COM3 at 19200 baud, with COM3 assigned to a USB adapter in a
# scratch settings store, KIV_COM4 set, and two sample adapters offered
# (--exemple). Needs xvfb, openbox, imagemagick and xdotool; run after
# `make build`. Usage: scripts/screenshot-port.sh [path/to/kiv_commdlg_demo]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/release/tests/link/dialog/kiv_commdlg_demo}")
shot="$PWD/docs/port-dialog.png"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf ';scom.ini\r\n;fichier de configuration des ports s\xe9ries\r\n\r\n[OPTIONS]\r\nLast Port = 3\r\n\r\n[Port#1]\r\nBaud Rate = 19200\r\n' \
    >"$work/scom.ini"
store="$work/config/Local AppWizard-Generated Applications"
mkdir -p "$store"
printf '[Link]\nCOM3=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n' \
    >"$store/KIV.conf"
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$exe" "$work" "$shot" <<'SCRIPT'
set -euo pipefail
cd "$2"
openbox & WM=$!
sleep 1
XDG_CONFIG_HOME="$2/config" KIV_COM4=/dev/pts/3 QT_QPA_PLATFORM=xcb "$1" --exemple & APP=$!
trap 'kill $APP $WM 2>/dev/null || true' EXIT
win=$(xdotool search --sync --name "Paramètre de communication" | head -1)
xdotool windowmove "$win" 20 20
sleep 1
import -frame -window "$win" "$3"
SCRIPT
