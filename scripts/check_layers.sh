#!/usr/bin/env bash
# Keeps the folders layered, so that the program's shape stays what the README
# draws. Fails, naming the file and the include, when
#   - a wx header is included outside a window/ folder,
#   - a file outside a window/ folder includes one inside it,
#   - a file includes a folder above its own. From the bottom up:
#       common  <  tool  <  layout  <  image  <  content  <  app
#     (each folder's window/ subfolder stands with its folder), with the
#     plain tests (tests/unit, tests/tool, tests/probe) on top, without wx.
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2

declare -A RANK=([common]=0 [tool]=1 [layout]=2 [image]=3 [content]=4 [app]=5 [tests]=6)
faults=0

while IFS= read -r file; do
  folder=${file%%/*}
  inWindow=0
  [[ $file == */window/* ]] && inWindow=1
  while IFS= read -r line; do
    if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<wx/ ]]; then
      if ((!inWindow)); then
        echo "$file: wx outside a window/ folder: $line"
        faults=$((faults + 1))
      fi
    elif [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z]+)/([^\"]*)\" ]]; then
      target=${BASH_REMATCH[1]}
      rest=${BASH_REMATCH[2]}
      [[ -n ${RANK[$target]+set} ]] || continue
      if ((RANK[$target] > RANK[$folder])); then
        echo "$file: includes $target/, a folder above $folder/: $line"
        faults=$((faults + 1))
      fi
      if [[ $rest == window/* ]] && ((!inWindow)); then
        echo "$file: a plain file includes a window/ file: $line"
        faults=$((faults + 1))
      fi
    fi
  done < "$file"
done < <(find common tool layout image content app tests/unit tests/tool tests/probe \
  \( -name '*.h' -o -name '*.cpp' \) | sort)

if ((faults > 0)); then
  echo "$faults include(s) break the layers"
  exit 1
fi
echo "layers hold"
