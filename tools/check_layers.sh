#!/usr/bin/env bash
# Each layer includes only the layers below it (and itself): core < formats <
# navigation < processing < display < cli, ui < app. The layers below the windows
# stay free of Qt Widgets, and the numeric layers free of Qt altogether; the build
# links them that way, this catches a stray include.
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0
if git grep -n -E '#include *<(QtWidgets|QWidget|QMainWindow|QDialog|QApplication|Q[A-Za-z]*(Edit|Box|Button|Bar|Widget|View|Menu))' -- \
        core formats processing navigation display cli 2>/dev/null; then
    echo "Qt Widgets included outside ui/ and app/" >&2; fail=1
fi
if git grep -n -E '#include *<Q' -- core formats processing navigation fuzz 2>/dev/null; then
    echo "Qt included in a Qt-free layer" >&2; fail=1
fi

declare -A allowed=(
    [core]="core"
    [formats]="core formats"
    [navigation]="core formats navigation"
    [processing]="core formats navigation processing"
    [display]="core formats navigation processing display"
    [cli]="core formats navigation processing display cli"
    [ui]="core formats navigation processing display ui"
    [app]="core formats navigation processing display ui app"
    [fuzz]="core formats navigation processing support fuzz"
)
for layer in "${!allowed[@]}"; do
    while IFS=: read -r file line target; do
        [ -n "$file" ] || continue
        case " ${allowed[$layer]} " in
            *" $target "*) ;;
            *) echo "$file:$line: $layer/ includes $target/, which is not below it" >&2; fail=1 ;;
        esac
    done < <(git grep -n -o -E '^#include "[a-z_]+/' -- "$layer" 2>/dev/null |
             sed -E 's|^([^:]+):([0-9]+):#include "([a-z_]+)/$|\1:\2:\3|')
done
[ $fail -eq 0 ] && echo "layers: ok"
exit $fail
