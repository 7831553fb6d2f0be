#!/bin/sh
# wine_path PATH: a Linux path as Wine sees it, on drive Z: with backslashes. A relative path
# is made absolute first (it need not exist yet). Source this file for the function, or run
# it with the path as its argument.
wine_path() {
  case "$1" in
    /*) printf 'Z:%s' "$1" | tr '/' '\\' ;;
    *) printf 'Z:%s' "$(realpath -m -- "$1")" | tr '/' '\\' ;;
  esac
}

case "$0" in
  *wine-path.sh) [ $# -eq 1 ] && wine_path "$1" ;;
esac
