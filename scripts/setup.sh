#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the programs need, but only those missing.
# With --sanitize also the compiler of the sanitizer build and its runtimes (make check-sanitize).
# Runs apt-get update once before an install; fails with a clear message when it cannot install.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsqlite3-dev          # the database service and the in-memory SQL engine
  nlohmann-json3-dev      # JSON records
  libgtest-dev libgmock-dev
  libxlsxwriter-dev       # ".xlsx" export
  python3 python3-xlrd python3-openpyxl   # independent readers used by the export tests
  poppler-utils           # pdftotext: the print tests read the printed pages
)
# LibreOffice Calc: the tests that open exported files as a spreadsheet program does, and printing; any
# LibreOffice already installed serves (the headless package would replace a desktop one).
command -v soffice >/dev/null 2>&1 || packages+=(libreoffice-calc-nogui)
if [ "${1:-}" = "--sanitize" ]; then
  packages+=(clang-16 libclang-rt-16-dev)   # AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
    echo "setup: the packages ${missing[*]} are missing and this user cannot install them (not root, no sudo)." >&2
    exit 1
  fi
fi
if ! $sudo apt-get update -qq; then
  echo "setup: apt-get update failed; cannot install ${missing[*]}" >&2; exit 1
fi
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"; then
  echo "setup: apt-get install failed for ${missing[*]}" >&2; exit 1
fi
