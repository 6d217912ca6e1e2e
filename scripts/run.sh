#!/usr/bin/env bash
# Runs the main program on the embedded database (created on first run).
set -euo pipefail
build=${1:-build}
exec "$build/apps/jxcdemo"
