#!/bin/sh
# tests/cli/man_page_lists_tools.sh MAPQUILL_TOOLS PAGE VERSION
# The installed manual page has an entry for every tool that --help lists and
# renders without a warning; --version prints the version of the build.
tools="$1" page="$2" version="$3"
fail() { echo "$*" >&2; exit 1; }
names=$("$tools" --help | sed -n '/^Tools:$/,/^$/s/^  \([^ ][^ ]*\) .*/\1/p')
[ "$(echo "$names" | wc -w)" -ge 10 ] || fail "too few tools in --help: $names"
for name in $names; do
  grep -qxF ".B $(echo "$name" | sed 's/-/\\-/g')" "$page" || fail "$page has no entry for $name"
  grep -qxF ".SS $(echo "$name" | sed 's/-/\\-/g')" "$page" || fail "$page has no options of $name"
done
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man -l $page: $warnings"
[ "$("$tools" --version)" = "mapquill-tools $version" ] || fail "--version: $("$tools" --version)"
