#!/bin/bash
# The browser's address resolution from the command line, on a documentation folder in the data
# folder: the language rewrite, the English fallback, web addresses, and a page outside.
# Usage: DocAddress.sh path/to/zeb500-cli
CLI=$1
source "$(dirname "$0")/ShellTestSupport.sh"
export ZEB500_HOME="$WORK/home"
doc="$ZEB500_HOME/documentation"
mkdir -p "$doc/ENU" "$doc/FRA"
for page in ENU/introduction.html FRA/introduction.html ENU/terminal.html; do echo "<p>$page</p>" > "$doc/$page"; done

expect() {
    local got
    got=$("$CLI" doc-address "$@" 2>"$WORK/err.txt") || fail "doc-address $* exited with $?"
    [ "$got" = "$EXPECTED" ] || fail "doc-address $*: expected '$EXPECTED', got '$got'"
}
EXPECTED="$doc/FRA/introduction.html#top" expect --lang FRA "file://$doc/ENU/introduction.html#top"
EXPECTED="$doc/ENU/terminal.html" expect --lang ESP "$doc/FRA/terminal.html"
EXPECTED="web https://example.org/%41" expect "https://example.org/%41"
EXPECTED="$doc/ENU/introduction.html" expect --lang ENU /etc/passwd
grep -q "not in a documentation folder" "$WORK/err.txt" || fail "no note for a page outside: $(cat "$WORK/err.txt")"
