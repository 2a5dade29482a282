#!/usr/bin/env bash
# Prints the last lines of every file that the failed checks of the last test run kept in their
# folders (build/evidence.txt names them): the stand-in's log, Tunedesk's output and result, the
# harness's and Wine's messages.
set -uo pipefail
cd "$(dirname "$0")/.."
listing=build/evidence.txt
[[ -s $listing ]] || exit 0
while IFS=$'\t' read -r folder what; do
    echo "=== $what: $folder"
    find "$folder" -maxdepth 2 -type f \( -name '*.txt' -o -name '*.log' -o -name '*.out' \
        -o -name '*.ini' \) -size -1024k | sort | while read -r file; do
        echo "--- ${file#"$folder"/}"
        tail -n 15 "$file" | cut -c1-300
    done
done < <(head -n 20 "$listing")
