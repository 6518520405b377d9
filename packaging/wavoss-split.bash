# bash completion for wavoss-split: its options, folders after -o and
# --log-dir, a file after --plan, a cut list after -c, WAV files and folders
# for the PATHs.
_wavoss_split()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        -o | --output | --log-dir)
            _filedir -d
            return
            ;;
        --plan)
            _filedir
            return
            ;;
        -c | --cuts)
            _filedir '@(cue|txt|csv)'
            return
            ;;
        -l | --length | -N | --parts | -S | --max-size | --pause-min | --name | --min-piece | --at)
            # a length, count, size, level or template, typed by the user
            return
            ;;
        --pause-level)
            # a level in dB, or one found from each file
            COMPREPLY=($(compgen -W 'auto' -- "$cur"))
            return
            ;;
        --channels)
            COMPREPLY=($(compgen -W 'each' -- "$cur"))
            return
            ;;
        -h | --help | --version)
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '-l --length -N --parts -S --max-size -m --markers
            -p --pause --pause= --pause-min --pause-level -P --every-pause
            --min-piece --trim -c --cuts --at --cuts-beside --name --dry-run --plan
            --channels --share-blocks
            -o --output --log-dir -q --quiet -n --no-clobber -h --help --version' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi
    _filedir wav
} &&
    complete -F _wavoss_split wavoss-split
