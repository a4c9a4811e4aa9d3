# bash completion for quarvel-cli.
# The commands, their options and operands are read from the program's own usage texts, so a new
# command or option completes without a change here. What a value or an operand completes to
# follows from its name there: FILE.hex a .hex file, FILE.png|FILE.svg either, DIR a folder,
# save|load|factory one of those words.

_quarvel_cli_usage()
{
    LC_ALL=C "$1" "${@:2}" --help 2>/dev/null
}

# The options listed under the heading $2 of the usage text $1, one a line: the option and the
# name of its value ("-" for a switch).
_quarvel_cli_options()
{
    awk -v heading="$2" '
        $0 == heading {on = 1; next}
        on && /^  -/ {split($0, columns, /  +/); n = split(columns[2], w, " "); print w[1], (n > 1 ? w[2] : "-"); next}
        on && /^   / {next}
        {on = 0}' <<<"$1"
}

# Completes the current word as a value or operand named $1.
_quarvel_cli_complete_as()
{
    local name=${1#[}
    name=${name%]}
    name=${name%...}
    case $name in
        *.*)
            local kinds="" alternative
            for alternative in ${name//|/ }; do kinds+="|${alternative##*.}"; done
            _filedir "${kinds#|}" ;;
        DIR) _filedir -d ;;
        FILE) _filedir ;;
        PATH)
            _filedir
            local device
            for device in /dev/ttyUSB* /dev/ttyACM*; do
                [[ -z $cur && -e $device ]] && COMPREPLY+=("$device")
            done ;;
        RATE) COMPREPLY=($(compgen -W '1200 2400 4800 9600 19200 38400 57600 115200' -- "$cur")) ;;
        N) COMPREPLY=($(compgen -W 'auto' -- "$cur")) ;; # a port number, or auto
        *\|*) COMPREPLY=($(compgen -W "${name//|/ }" -- "$cur")) ;;
    esac
}

_quarvel_cli()
{
    local cur prev words cword
    _init_completion || return
    local program=$1

    local general
    general=$(_quarvel_cli_usage "$program")
    local global_options
    global_options=$(_quarvel_cli_options "$general" "Options of every command:")
    # An option followed by the name of its value (in a synopsis or an option line) takes a value:
    # that word is no command.
    local valued
    valued=$(grep -oE -- '-[-a-z]+ [^- []' <<<"$general" | awk '{print $1}')
    local command="" i
    for ((i = 1; i < cword; i++)); do
        if grep -qxF -- "${words[i]}" <<<"$valued"; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done

    local own="" synopsis=""
    if [[ -n $command ]]; then
        local specific
        specific=$(_quarvel_cli_usage "$program" "$command")
        own=$(_quarvel_cli_options "$specific" "Options:")
        synopsis=$(sed -n 's/^usage: [^ ]* //p' <<<"$specific")
    fi
    local option value
    while read -r option value; do
        if [[ $option == "$prev" && $value != - ]]; then
            _quarvel_cli_complete_as "$value"
            return
        fi
    done <<<"$global_options"$'\n'"$own"

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(awk '{print $1}' <<<"$global_options"$'\n'"$own")" -- "$cur"))
        return
    fi
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$(awk '/^Commands:/ {on = 1; next} on && /^  / {print $1; next} {on = 0}' \
            <<<"$general")" -- "$cur"))
        return
    fi
    # The operands: the words of the synopsis after the command that are no option or its value.
    local word skip="" operands
    read -ra operands <<<"${synopsis#* }" # no glob: "[CODE...]" is a word, not a pattern
    for word in "${operands[@]}"; do
        [[ -n $skip ]] && { skip=""; continue; }
        option=${word#[}
        option=${option%]}
        if [[ $option == -* ]]; then
            [[ $word != *\] ]] && skip=1
            continue
        fi
        _quarvel_cli_complete_as "$word"
        return
    done
}
complete -F _quarvel_cli quarvel-cli
