#!/usr/bin/env bash
# Every include between source folders points down the tiers of src/TIERS (the one list of
# them: each folder and the folders it may include, all above it in the list). Any other
# include fails, and so do a folder the list does not know, a folder it names that is not
# above, and a README Layout that names the source folders in another order.
#   scripts/check-layers.sh            (from anywhere; exit 1 on a violation)
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=()
order=()
bad=0
while read -r folder includes; do
  case $folder in ''|'#'*) continue ;; esac
  for below in $includes; do
    if [ -z "${allowed[$below]+set}" ]; then
      echo "check-layers: src/TIERS: $folder may include $below, which is not above it" >&2
      bad=1
    fi
  done
  allowed[$folder]=$includes
  order+=("$folder")
done < src/TIERS

folders=()
for d in src/*/ tools/*/; do
  d=${d%/}
  folders+=("${d#src/}")
done
for folder in "${folders[@]}"; do
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "check-layers: $folder is not in src/TIERS" >&2
    bad=1
    continue
  fi
  dir=src/$folder
  [ -d "$dir" ] || dir=$folder
  while IFS=: read -r file line target; do
    target=${target#*\"}
    target=${target%%/*}
    [ "$target" = "${folder##*/}" ] && continue
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "check-layers: $file:$line: $folder may not include $target/" >&2; bad=1 ;;
    esac
  done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$dir" \
             --include='*.h' --include='*.cpp' --include='*.c' --include='*.rc' || true)
done

# README's Layout lists the source folders (src/X/, tools/X/) in the list's order.
listed=$(printf '%s\n' "${order[@]}" | sed '/^tools\//!s/^/src\//')
readme=$(sed -n '/^## Layout/,/^## /p' README.md | grep -oE '^    (src|tools)/[^ ]+/' | sed 's/^ *//; s/\/$//')
if [ "$listed" != "$readme" ]; then
  echo "check-layers: README's Layout does not list the folders of src/TIERS in its order:" >&2
  diff <(echo "$listed") <(echo "$readme") >&2 || true
  bad=1
fi
[ $bad -eq 0 ] && echo "check-layers: ${#folders[@]} folders, every include points down the tiers of src/TIERS"
exit $bad
