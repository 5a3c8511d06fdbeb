#!/usr/bin/env bash
# The layers below the windows stay free of Qt Widgets, and the numeric layers free
# of Qt altogether; the build links them that way, this catches a stray include.
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0
if git grep -n -E '#include *<(QtWidgets|QWidget|QMainWindow|QDialog|QApplication|Q[A-Za-z]*(Edit|Box|Button|Bar|Widget|View|Menu))' -- \
        core formats processing navigation display cli 2>/dev/null; then
    echo "Qt Widgets included outside ui/ and app/" >&2; fail=1
fi
if git grep -n -E '#include *<Q' -- core formats processing navigation 2>/dev/null; then
    echo "Qt included in a Qt-free layer" >&2; fail=1
fi
[ $fail -eq 0 ] && echo "layers: ok"
exit $fail
