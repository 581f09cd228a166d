#!/usr/bin/env bash
# The window's own tests (the real dialogs driven by messages) need a display under Wine:
# they run here rather than in the windows stage's ctest run.
source "$(dirname "$0")/winlib.sh"

ctest --test-dir "$QUILLERY_BUILD_DIR" -L display --output-on-failure || qd_fail "the window tests failed"
qd_finish
