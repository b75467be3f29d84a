#!/usr/bin/env bash
# The README's recipe for a batch over other machines, run as it stands, with alpha
# and beta two names (in an ssh config of the check's own) for an sshd it starts on
# the loopback address with keys of its own, whose PATH finds the zerova under test.
# Each document must come back as a local `zerova -o` writes it, byte for byte,
# jobs must have run on both names, and nothing may be left on the remote side.
# Usage: parallel_over_ssh_test.sh ZEROVA DATA_DIR; exits 77 (skipped) without
# ssh, sshd, rsync or GNU parallel (scripts/install-deps.sh test installs them).
set -euo pipefail
zerova=$(realpath "$1") data=$2
sshd=$(command -v sshd || echo /usr/sbin/sshd) # re-executed, so by its absolute path
for tool in ssh ssh-keygen rsync "$sshd"; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool" && exit 77; }
done
parallel --version 2>/dev/null | grep -q '^GNU parallel' ||
  { echo "skipped: no GNU parallel" && exit 77; }

user=$(id -un)
remote_home=$(getent passwd "$user" | cut -d: -f6) # where sshd starts the remote side
scratch=$(mktemp -d)
batch=$(basename "$scratch") # the batch's folder, of a name of its own there too
sshd_pid="" remote_batch=""
trap 'set +e; [ -z "$sshd_pid" ] || kill "$sshd_pid"; wait; rm -rf "$scratch" "$remote_batch"' EXIT
fail() { echo "FAILED: $*; sshd's log:"; cat "$scratch/sshd.log"; exit 1; } >&2 2>/dev/null
[ ! -e "$remote_home/$batch" ] || fail "$remote_home/$batch is in the way"
remote_batch=$remote_home/$batch # ours from here on

for key in host_key user_key; do ssh-keygen -q -t ed25519 -N '' -C '' -f "$scratch/$key"; done
# As root, sshd wants the folder its system service makes, for privilege separation.
if [ "$(id -u)" -eq 0 ]; then mkdir -p -m 0755 /run/sshd; fi
for _ in 1 2 3 4 5; do # a free high port: sshd stops at once when its port is taken
  port=$((20000 + RANDOM % 40000))
  cat >"$scratch/sshd_config" <<EOF
ListenAddress 127.0.0.1:$port
HostKey $scratch/host_key
AuthorizedKeysFile $scratch/user_key.pub
AllowUsers $user
PermitRootLogin prohibit-password
PasswordAuthentication no
UsePAM no
StrictModes no
PermitUserRC no
PidFile none
SetEnv "PATH=$(dirname "$zerova"):$PATH"
EOF
  # Stopped by the trap, or by the end of this script however it ends (even killed).
  setpriv --pdeathsig TERM -- "$sshd" -D -f "$scratch/sshd_config" -E "$scratch/sshd.log" &
  sshd_pid=$!
  for _ in $(seq 100); do
    grep -q 'Server listening' "$scratch/sshd.log" 2>/dev/null && break 2
    kill -0 "$sshd_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$sshd_pid" 2>/dev/null || true
  wait "$sshd_pid" || true
  sshd_pid=""
done
[ -n "$sshd_pid" ] || fail "sshd did not start"
cat >"$scratch/ssh_config" <<EOF
Host alpha beta
  HostName 127.0.0.1
  Port $port
  User $user
  IdentityFile $scratch/user_key
  IdentitiesOnly yes
  UserKnownHostsFile $scratch/known_hosts
  StrictHostKeyChecking yes
  BatchMode yes
EOF
echo "[127.0.0.1]:$port $(cat "$scratch/host_key.pub")" >"$scratch/known_hosts"

mkdir -p "$scratch/work/$batch" "$scratch/home/.parallel"
touch "$scratch/home/.parallel/will-cite" # parallel's notice, in a home of the check's own
names=(basic booleans dates formulas numbers western-text)
for name in "${names[@]}"; do cp "$data/$name/input.xlsx" "$scratch/work/$batch/$name.xlsx"; done
cd "$scratch/work"
HOME=$scratch/home PATH=$(dirname "$zerova"):$PATH \
  parallel --ssh "ssh -F $scratch/ssh_config" --joblog "$scratch/jobs" \
  -S :,alpha,beta --trc {.}.xml zerova -q -o {.}.xml {} ::: "$batch"/*.xlsx ||
  fail "parallel exited $?"

for name in "${names[@]}"; do
  "$zerova" -q -o "$scratch/local.xml" "$batch/$name.xlsx"
  cmp "$scratch/local.xml" "$batch/$name.xml" || fail "$name.xml differs from a local run's"
  rm "$scratch/local.xml"
done
hosts=" $(awk -F '\t' 'NR > 1 { print $2 }' "$scratch/jobs" | sort -u | paste -sd ' ') "
[[ $hosts == *" alpha "* && $hosts == *" beta "* ]] || fail "the jobs ran on$hosts only"
[ ! -e "$remote_batch" ] || fail "$remote_batch was left on the remote side"
echo "${#names[@]} documents came back from${hosts}as a local run writes them"
