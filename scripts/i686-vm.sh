# Sourced by the scripts that run 32-bit programs on a machine that cannot
# execute 32-bit x86 code: a full-system emulator (qemu, TCG; no KVM needed)
# boots Debian's own x86-64 kernel, whose IA-32 emulation is on, and runs a
# command on the host's own root, so the guest sees the host's Wine, compilers'
# output and build trees at the same paths, with nothing copied. The host's
# root is shared read-only; writes go to an overlay on a fresh disk image and
# are thrown away with it, except the command's output and exit code, which
# come back through a second, read-write share.
#
# The kernel (fetched with apt-get download, unpacked, not installed) and the
# initramfs are made once and kept in QUILO_VM_DIR (default build/i686-vm).

quilo_vm_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUILO_VM_DIR=${QUILO_VM_DIR:-$quilo_vm_source_dir/build/i686-vm}

# The drivers the guest loads from its initramfs; their own dependencies are
# added from the kernel's modules.dep. ext4 asks for crc32c by name only.
quilo_vm_modules=(virtio_pci 9pnet_virtio 9p overlay crc32c_generic ext4 virtio_blk)

quilo_vm_log() { echo "i686-vm: $*" >&2; }

# The kernel package Debian's linux-image-amd64 points at now.
quilo_vm_listed_kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*-amd64\)$/\1/p' | head -n 1
}

# Without package lists (a machine that never ran apt-get update) they are fetched once.
quilo_vm_kernel_package() {
  local package
  package=$(quilo_vm_listed_kernel_package)
  if [ -z "$package" ] && [ "$(id -u)" = 0 ]; then
    apt-get update -qq >/dev/null 2>&1
    package=$(quilo_vm_listed_kernel_package)
  fi
  echo "$package"
}

# Module file names (relative to the modules folder) in load order, each after
# what it depends on. Usage: quilo_vm_module_order MODULES_DIR NAME...
quilo_vm_module_order() {
  local modules_dir=$1
  shift
  python3 - "$modules_dir" "$@" <<'PYTHON'
import sys

modules_dir, wanted = sys.argv[1], sys.argv[2:]
depends = {}
by_name = {}
with open(f"{modules_dir}/modules.dep") as dep:
    for line in dep:
        path, _, rest = line.partition(":")
        depends[path] = rest.split()
        name = path.rsplit("/", 1)[-1].split(".ko")[0]
        by_name[name] = path
        by_name[name.replace("-", "_")] = path

order = []
def visit(path):
    if path in order:
        return
    for dependency in depends[path]:
        visit(dependency)
    order.append(path)

for name in wanted:
    if name not in by_name:
        sys.exit(f"no module {name} in {modules_dir}")
    visit(by_name[name])
print("\n".join(order))
PYTHON
}

