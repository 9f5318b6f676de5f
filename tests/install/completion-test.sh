#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Completes tarno-cli command lines as bash would and checks the offers.
# Arguments: <bash_completion> <tarno-cli completion> <directory of tarno-cli>
set -u
export LC_ALL=C
source "$1"
source "$2"
PATH="$3:$PATH"

offers() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tarno_cli tarno-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

failed=0
expect() {
    local want=$1
    shift
    local got
    got=$(offers "$@")
    if [[ $got != "$want" ]]; then
        echo "completing '$*': expected '$want', got '$got'"
        failed=1
    fi
}

expect "decode devices " tarno-cli de
expect "--version " tarno-cli --vers
expect "--seconds --select --signal --simulated-time " tarno-cli survey --s
# measure's help also describes --live, with the options of the acquiring commands.
expect "--demo --dt " tarno-cli measure --d
expect "--format " tarno-cli sweep --fo
expect "csv json " tarno-cli sweep --format ""
expect "--mqtt " tarno-cli log --m
exit $failed
