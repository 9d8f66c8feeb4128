#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# check-spdx.sh [SOURCE_DIR]: every source file of the tree names its
# licence in an SPDX line within its first three lines (room for a shebang
# or an XML-style prologue). Lists each file without one and fails.
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

files=()
while IFS= read -r f; do
    # A file git knows but the checkout lacks (deleted, not yet committed).
    is_source "$f" && [ -f "$f" ] && files+=("$f")
done < <(list_files)
if [ ${#files[@]} -eq 0 ]; then
    echo "check-spdx: no source file found under $root" >&2
    exit 2
fi

# One pass over the first three lines of every file; an empty file has
# none and is listed too.
lacking=$(awk '
    FNR <= 3 && /SPDX-License-Identifier: MIT([^A-Za-z0-9.+-]|$)/ { found[FILENAME] = 1; nextfile }
    FNR > 3 { nextfile }
    END { for (i = 1; i < ARGC; i++) if (!(ARGV[i] in found)) print ARGV[i] }' "${files[@]}") ||
    { echo "check-spdx: could not read every source file" >&2; exit 2; }

if [ -n "$lacking" ]; then
    while IFS= read -r f; do
        echo "check-spdx: $f has no 'SPDX-License-Identifier: MIT' line at its top" >&2
    done <<<"$lacking"
    echo "check-spdx: $(wc -l <<<"$lacking") of ${#files[@]} source files lack the licence line" >&2
    exit 1
fi
echo "check-spdx: all ${#files[@]} source files name their licence"
