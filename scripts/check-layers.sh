#!/usr/bin/env bash
# Every include between source folders points down the tiers: this table is the whole list of
# folder-to-folder includes allowed. Any other, or a folder the table does not know, fails.
#   scripts/check-layers.sh            (from anywhere; exit 1 on a violation)
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [core]=""
  [registry]="core"
  [os]="core"
  [profile]="core registry os"
  [catalogue]="core"
  [monitor]="core registry"
  [grid]="core"
  [tvout]="core registry"
  [modelist]="core registry os catalogue grid tvout"
  [d3dtest]="core grid"
  [app]="core registry os catalogue monitor grid tvout modelist d3dtest"
  [win]="core"
  [ui]="core registry os catalogue monitor grid tvout modelist d3dtest app win"
  [tools/hzwkctl]="core registry os profile catalogue monitor grid tvout modelist d3dtest app"
)

bad=0
folders=()
for d in src/*/ tools/*/; do
  d=${d%/}
  folders+=("${d#src/}")
done
for folder in "${folders[@]}"; do
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "check-layers: $folder is not in the table of tiers" >&2
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
[ $bad -eq 0 ] && echo "check-layers: ${#folders[@]} folders, every include points down"
exit $bad
