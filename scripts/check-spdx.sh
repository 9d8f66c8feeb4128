#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# check-spdx.sh [SOURCE_DIR]: every source file of the tree names its
# licence in an SPDX line near its top (after a shebang or a first comment
# line at most). Lists each file without one and fails.
#
# The files are git's (tracked, plus new ones not ignored) when the tree is
# a git checkout; otherwise every file under it but build folders.
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" 2>/dev/null || { echo "check-spdx: no folder $root" >&2; exit 2; }

list_files() {
    if command -v git >/dev/null 2>&1 && git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files --cached --others --exclude-standard
    else
        find . \( -type d \( -name 'build' -o -name 'build-*' -o -name '.git' \) -prune \) \
            -o -type f -print | sed 's|^\./||'
    fi
}

# Source files: code, scripts, build files and the templates they configure.
is_source() {
    case "$1" in
        *.cpp | *.h | *.sh | *.py | *.cmake) return 0 ;;
        CMakeLists.txt | */CMakeLists.txt | Makefile | */Makefile | .ci/run) return 0 ;;
        packaging/*.in) return 0 ;;
    esac
    return 1
}

checked=0
missing=0
while IFS= read -r f; do
    is_source "$f" || continue
    # A file git knows but the checkout lacks (deleted, not yet committed).
    [ -f "$f" ] || continue
    checked=$((checked + 1))
    if ! head -n 3 -- "$f" | grep -qE 'SPDX-License-Identifier: MIT\b'; then
        echo "check-spdx: $f has no 'SPDX-License-Identifier: MIT' line at its top" >&2
        missing=$((missing + 1))
    fi
done < <(list_files)

if [ "$checked" -eq 0 ]; then
    echo "check-spdx: no source file found under $root" >&2
    exit 2
fi
if [ "$missing" -gt 0 ]; then
    echo "check-spdx: $missing of $checked source files lack the licence line" >&2
    exit 1
fi
echo "check-spdx: all $checked source files name their licence"
