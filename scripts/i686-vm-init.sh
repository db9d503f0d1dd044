#!/bin/busybox sh
# /init of the i686 guest's initramfs (busybox alone): loads the drivers the
# guest needs, puts the host's root (a read-only 9p share) under a writable
# overlay kept on the virtio disk, mounts the read-write share the host reads
# the results from, and hands over to scripts/i686-vm-guest.sh of the host's tree.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

fail() {
  echo "i686-vm-init: $*" >/dev/console
  echo o >/proc/sysrq-trigger
  sleep 60
}

# The modules, in dependency order, as listed when the initramfs was made.
while read -r module; do
  insmod "/modules/$module" || fail "insmod $module failed"
done </modules/order

share= guest_script=
for word in $(cat /proc/cmdline); do
  case $word in
    quilo.share=*) share=${word#quilo.share=} ;;
    quilo.script=*) guest_script=${word#quilo.script=} ;;
  esac
done
[ -n "$share" ] && [ -n "$guest_script" ] || fail "quilo.share and quilo.script must be on the kernel command line"

mkdir -p /lower /disk /newroot
mount -t 9p -o ro,trans=virtio,version=9p2000.L,msize=512000,cache=loose hostroot /lower ||
  fail "the host's root could not be mounted"
# The writable layer keeps extended attributes (Wine stores the hidden
# attribute in one), which tmpfs here does not.
mount -t ext4 /dev/vda /disk || fail "the writable disk could not be mounted"
mkdir -p /disk/upper /disk/work
mount -t overlay overlay -o lowerdir=/lower,upperdir=/disk/upper,workdir=/disk/work /newroot ||
  fail "the overlay could not be mounted"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 quilo-share "/newroot$share" ||
  fail "the result share could not be mounted"
mount --move /proc /newroot/proc
mount --move /sys /newroot/sys
mount --move /dev /newroot/dev
exec switch_root /newroot /bin/bash "$guest_script" "$share"
