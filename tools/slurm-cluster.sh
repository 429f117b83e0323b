#!/usr/bin/env bash
# A throw-away one-node Slurm cluster on this machine, everything inside one folder.
#   tools/slurm-cluster.sh start DIR   starts munged, slurmctld and slurmd; waits until the node
#                                      is idle; prints the line to source: export SLURM_CONF=...
#   tools/slurm-cluster.sh stop DIR    cancels every job, ends the daemons, removes DIR
# Needs root (the daemons run as SlurmUser=root) and Debian's slurmctld, slurmd, slurm-client and
# munge. Client commands need SLURM_CONF=DIR/etc/slurm.conf.
set -euo pipefail

usage() {
    echo "Usage: $0 start|stop DIR" >&2
    exit 2
}
[ $# -eq 2 ] || usage
action=$1
dir=$2

# A pid counts as the daemon only while it is not a zombie and still carries the daemon's name:
# process 1 here reaps late, and pids are reused.
alive() {
    local pid=$1 name=$2 state comm
    [ -r "/proc/$pid/stat" ] || return 1
    state=$(sed -E 's/^[0-9]+ \(.*\) ([A-Za-z]).*/\1/' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ "$state" != Z ] || return 1
    comm=$(cat "/proc/$pid/comm" 2>/dev/null) || return 1
    [ "$comm" = "$name" ]
}

# Ends one daemon by its pid file: TERM, up to 5 s of grace, then KILL.
end_daemon() {
    local pidfile=$1 name=$2 pid i
    [ -s "$pidfile" ] || return 0
    pid=$(cat "$pidfile")
    [[ "$pid" =~ ^[0-9]+$ ]] || return 0
    alive "$pid" "$name" || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < 50; i++)); do
        alive "$pid" "$name" || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    for ((i = 0; i < 20; i++)); do
        alive "$pid" "$name" || return 0
        sleep 0.1
    done
    echo "slurm-cluster: $name ($pid) did not end" >&2
}

start() {
    if [ -e "$dir/etc/slurm.conf" ]; then
        echo "slurm-cluster: $dir already holds a cluster; stop it first" >&2
        exit 2
    fi
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    mkdir -p "$dir"/{etc,munge,run,log,state,spool}
    chmod 0755 "$dir" "$dir/munge"
    local key=$dir/munge/munge.key socket=$dir/munge/munge.socket
    head -c 1024 /dev/urandom >"$key"
    chmod 0400 "$key"

    munged --force --origin=127.0.0.1 --key-file="$key" --socket="$socket" \
        --seed-file="$dir/munge/munge.seed" --pid-file="$dir/run/munged.pid" \
        --log-file="$dir/log/munged.log"
    if ! munge -n -S "$socket" | unmunge -S "$socket" >/dev/null; then
        echo "slurm-cluster: munge does not answer; see $dir/log/munged.log" >&2
        exit 1
    fi

    local host node memory controller_port node_port
    host=$(hostname -s)
    # The node as slurmd sees it, its memory lowered a little so the node never drains for
    # "Low RealMemory".
    node=$(slurmd -C | head -n 1 | sed -E 's/^NodeName=[^ ]+ //')
    memory=$(sed -nE 's/.*RealMemory=([0-9]+).*/\1/p' <<<"$node")
    node=$(sed -E "s/RealMemory=[0-9]+/RealMemory=$((memory * 95 / 100))/" <<<"$node")

    # Ports of our own, so that a Slurm already on this machine (or another test's) is no matter.
    local ports
    ports=$(python3 -c 'import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
    read -r controller_port node_port <<<"$ports"

    cat >"$dir/etc/slurm.conf" <<EOF
ClusterName=strandix
SlurmctldHost=$host(127.0.0.1)
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$controller_port
SlurmdPort=$node_port
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/run/slurmctld.pid
SlurmdPidFile=$dir/run/slurmd.pid
SlurmctldLogFile=$dir/log/slurmctld.log
SlurmdLogFile=$dir/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SchedulerParameters=batch_sched_delay=0
MinJobAge=5
MailProg=/bin/true
ReturnToService=2
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
NodeName=$host NodeAddr=127.0.0.1 $node State=UNKNOWN
PartitionName=main Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
    export SLURM_CONF=$dir/etc/slurm.conf
    slurmctld -f "$SLURM_CONF"
    slurmd -f "$SLURM_CONF"

    local i state=""
    for ((i = 0; i < 300; i++)); do
        state=$(sinfo -h -o %t 2>/dev/null | head -n 1 || true)
        [ "$state" = idle ] && break
        sleep 0.1
    done
    if [ "$state" != idle ]; then
        echo "slurm-cluster: the node is '${state:-not there}' after 30 s; see $dir/log" >&2
        exit 1
    fi
    echo "export SLURM_CONF=$SLURM_CONF"
}

stop() {
    [ -d "$dir" ] || return 0
    dir=$(cd "$dir" && pwd)
    if [ -e "$dir/etc/slurm.conf" ]; then
        export SLURM_CONF=$dir/etc/slurm.conf
        if [ -s "$dir/run/slurmctld.pid" ] && alive "$(cat "$dir/run/slurmctld.pid")" slurmctld; then
            scancel --user=root 2>/dev/null || true
            local i
            for ((i = 0; i < 100; i++)); do
                [ -z "$(squeue -h 2>/dev/null || echo unknown)" ] && break
                sleep 0.1
            done
        fi
    fi
    end_daemon "$dir/run/slurmd.pid" slurmd
    end_daemon "$dir/run/slurmctld.pid" slurmctld
    end_daemon "$dir/run/munged.pid" munged
    rm -rf "$dir"
}

case $action in
    start) start ;;
    stop) stop ;;
    *) usage ;;
esac
