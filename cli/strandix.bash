# bash completion for strandix. Keep the option lists equal to what `strandix --help' and
# `strandix proximity --help' print; the test cli_option_docs checks them.
_strandix() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local options="--max-skip --span --width-from --width-to --min-width --max-width --no-reverse
        --exclude-direct --min-skip --ignore-numbers --alphabet --keep-finals -o --output --open --legend
        --json --places -y --yes -q --quiet --controls --control-kind --seed --threads --report
        --expected --shard -h --help --version --list --expected-els --min-letters
        --max-letters --delta-constant --min-triples --permutations --control-text --triples
        --influence"
    local proximity_options="--expected-els --min-letters --max-letters --delta-constant
        --min-triples --list --permutations --seed --control-text --shard --threads --alphabet
        --keep-finals --ignore-numbers --json --triples --report -o --output -q --quiet -y --yes
        --influence -h --help"
    ((COMP_CWORD > 1)) && [[ ${COMP_WORDS[1]} == proximity ]] && options=$proximity_options

    case $prev in
        --max-skip | --span | --width-from | --width-to | --min-width | --max-width | --min-skip | \
            --controls | --seed | --threads | --shard | --expected-els | --min-letters | \
            --max-letters | --delta-constant | --min-triples | --permutations)
            # A number follows: nothing to offer.
            COMPREPLY=()
            return 0
            ;;
        --control-kind)
            mapfile -t COMPREPLY < <(compgen -W "letters words keywords" -- "$cur")
            return 0
            ;;
        --control-text)
            mapfile -t COMPREPLY < <(compgen -W "letters words lines words-in-lines" -- "$cur")
            return 0
            ;;
        --alphabet)
            mapfile -t COMPREPLY < <(compgen -W "latin hebrew greek auto" -- "$cur")
            return 0
            ;;
        -o | --output | --report | --list | --document)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return 0
            ;;
    esac

    # strandix merge [--json] [--report FILE.html] [--document FILE] PARTIAL...
    if ((COMP_CWORD > 1)) && [[ ${COMP_WORDS[1]} == merge ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--json --report --document --influence --help" -- "$cur")
        else
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        fi
        return 0
    fi

    # After "--" every word is a document or keyword.
    local word ended=0
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        [[ $word == -- ]] && ended=1
    done
    if [[ $cur == -* && $ended == 0 ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return 0
    fi
    # The document (and keywords, which are free text); first, the merge command too.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    if ((COMP_CWORD == 1)); then
        [[ merge == "$cur"* ]] && COMPREPLY+=(merge)
        [[ proximity == "$cur"* ]] && COMPREPLY+=(proximity)
    fi
}
complete -F _strandix strandix
