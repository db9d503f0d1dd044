#!/bin/bash
# Runs inside the i686 guest, on the host's own root (under a writable overlay):
# finishes the system's mounts, runs the command the host left in the share
# with the host's environment and working directory, writes its exit code
# beside its output and powers the guest off.
# Usage (from the guest's /init): i686-vm-guest.sh SHARE_DIR
share=$1
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /run
hostname i686-guest 2>/dev/null
# The host's X and Wine sockets and locks show through the overlay; the guest's
# own servers start without them (only the overlay loses them, the host keeps
# them). The rest of the host's /tmp stays: the work tree may well be there.
rm -rf /tmp/.X11-unix /tmp/.X*-lock /tmp/.wine-* 2>/dev/null
ip link set lo up 2>/dev/null

read -r uptime _ </proc/uptime
echo "i686-vm: the guest is up after ${uptime%.*} s" >>"$share/output"

# The host's environment and the command, as the host wrote them.
. "$share/environment.sh"
cd "$QUILO_VM_WORKDIR" || echo "i686-vm: no folder $QUILO_VM_WORKDIR in the guest" >>"$share/output"
"${quilo_vm_command[@]}" >>"$share/output" 2>&1 </dev/null
echo $? >"$share/exit-code.tmp"
mv "$share/exit-code.tmp" "$share/exit-code"
sync
echo o >/proc/sysrq-trigger
sleep 60
