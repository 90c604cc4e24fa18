#!/usr/bin/env bash
# Fails when the repository tracks a path that Windows cannot check out: a
# character Windows forbids in names (< > : " \ | ? * or a control
# character), a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
# with any extension) or a name ending in "." or " ".
#   scripts/check-path-names.sh [REPOSITORY]     (default: this repository)
set -euo pipefail
repo="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
bad=0
while IFS= read -r -d '' path; do
  problem=""
  if [[ "$path" =~ [\<\>:\"\\\|\?\*] || "$path" =~ [[:cntrl:]] ]]; then
    problem="a character Windows forbids"
  else
    IFS=/ read -r -a parts <<<"$path"
    for part in "${parts[@]}"; do
      base="${part%%.*}"
      if [[ "${base^^}" =~ ^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$ ]]; then
        problem="the reserved name '$base'"
      elif [[ "$part" == *. || "$part" == *" " ]]; then
        problem="a name ending in '.' or ' '"
      fi
    done
  fi
  if [ -n "$problem" ]; then
    printf 'check-path-names: %q has %s\n' "$path" "$problem" >&2
    bad=1
  fi
done < <(git -C "$repo" ls-files -z)
exit $bad
