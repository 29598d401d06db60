# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for kadrix-tool: commands first, then each command's
# options and the files it takes.
_kadrix_tool() {
    local cur prev words cword
    _init_completion || return

    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W 'type jpg ico emf snap avi mp4 webm gif --help --version' -- "$cur"))
        return
    fi
    local command=${words[1]}
    if [[ $cur == -* ]]; then
        case $command in
            type) COMPREPLY=($(compgen -W '--code --help' -- "$cur")) ;;
            snap) COMPREPLY=($(compgen -W '--count --help' -- "$cur")) ;;
            *) COMPREPLY=($(compgen -W '--help' -- "$cur")) ;;
        esac
        return
    fi
    case $command in
        type) _filedir ;;
        jpg | ico | emf) _filedir bmp ;;
        snap)
            # X Y W H are numbers; only the last argument is a file.
            [[ $prev == --count ]] && return
            _filedir bmp
            ;;
        avi)
            if [[ $cword -eq 3 ]]; then
                _filedir avi
            elif [[ $cword -gt 3 ]]; then
                _filedir bmp
            fi
            ;;
        mp4 | webm | gif) _filedir avi ;;
    esac
} && complete -F _kadrix_tool kadrix-tool
