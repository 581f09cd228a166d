#!/usr/bin/env bash
# scripts/windows-desktop.sh BUILD-DIR
#
# The Windows program of BUILD-DIR under Wine in a real X session: Xvfb with openbox
# (scripts/desktop-session.sh), running every tests/win32/desktop/check_*.sh, the
# window's in-process tests among them. Expects the windows stage's Wine environment
# (WINEPREFIX, LANG and, where needed, LOCPATH; DISPLAY unset), and QUILLERY_NATIVE_CONVERT,
# the Linux quillery-convert the results are compared with.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?}"

# Japanese in the dialogs' font and in Wine's own boxes and file dialogs, with every
# character: the fonts they ask for become Noto Sans CJK JP. Once per prefix.
if ! grep -q '"MS PGothic"="Noto Sans CJK JP"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    for font in 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2' 'ＭＳ Ｐゴシック' 'MS PGothic'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" \
            /d 'Noto Sans CJK JP' /f >/dev/null
    done
fi
# A wineserver started without a display (by the tests before, or just now) would serve
# the windows badly: the session's first Wine program starts a new one with DISPLAY.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# Every Wine start is slow on a busy machine: twenty of them in one check need longer
# than the Linux checks' bound.
export QUILLERY_CHECK_TIMEOUT=${QUILLERY_CHECK_TIMEOUT:-1200}
status=0
"$here/desktop-session.sh" "$build_dir" "$here/../tests/win32/desktop" || status=$?
wineserver -k 2>/dev/null || true
exit "$status"
