#!/usr/bin/env bash
# Runs a command inside the i686 guest (see scripts/i686-vm.sh), in the current
# folder, and exits with its exit code; for running 32-bit programs on a machine
# that cannot execute 32-bit x86 code. A command that runs Windows programs
# wraps them as on the host, for example:
#   scripts/in-i686-vm.sh scripts/with-wine-env.sh build/i686 ctest --test-dir build/i686 -R bridge
# As a shorthand, a command starting with ctest runs inside with-wine-env.sh
# of the build tree that its --test-dir names:
#   scripts/in-i686-vm.sh ctest --test-dir build/i686 -R bridge --output-on-failure
# Each run boots a fresh guest (a few seconds) whose writes are thrown away; a
# Wine prefix is made afresh in it (about a minute).
set -u
if [ $# -eq 0 ]; then
  echo "usage: scripts/in-i686-vm.sh COMMAND [ARGS...]" >&2
  exit 2
fi
. "$(dirname "$0")/i686-vm.sh"

if [ "$1" = ctest ]; then
  test_dir=
  previous=
  for argument in "$@"; do
    case $previous in --test-dir) test_dir=$argument ;; esac
    case $argument in --test-dir=*) test_dir=${argument#--test-dir=} ;; esac
    previous=$argument
  done
  if [ -z "$test_dir" ]; then
    echo "in-i686-vm: ctest needs --test-dir naming an i686 build tree" >&2
    exit 2
  fi
  set -- "$quilo_vm_source_dir/scripts/with-wine-env.sh" "$test_dir" "$@"
fi
quilo_vm_run "$@"
