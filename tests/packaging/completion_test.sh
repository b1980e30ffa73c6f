#!/usr/bin/env bash
# The bash completion of tarnel-cli, as bash-completion calls it.
#   completion_test.sh TARNEL_CLI COMPLETION_FILE
set -uo pipefail
cli=$1
[[ -r /usr/share/bash-completion/bash_completion ]] || { echo "SKIP: no bash-completion"; exit 77; }
# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion && source "$2" || exit 1
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
printf '%s,0A0B0C0D0E0%s,__:__,__:__,__:__,__:__,__:__,__:__,__:__,__:__,10.0.0.%s\r\n' \
    'My PC' 1 1 'My Mac' 2 2 "It's mine" 3 3 '名前 です' 4 4 >"$dir/my book.lst"
book="'$dir/my book.lst'" failed=0
# expect "WORD..." "WANTED" WHAT: completes the last of the words as they were typed.
expect() {
    COMP_WORDS=(tarnel-cli "${@:1:$#-1}") COMP_CWORD=$(($# - 1)) COMP_LINE="tarnel-cli ${*:1:$#-1}"
    COMP_POINT=${#COMP_LINE} COMPREPLY=()
    _tarnel_cli "$cli" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    local got
    got=$(IFS='|' && echo "${COMPREPLY[*]}")
    [[ $got == "${!#}" ]] || { echo "FAIL: tarnel-cli ${*:1:$#-1}: got '$got', not '${!#}'"; failed=1; }
}
expect "" "list|wake|getmac"
expect list --file "$book" -- "--help|--version|--file|--json|--names"
expect getmac -- "--help|--version|--file"
expect wake --file "$book" 'My\ PC' --h "--help|--host"
expect wake --port 9 --file "$book" 'My\ ' "My PC|My Mac"
expect --file="$book" wake "'It" "It's mine"
expect --file "$book" wake 名 "名前 です"
expect wake --wait 10 "--file=$dir/none" "" ""
exit $failed
