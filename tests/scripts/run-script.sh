#!/bin/sh
# Runs one script (VBScript or JScript, chosen by its extension) with cscript.exe in the
# build's wine prefix and compares what it prints with the expected text.
# Usage: run-script.sh WINE_RUN SCRIPT.vbs|SCRIPT.js EXPECTED.txt
set -e
wine_run="$1"; script="$2"; expected="$3"
# cscript wants a Windows path.
. "$(dirname "$wine_run")/wine-path.sh"
windows_path="$(wine_path "$script")"
actual="$(sh "$wine_run" cscript //nologo "$windows_path" | tr -d '\r')"
if [ "$actual" != "$(cat "$expected")" ]; then
  echo "script $script printed:"
  echo "$actual"
  echo "expected:"
  cat "$expected"
  exit 1
fi
echo "$actual"
