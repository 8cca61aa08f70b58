# bash completion for vantor-mic: commands, options, setting names, key names and ports.
_vantor_mic() {
  local cur prev words cword
  cur="${COMP_WORDS[COMP_CWORD]}"
  prev="${COMP_WORDS[COMP_CWORD - 1]}"
  local commands="list show set check backup restore diagnose help"
  local common="--port --timeout --json --verbose --all-ports --help"
  local keys="F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12"

  case "$prev" in
    --port)
      local ports=(/dev/ttyACM* /dev/ttyUSB* /dev/serial/by-id/* /dev/rfcomm*)
      COMPREPLY=($(compgen -W "${ports[*]}" -- "$cur"))
      COMPREPLY=("${COMPREPLY[@]/*\*/}")  # patterns that matched no file
      return
      ;;
    --timeout) return ;;
  esac

  local command="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case " $commands " in *" $word "*) command="$word"; break ;; esac
  done

  if [ -z "$command" ]; then
    if [[ "$cur" == -* ]]; then
      COMPREPLY=($(compgen -W "$common --version" -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    fi
    return
  fi

  case "$command" in
    list) COMPREPLY=($(compgen -W "$common --no-probe" -- "$cur")) ;;
    show) COMPREPLY=($(compgen -W "$common --all" -- "$cur")) ;;
    help) COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
    diagnose) COMPREPLY=($(compgen -W "$common" -- "$cur")) ;;
    backup | restore)
      if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "$common --all --force" -- "$cur"))
      else
        COMPREPLY=($(compgen -f -- "$cur"))
      fi
      ;;
    set | check)
      if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "$common --all --dry-run --force" -- "$cur"))
      elif [[ "$cur" == centre=* || "$cur" == center=* ]]; then
        COMPREPLY=($(compgen -P "${cur%%=*}=" -W "$keys" -- "${cur#*=}"))
      elif [[ "$cur" == left=* || "$cur" == right=* ]]; then
        COMPREPLY=($(compgen -P "${cur%%=*}=" -W "$keys off" -- "${cur#*=}"))
      elif [[ "$cur" == mute=* ]]; then
        COMPREPLY=($(compgen -P "mute=" -W "on off" -- "${cur#*=}"))
      else
        COMPREPLY=($(compgen -W "centre= left= right= mute=" -- "$cur"))
        [ "$command" = check ] && COMPREPLY+=($(compgen -f -- "$cur"))
        compopt -o nospace 2>/dev/null
      fi
      ;;
  esac
}
complete -F _vantor_mic vantor-mic