# Makes the kernel and initramfs once; returns non-zero, with the reason on
# standard error, when they cannot be made.
quilo_vm_prepare() {
  local tool package
  for tool in qemu-system-x86_64 busybox depmod mkfs.ext4; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      quilo_vm_log "$tool is missing (scripts/setup.sh installs it)"
      return 1
    fi
  done
  mkdir -p "$QUILO_VM_DIR"
  (
    flock 9
    package=$(quilo_vm_kernel_package)
    if [ -z "$package" ]; then
      quilo_vm_log "no kernel package found (apt-cache depends linux-image-amd64)"
      exit 1
    fi
    local version=${package#linux-image-}
    local init_digest
    init_digest=$(cat "$quilo_vm_source_dir/scripts/i686-vm-init.sh" /bin/busybox | md5sum | cut -d' ' -f1)
    local stamp="$package $init_digest ${quilo_vm_modules[*]}"
    if [ -f "$QUILO_VM_DIR/ready" ] && [ "$(cat "$QUILO_VM_DIR/ready")" = "$stamp" ]; then
      exit 0
    fi
    quilo_vm_log "making the guest's kernel and initramfs ($package)"
    rm -rf "$QUILO_VM_DIR/kernel" "$QUILO_VM_DIR/initramfs" "$QUILO_VM_DIR/ready"
    mkdir -p "$QUILO_VM_DIR/kernel" "$QUILO_VM_DIR/initramfs"
    (cd "$QUILO_VM_DIR/kernel" && apt-get download "$package" >/dev/null 2>&1) || {
      quilo_vm_log "apt-get download $package failed"
      exit 1
    }
    dpkg-deb -x "$QUILO_VM_DIR"/kernel/"$package"_*.deb "$QUILO_VM_DIR/kernel/tree" || exit 1
    local modules_dir=$QUILO_VM_DIR/kernel/tree/lib/modules/$version
    depmod -b "$QUILO_VM_DIR/kernel/tree" "$version" || exit 1
    local order
    order=$(quilo_vm_module_order "$modules_dir" "${quilo_vm_modules[@]}") || exit 1

    local root=$QUILO_VM_DIR/initramfs/root module
    mkdir -p "$root"/{bin,proc,sys,dev,modules}
    cp /bin/busybox "$root/bin/busybox"
    ln -s busybox "$root/bin/sh"
    install -m 755 "$quilo_vm_source_dir/scripts/i686-vm-init.sh" "$root/init"
    : >"$root/modules/order"
    for module in $order; do
      cp "$modules_dir/$module" "$root/modules/"
      basename "$module" >>"$root/modules/order"
    done
    (cd "$root" && find . | busybox cpio -o -H newc 2>/dev/null) >"$QUILO_VM_DIR/initramfs.cpio" || exit 1
    cp "$QUILO_VM_DIR/kernel/tree/boot/vmlinuz-$version" "$QUILO_VM_DIR/vmlinuz"
    rm -rf "$QUILO_VM_DIR/kernel" "$QUILO_VM_DIR/initramfs"
    echo "$stamp" >"$QUILO_VM_DIR/ready"
  ) 9>"$QUILO_VM_DIR/.lock"
}

# Runs a command in the guest, in the current folder, with the current
# environment (less the display and the session's own variables); its output
# appears on standard output as it is written, and its exit code is returned.
# A guest that does not run the command at all returns 125 with the reason.
# QUILO_VM_MEMORY (MiB, default 8192), QUILO_VM_CPUS (default: the host's) and
# QUILO_VM_TIMEOUT (seconds, default 5400) size and bound the guest.
# Usage: quilo_vm_run COMMAND [ARGS...]
quilo_vm_run() {
  quilo_vm_prepare || return 125
  local run_dir
  mkdir -p "$QUILO_VM_DIR/runs"
  run_dir=$(mktemp -d "$QUILO_VM_DIR/runs/run.XXXXXX") || return 125
  local disk=$run_dir.disk
  truncate -s 32G "$disk" && mkfs.ext4 -q -F "$disk" || {
    quilo_vm_log "the guest's disk could not be made"
    rm -rf "$run_dir" "$disk"
    return 125
  }

  local name
  {
    for name in $(compgen -e); do
      case $name in
        DISPLAY | XAUTHORITY | WAYLAND_DISPLAY | XDG_RUNTIME_DIR | DBUS_SESSION_BUS_ADDRESS | SSH_* | PWD | OLDPWD | SHLVL | _ | TERM) ;;
        *) printf 'export %s=%q\n' "$name" "${!name}" ;;
      esac
    done
    printf 'export QUILO_VM_WORKDIR=%q\n' "$PWD"
    printf 'export QUILO_IN_I686_VM=1\n'
    printf 'quilo_vm_command=(%s)\n' "$(printf '%q ' "$@")"
  } >"$run_dir/environment.sh"
  : >"$run_dir/output"

  local started=$SECONDS
  timeout --kill-after=30 "${QUILO_VM_TIMEOUT:-5400}" qemu-system-x86_64 \
    -accel tcg,thread=multi -cpu max,smap=off,la57=off \
    -smp "${QUILO_VM_CPUS:-$(nproc)}" -m "${QUILO_VM_MEMORY:-8192}" \
    -kernel "$QUILO_VM_DIR/vmlinuz" -initrd "$QUILO_VM_DIR/initramfs.cpio" \
    -append "console=ttyS0 panic=1 quiet quilo.share=$run_dir quilo.script=$quilo_vm_source_dir/scripts/i686-vm-guest.sh" \
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
    -virtfs "local,path=$run_dir,mount_tag=quilo-share,security_model=none" \
    -drive "file=$disk,if=virtio,format=raw,cache=unsafe" \
    -nic none -display none -no-reboot -serial "file:$run_dir/console.log" -monitor none \
    >"$run_dir/qemu.log" 2>&1 &
  local qemu_pid=$!
  # An interrupted run (ctest's time limit, ^C) takes its guest down with it.
  trap 'kill "$qemu_pid" 2>/dev/null; exit 130' INT TERM
  tail -n +1 -f --pid="$qemu_pid" "$run_dir/output"
  wait "$qemu_pid"
  local qemu_status=$? status
  trap - INT TERM
  if [ -f "$run_dir/exit-code" ]; then
    status=$(cat "$run_dir/exit-code")
  else
    quilo_vm_log "the guest ended without running the command to its end (qemu's status $qemu_status after $((SECONDS - started)) s); its console:"
    tail -n 30 "$run_dir/console.log" "$run_dir/qemu.log" >&2
    status=125
  fi
  # The disk is large and sparse; its contents are of no use after the run.
  rm -f "$disk"
  [ -n "${QUILO_VM_KEEP_RUN:-}" ] || rm -rf "$run_dir"
  return "$status"
}
