#!/usr/bin/env bash
# Builds the tool and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
echo "== starting orvadex"
exec build/app/orvadex
