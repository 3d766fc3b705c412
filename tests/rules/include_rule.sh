#!/usr/bin/env bash
# The game's folders reach the media layer only through its public headers, and never talk to
# the libraries under it. Prints every include that breaks the rule and fails if there is one.
#   include_rule.sh <src folder>
set -euo pipefail
src=${1:?usage: include_rule.sh <src folder>}

public='display|image|text|sound|input|system|files|media'
libraries='SDL|AL/|png\.h|pngconf|jpeglib|jerror|jconfig|jmorecfg|vorbis/|ogg/|ft2build|freetype|FT_|zlib'

status=0
for folder in shell menu level play; do
  [ -d "$src/$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    if [[ $text =~ \"media/ ]] && ! [[ $text =~ \"media/($public)\.h\" ]]; then
      echo "$file:$line: includes the media layer's internals: $text"
      status=1
    elif [[ $text =~ [\<\"]($libraries) ]]; then
      echo "$file:$line: includes a library the media layer wraps: $text"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "$src/$folder" || true)
done
exit $status
