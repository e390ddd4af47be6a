#!/usr/bin/env bash
# Checks the documentation's links: every relative link and image of the
# Markdown files points to an existing file or folder, and every #anchor to
# a heading of the file it names (anchors made from headings as the usual
# Markdown renderers make them: lower case, punctuation dropped, spaces to
# hyphens, "-1", "-2" ... for repeated headings). Links in code are not
# links. Addresses with a scheme (https:, mailto: ...) are left alone.
#   scripts/check-docs.sh [ROOT [FILE.md ...]]
# Without files: README.md and docs/*.md of ROOT (the sources by default).
# Prints each broken link as "file:line: target: reason" and exits 1.
set -uo pipefail
# Headings and file names hold accented letters: a UTF-8 locale makes the
# letter classes and the lower-casing below see them as letters.
export LC_ALL=C.UTF-8

root=${1:-$(dirname "$0")/..}
shift || true
cd "$root" || { echo "check-docs: no folder $root" >&2; exit 2; }
if [[ $# -eq 0 ]]; then
    set -- README.md docs/*.md
fi

# The anchor of a heading's text.
slug() {
    local s=${1,,}
    s=${s//[^[:alnum:] _-]/}
    s=${s// /-}
    printf '%s' "$s"
}

# Prints the lines of a Markdown file that are not code, as "N<TAB>text",
# with code spans blanked: fenced blocks, indented blocks after a blank line.
prose() {
    local n=0 fence='' indented=0 previous_blank=1 line
    while IFS= read -r line || [[ -n $line ]]; do
        n=$((n + 1))
        line=${line%$'\r'}
        if [[ -n $fence ]]; then
            [[ $line =~ ^[[:space:]]*$fence ]] && fence=''
            continue
        fi
        if [[ $line =~ ^[[:space:]]{0,3}(\`\`\`|~~~) ]]; then
            fence=${BASH_REMATCH[1]}
            continue
        fi
        if [[ $line =~ ^(\ {4}|$'\t') ]] && ((previous_blank || indented)); then
            indented=1
            continue
        fi
        indented=0
        if [[ $line =~ ^[[:space:]]*$ ]]; then
            previous_blank=1
            continue
        fi
        previous_blank=0
        # Code spans: `...` holds no link.
        while [[ $line =~ \`[^\`]*\` ]]; do
            line=${line/"${BASH_REMATCH[0]}"/code}
        done
        printf '%d\t%s\n' "$n" "$line"
    done <"$1"
}

declare -A anchors_of # file -> " anchor1 anchor2 ... "
anchors() {
    local file=$1
    [[ -n ${anchors_of[$file]+set} ]] && return
    local -A seen=()
    local list=' ' n text a
    while IFS=$'\t' read -r n text; do
        [[ $text =~ ^\ {0,3}#{1,6}[[:space:]]+(.*)$ ]] || continue
        text=${BASH_REMATCH[1]}
        text=$(sed -E 's/[[:space:]]+#+[[:space:]]*$//; s/!?\[([^]]*)\]\([^)]*\)/\1/g' <<<"$text")
        a=$(slug "$text")
        if [[ -n ${seen[$a]+set} ]]; then
            seen[$a]=$((seen[$a] + 1))
            a="$a-${seen[$a]}"
        else
            seen[$a]=0
        fi
        list+="$a "
    done < <(prose "$file")
    anchors_of[$file]=$list
}

broken=0
checked=0
report() {
    echo "$1:$2: $3: $4"
    broken=$((broken + 1))
}

for file in "$@"; do
    if [[ ! -f $file ]]; then
        report "$file" 0 "$file" "no such file"
        continue
    fi
    dir=$(dirname "$file")
    while IFS=$'\t' read -r n text; do
        targets=()
        # Inline links and images: [text](target "title").
        while [[ $text =~ \]\(([^\)[:space:]]*)([[:space:]]+\"[^\"]*\")?\) ]]; do
            targets+=("${BASH_REMATCH[1]}")
            text=${text#*"${BASH_REMATCH[0]}"}
        done
        # Reference definitions: [name]: target
        if [[ $text =~ ^\ {0,3}\[[^]]+\]:[[:space:]]+([^[:space:]]+) ]]; then
            targets+=("${BASH_REMATCH[1]}")
        fi
        for target in "${targets[@]}"; do
            checked=$((checked + 1))
            if [[ -z $target ]]; then
                report "$file" "$n" "(empty)" "empty link"
                continue
            fi
            [[ $target =~ ^[A-Za-z][A-Za-z0-9+.-]*: ]] && continue
            path=${target%%#*}
            anchor=''
            [[ $target == *#* ]] && anchor=${target#*#}
            path=${path//%20/ }
            if [[ -z $path ]]; then
                resolved=$file
            elif [[ $path == /* ]]; then
                resolved=.$path
            else
                resolved=$dir/$path
            fi
            if [[ ! -e $resolved ]]; then
                report "$file" "$n" "$target" "no such file or folder"
                continue
            fi
            [[ -z $anchor ]] && continue
            if [[ ! -f $resolved || $resolved != *.md ]]; then
                report "$file" "$n" "$target" "an anchor into a file that is not Markdown"
                continue
            fi
            anchors "$resolved"
            if [[ ${anchors_of[$resolved]} != *" $anchor "* ]]; then
                report "$file" "$n" "$target" "no heading with this anchor"
            fi
        done
    done < <(prose "$file")
done

if ((broken > 0)); then
    echo "check-docs: $broken broken of $checked links in $# files"
    exit 1
fi
echo "check-docs: $checked links in $# files, all resolve"
