# bash completion for quarvel-cli.
# The commands, their operands and options are read from the program's own usage texts, so a new
# command completes without a change here; only the values that name files or folders are known here.

_quarvel_cli_usage()
{
    LC_ALL=C "$1" "${@:2}" --help 2>/dev/null
}

_quarvel_cli()
{
    local cur prev words cword
    _init_completion || return
    local program=$1

    case $prev in
        --device)
            _filedir
            [[ -z $cur ]] && COMPREPLY+=(/dev/tty{USB,ACM}*)
            return ;;
        --config) _filedir -d; return ;;
        -o) _filedir '@(csv|png|svg)'; return ;;
        --baud) COMPREPLY=($(compgen -W '1200 2400 4800 9600 19200 38400 57600 115200' -- "$cur")); return ;;
        --port | --wait | --fuse | --lock | --interval | --minutes | --comment | --pack | --limits | --size) return ;;
    esac

    local general synopsis command="" i
    general=$(_quarvel_cli_usage "$program")
    # An option followed by an upper-case word takes a value: that word is no command.
    local valued
    valued=$(grep -oE -- '-[-a-z]+ +[A-Z]' <<<"$general" | awk '{print $1}')
    for ((i = 1; i < cword; i++)); do
        if grep -qxF -- "${words[i]}" <<<"$valued"; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done
    local global_options
    global_options=$(awk '/^Options of every command:/ {on = 1; next} on && /^  -/ {print $1}' <<<"$general")

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$global_options" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$(awk '/^Commands:/ {on = 1; next} on && /^  / {print $1; next} {on = 0}' \
                <<<"$general")" -- "$cur"))
        fi
        return
    fi

    synopsis=$(_quarvel_cli_usage "$program" "$command" | sed -n 's/^usage: [^ ]* //p')
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$global_options $(grep -oE -- '(^| |\[)-[-a-z]+' <<<"$synopsis" | tr -d ' [')" \
            -- "$cur"))
        return
    fi
    local word after_option=""
    for word in $synopsis; do
        # A value of an option (-o FILE.csv) is no operand.
        [[ -n $after_option ]] && { after_option=""; continue; }
        [[ $word == ?(\[)-* ]] && { after_option=1; [[ $word == *\] ]] && after_option=""; continue; }
        case $word in
            [a-z]*\|*) COMPREPLY=($(compgen -W "${word//|/ }" -- "$cur")); return ;;
            FILE.* | RECORD.*) _filedir "${word#*.}"; return ;;
            FILE) _filedir; return ;;
        esac
    done
}
complete -F _quarvel_cli quarvel-cli
