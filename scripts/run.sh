#!/usr/bin/env bash
# Runs the main program on the embedded database, then the consistency check of its stock (apps/jxccheck,
# whose exit status is the script's). The database file is data/jxcshop.db (or $JXC_DATABASE); the first run
# creates it with the schema and the sample shop (apps/jxcsampleshop).
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
if [ -z "${JXC_DATABASE:-}" ]; then
  mkdir -p data
  export JXC_DATABASE=data/jxcshop.db
fi
if [ ! -s "$JXC_DATABASE" ]; then
  "$build/apps/jxcsampleshop" --database "$JXC_DATABASE"
fi
"$build/apps/jxcdemo"
echo
echo "== Stock consistency check of $JXC_DATABASE"
exec "$build/apps/jxccheck" --database "$JXC_DATABASE"
