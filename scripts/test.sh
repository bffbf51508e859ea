#!/usr/bin/env bash
# Sets everything up and runs every test headless: once on Qt's offscreen platform, once in a real
# X display under Xvfb, where focus and window activation behave as on a desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# The server tests use a throw-away PostgreSQL cluster that lives as long as the run.
scripts/with-server.sh sh -c '
  set -e
  QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
  xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb ctest --test-dir build --output-on-failure'
