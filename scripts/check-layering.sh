#!/bin/bash
# SPDX-License-Identifier: MIT
# Holds every file of src/ to the folders its own folder may use.
# usage: check-layering.sh SRC_DIR "ALWAYS_ALLOWED_HEADERS" "folder:used folders" ...
# A quoted include must be rooted ("shell/MyError.h") and name an existing
# file of its own folder, of a folder it may use, or one of the headers
# every folder may use. Prints each wrong include and fails when there is one.
set -u
src=$1; shift
always=" $1 "; shift
declare -A uses
for layer in "$@"; do
    uses[${layer%%:*}]=" ${layer%%:*} ${layer#*:} "
done
bad=0
for file in "$src"/*/*.h "$src"/*/*.cpp; do
    folder=$(basename "$(dirname "$file")")
    if [ -z "${uses[$folder]+set}" ]; then
        echo "$file: the folder $folder has no line in the layering table"
        bad=1
        continue
    fi
    while IFS=: read -r line include; do
        target=${include#*\"}
        target=${target%%\"*}
        if [ ! -f "$src/$target" ]; then
            echo "$file:$line: \"$target\" is not a rooted path of src/"
            bad=1
        elif [[ "$always" != *" $target "* && "${uses[$folder]}" != *" ${target%%/*} "* ]]; then
            echo "$file:$line: $folder may not use ${target%%/*} (\"$target\")"
            bad=1
        fi
    done < <(grep -n -E '^\s*#\s*include\s+"' "$file")
done
[ "$bad" = 0 ] && echo "layering: every include of $src keeps to its folder's table"
exit "$bad"
