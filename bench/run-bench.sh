#!/usr/bin/env bash
# Runs qelbat on generated Maildir stores, side by side with the tools a user would pick
# instead, and prints a table of wall times, ratios and peak memory. See bench/README.md.
#
#   bench/run-bench.sh [-b build-dir] [-w work-dir] [-s seed] [-k] [-f] [-o row,...] [count ...]
#
# count defaults to "10000 100000". -k keeps the generated stores in the work folder for the
# next run (they are reused when count and seed match). -f runs everything on a file system of
# its own (an ext4 image in the work folder, loop-mounted; needs root). -o runs only the named
# rows (cat, cp, filter, eml, mht, txt, htm, msg, save, fsync, shortcut, reimport, mv, move,
# cpfiles, copy, ripmime, munpack, mu).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build
work=${TMPDIR:-/tmp}/trovanta-bench
seed=1
keep=0
own_fs=0
only=""
while getopts "b:w:s:kfo:" opt; do
    case $opt in
    b) build=$OPTARG ;;
    w) work=$OPTARG ;;
    s) seed=$OPTARG ;;
    k) keep=1 ;;
    f) own_fs=1 ;;
    o) only=",$OPTARG," ;;
    *) sed -n '2,12p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
counts=("$@")
[[ ${#counts[@]} -gt 0 ]] || counts=(10000 100000)
build=$(cd "$build" && pwd)
for program in qelbat regsvr; do
    [[ -x $build/bin/$program ]] || { echo "build $program in $build first" >&2; exit 2; }
done

# --- the peers -----------------------------------------------------------------------------

install_peers() {
    local missing=()
    [[ -x /usr/bin/time ]] || missing+=(time)
    command -v ripmime >/dev/null || missing+=(ripmime)
    command -v munpack >/dev/null || missing+=(mpack)
    command -v mu >/dev/null || missing+=(maildir-utils)
    [[ ${#missing[@]} -eq 0 ]] && return
    local sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# --- a file system of its own --------------------------------------------------------------

# Mounts an ext4 image (sparse, made with the defaults of mkfs.ext4) on $work/fs and moves the
# work there: the time to make a new file depends on what else the file system holds and
# recently freed, which on a shared file system varies from run to run. The image is kept
# with -k and mounted again by the next run. It is mounted without `discard`,
# ext4's default: with it, each journal commit that frees blocks waits while the loop device
# punches them out of the image, which only the rows that replace messages pay.
mount_own_fs() {
    [[ $(id -u) -eq 0 ]] || { echo "-f needs root (mount)" >&2; exit 2; }
    local image=$work/fs.img mountpoint=$work/fs
    mkdir -p "$mountpoint"
    if ! mountpoint -q "$mountpoint"; then
        if [[ ! -f $image ]]; then
            truncate -s "${BENCH_FS_SIZE:-40G}" "$image"
            mkfs.ext4 -q -F "$image"
        fi
        mount -o loop "$image" "$mountpoint"
    fi
    trap "cd /; umount '$mountpoint'; [[ $keep -eq 1 ]] || rm -f '$image'" EXIT
    work=$mountpoint
}

# --- the sandbox qelbat runs in ------------------------------------------------------------

hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | tr a-f A-F; }

setup_home() {
    rm -rf "$work/home"
    mkdir -p "$work/home"
    for lib in libtrovanta_outlook.so libtrovanta_qelutils.so; do
        TROVANTA_HOME=$work/home "$build/bin/regsvr" "$build/lib/$lib" >/dev/null
    done
}

source_section() {
    printf '[Source]\nSource=1\nEntry=%s\nStore=%s\nFullName=Mailbox \\ Inbox\nInclSubFolders=1\n' \
        "$(hex Inbox)" "$(hex Mailbox)"
}

# A filter that every message passes but that reads what a real one reads: dates, sender,
# recipients, subject and the attachment switches.
filter_section() {
    printf '[Filter]\nActive=1\nDateFrom=20000101\nDateTo=20991231\nHasAtt=1\nHasNoAtt=1\n'
    printf 'SenderInclCount=0\nSenderExclCount=1\nSenderExcl1=*@nowhere.invalid\n'
    printf 'RecipientInclCount=0\nRecipientExclCount=1\nRecipientExcl1=*@nowhere.invalid\n'
    printf 'SubjectInclCount=0\nSubjectExclCount=1\nSubjectExcl1=*no such subject*\n'
}

# The folder the move and copy rows put every message into, beside the Inbox.
dest_section() {
    printf '[%s]\nActive=1\nEntry=%s\nStore=%s\nFullName=Mailbox \\ %s\nMask=\n' "$1" "$(hex "$2")" "$(hex Mailbox)" "$2"
}

# save_section DEST AFTER-SAVE-MODE RECURSE: saves every attachment into DEST.
save_section() {
    printf '[SaveAttachments]\nActive=1\nRecurseMSG=%s\nDestPath=%s\n' "$3" "$1"
    printf 'Mask=[OR]\\[SE] - [FE]\nDuplicateMode=0\nAfterSaveMode=%s\nSaveOnlyIfSize=0\n' "$2"
}

write_jobs() {
    local jobs=$work/jobs
    mkdir -p "$jobs"
    { source_section; filter_section; printf '[ReadUnread]\nMode=1\n'; } >"$jobs/filter.qef"
    for format in txt:0 msg:1 htm:2 eml:3 mht:4; do
        { source_section
          printf '[ExportEmails]\nActive=1\nSaveFormat=%s\nDestPath=%s\n' "${format#*:}" "$work/out"
          printf 'Mask=[OR]\\[T] - [SE] - [B]\nDuplicateMode=0\nAlsoAttachments=0\nLog=0\n'
        } >"$jobs/${format%:*}.qef"
    done
    { source_section; save_section "$work/out" 0 1; } >"$jobs/save.qef"
    { source_section; save_section "$work/out" 1 0; } >"$jobs/shortcut.qef"
    # The shortcuts the reimport row puts the files back from, made before its clock starts.
    { source_section; save_section "$work/saved" 1 0; } >"$jobs/shortcut-saved.qef"
    { source_section; printf '[Reimport]\nActive=1\n'; } >"$jobs/reimport.qef"
    { source_section; dest_section MoveEmails Moved; } >"$jobs/move.qef"
    { source_section; dest_section CopyEmails1 Copied; } >"$jobs/copy.qef"
    # The plan of the durable limit: each message with attachments and the sizes of the files
    # that saving its attachments writes (attached e-mails not opened), made before the clock.
    cat >"$jobs/fsync-plan.py" <<'EOF'
import email, email.policy, os, sys
out = open(sys.argv[1], "w", encoding="utf-8", errors="surrogateescape")
for root, _, names in os.walk(sys.argv[2]):
    if os.path.basename(root) not in ("cur", "new"):
        continue
    for name in sorted(names):
        path = os.path.join(root, name)
        with open(path, "rb") as f:
            message = email.message_from_binary_file(f, policy=email.policy.default)
        sizes = []
        for part in message.iter_attachments():
            content = part.get_content()
            sizes.append(len(content.as_bytes() if hasattr(content, "as_bytes") else content))
        if sizes:
            out.write(path + "\0" + ",".join(map(str, sizes)) + "\n")
EOF
    # The limit itself: per message, every saved file written and flushed, then a copy of the
    # message written and flushed.
    cat >"$jobs/fsync-copy.py" <<'EOF'
import os, sys
out, n = sys.argv[1], 0
def write(data):
    global n
    n += 1
    fd = os.open(os.path.join(out, str(n)), os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
    os.write(fd, data)
    os.fsync(fd)
    os.close(fd)
for line in open(sys.argv[2], encoding="utf-8", errors="surrogateescape"):
    path, sizes = line.rstrip("\n").split("\0")
    data = open(path, "rb").read()
    for size in map(int, sizes.split(",")):
        write((data * (size // max(len(data), 1) + 1))[:size])
    write(data)
EOF
}

# --- measuring -----------------------------------------------------------------------------

declare -A wall peak files

# Lets the writes of the last row reach the disk, and on a file system without a journal waits
# until the inodes it freed are old: ext4 without a journal passes over inodes freed within the
# last 60 seconds when it makes new files (300 s more while their inode table is dirty), which
# slows down whichever row comes after a large delete, by up to three times for cp -r. With a
# journal (-f) nothing is passed over. BENCH_SETTLE_SECONDS sets another wait.
settle() {
    sync
    find "$store" -type f -print0 | xargs -0 cat >/dev/null
    local wait=61
    [[ $own_fs -eq 0 ]] || wait=2
    sleep "${BENCH_SETTLE_SECONDS:-$wait}"
}

# run_once ROW COMMAND...: one timed run under /usr/bin/time -v; prints its wall seconds and
# leaves what it wrote in $work/out for counting.
run_once() {
    local row=$1; shift
    rm -rf "$work/out" "$work/work-store" "$work/saved"
    mkdir -p "$work/out"
    prepare_"$row" 2>/dev/null || true
    settle
    local status=0
    /usr/bin/time -v "$@" >"$work/$row.out" 2>"$work/$row.time" </dev/null || status=$?
    [[ $status -eq 0 ]] || echo "$status" >"$work/$row.status"
    local elapsed
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/$row.time")
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.2f", s }' <<<"$elapsed"
}

# peak_of ROW: the peak resident memory of ROW's last run in MB.
peak_of() { awk '/Maximum resident set size/ { printf "%.0f", $NF / 1024 }' "$work/$1.time"; }

# measure ROW COMMAND...: runs the command and keeps its wall time, peak memory and the number
# of files it wrote to $work/out. A row that takes less than a minute runs BENCH_RUNS times
# (default 3) and its median counts, since single short runs on a shared machine vary by a
# quarter; longer rows run once.
measure() {
    local row=$1; shift
    [[ -z $only || $only == *",$row,"* ]] || return 0
    rm -f "$work/$row.status"
    local runs=${BENCH_RUNS:-3} times first
    first=$(run_once "$row" "$@")
    times=$first
    peak[$row]=$(peak_of "$row")
    if awk -v t="$first" 'BEGIN { exit !(t < 60) }'; then
        for ((i = 1; i < runs; i++)); do
            times="$times $(run_once "$row" "$@")"
            peak[$row]=$(( $(peak_of "$row") > ${peak[$row]} ? $(peak_of "$row") : ${peak[$row]} ))
        done
    fi
    wall[$row]=$(tr ' ' '\n' <<<"$times" | sort -n | awk '{ t[NR] = $1 } END { printf "%.2f", t[int((NR + 1) / 2)] }')
    files[$row]=$(find "$work/out" -type f | wc -l)
    [[ ! -f $work/$row.status ]] || files[$row]="${files[$row]} (exit $(cat "$work/$row.status"))"
    rm -rf "$work/out" "$work/work-store" "$work/saved"
    printf '  %-8s %8s s  %6s MB  %s files   (runs: %s)\n' "$row" "${wall[$row]}" "${peak[$row]}" "${files[$row]}" "$times" >&2
}

# The rows that change the store run on a copy of it, made before the clock starts.
copy_store() { cp -r "$store" "$work/work-store"; }
prepare_filter() { copy_store; }
prepare_shortcut() { copy_store; }
prepare_reimport() {
    copy_store
    env LC_ALL=C TROVANTA_HOME="$work/home" MAILDIR="$work/work-store" "$build/bin/qelbat" \
        "$work/jobs/shortcut-saved.qef" /quiet >/dev/null </dev/null
}
# mv and cp of the files put every message into one new folder, as the move and copy jobs do.
with_folder() { copy_store; mkdir -p "$work/work-store/$1/"{cur,new,tmp}; }
prepare_mv() { with_folder Moved; }
prepare_move() { with_folder Moved; }
prepare_cpfiles() { with_folder Copied; }
prepare_copy() { with_folder Copied; }
# The durable limit of a pass that saves the attachments of every message and rewrites it
# without them: each saved file and a copy of each of those messages, flushed to disk one by one.
prepare_fsync() {
    [[ $store.fsync-plan -nt $store.done ]] || python3 "$work/jobs/fsync-plan.py" "$store.fsync-plan" "$store"
}

# Every peer gets its own output folder per message, made before the clock starts, as a
# loop of a user would do; the list holds the arguments of each call.
# peer_list PREFIX [OPTION]: one entry per message, PREFIX + its folder, OPTION, its file.
peer_list() {
    local prefix=$1 option=${2:-} n=0
    (cd "$work/out" && seq 1 "$count" | xargs mkdir)
    find "$store" -type f -print0 | sort -z | while IFS= read -r -d '' f; do
        n=$((n + 1))
        printf '%s%s\0' "$prefix" "$work/out/$n"
        [[ -z $option ]] || printf '%s\0' "$option"
        printf '%s\0' "$f"
    done >"$work/peer.list"
}
prepare_ripmime() { peer_list "" -i; }
prepare_munpack() { peer_list ""; }
prepare_mu() { peer_list "--target-dir="; }

# measure_job ROW MAILDIR: qelbat runs the job file of ROW on the store MAILDIR.
measure_job() {
    measure "$1" env LC_ALL=C TROVANTA_HOME="$work/home" MAILDIR="$2" "$build/bin/qelbat" "$work/jobs/$1.qef" /quiet
}

run_rows() {
    measure cat sh -c "find '$store' -type f -print0 | xargs -0 cat >/dev/null"
    measure cp cp -r "$store" "$work/out/store"
    measure_job filter "$work/work-store"
    local format
    for format in eml mht txt htm msg; do measure_job $format "$store"; done
    measure_job save "$store"
    measure fsync python3 "$work/jobs/fsync-copy.py" "$work/out" "$store.fsync-plan"
    measure_job shortcut "$work/work-store"
    measure_job reimport "$work/work-store"
    local inbox=$work/work-store/Inbox
    measure mv sh -c "find '$inbox' -type f \\( -path '*/cur/*' -o -path '*/new/*' \\) -exec mv -t '$work/work-store/Moved/cur' {} +"
    measure_job move "$work/work-store"
    measure cpfiles sh -c "find '$inbox' -type f \\( -path '*/cur/*' -o -path '*/new/*' \\) -exec cp -t '$work/work-store/Copied/cur' {} +"
    measure_job copy "$work/work-store"
    measure ripmime sh -c "xargs -0 -n 3 ripmime -d <'$work/peer.list'"
    measure munpack sh -c "xargs -0 -n 2 munpack -q -t -C <'$work/peer.list'"
    measure mu sh -c "xargs -0 -n 2 mu extract -a --overwrite --muhome='$work/mu' <'$work/peer.list'"
}

# --- the table -----------------------------------------------------------------------------

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b + 0 == 0) print "-"; else printf "%.2f", a / b }'; }

print_table() {
    local fastest="" peer
    for peer in ripmime munpack mu; do
        [[ -n ${wall[$peer]:-} ]] || continue
        if [[ -z $fastest ]] || awk -v a="${wall[$peer]}" -v b="${wall[$fastest]}" 'BEGIN { exit !(a < b) }'; then
            fastest=$peer
        fi
    done
    printf '\n%d messages, %s, seed %s\n' "$count" "$(du -sh "$store" | cut -f1)" "$seed"
    printf '| %-28s | %8s | %7s | %9s | %10s | %9s |\n' run "wall s" limit "x limit" "x ${fastest:-peer}" "peak MB"
    printf '|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..30})" ---------- --------- ----------- ------------ -----------
    local row label limit
    for row in cat cp filter eml mht txt htm msg save fsync shortcut reimport mv move cpfiles copy ripmime munpack mu; do
        [[ -n ${wall[$row]:-} ]] || continue
        case $row in
        cat) label="cat of every file"; limit=cat ;;
        cp) label="cp -r of the store"; limit=cp ;;
        filter) label="qelbat filter + mark read"; limit=cat ;;
        eml | mht | txt | htm | msg) label="qelbat export .$row"; limit=cp ;;
        save) label="qelbat save attachments"; limit=cp ;;
        fsync) label="files + msgs, fsync each"; limit=fsync ;;
        shortcut) label="qelbat save, shortcuts"; limit=fsync ;;
        reimport) label="qelbat reimport shortcuts"; limit=fsync ;;
        mv) label="mv of every file"; limit=mv ;;
        move) label="qelbat move to a folder"; limit=mv ;;
        cpfiles) label="cp of every file"; limit=cpfiles ;;
        copy) label="qelbat copy to a folder"; limit=cpfiles ;;
        ripmime) label="ripmime per message"; limit=cp ;;
        munpack) label="munpack -t per message"; limit=cp ;;
        mu) label="mu extract -a per message"; limit=cp ;;
        esac
        printf '| %-28s | %8s | %7s | %9s | %10s | %9s |\n' "$label" "${wall[$row]}" "$limit" \
            "$(ratio "${wall[$row]}" "${wall[$limit]:-}")" "$(ratio "${wall[$row]}" "${fastest:+${wall[$fastest]}}")" "${peak[$row]}"
    done
}

# --- main ----------------------------------------------------------------------------------

install_peers
mkdir -p "$work"
[[ $own_fs -eq 0 ]] || mount_own_fs
# Temporary files (the shortcuts qelbat writes and reads back, among them) stay on the file
# system under test, as a user's go to the user's own disk or to memory.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
setup_home
write_jobs
for count in "${counts[@]}"; do
    store=$work/store-$count-$seed
    if [[ ! -f $store.done ]]; then
        rm -rf "$store"
        echo "generating $count messages in $store" >&2
        python3 "$here/generate-store.py" "$store" "$count" --seed "$seed" >&2
        touch "$store.done"
    fi
    # Read the store once, so that every row starts from the page cache alike.
    find "$store" -type f -print0 | xargs -0 cat >/dev/null
    echo "running on $count messages" >&2
    wall=() peak=() files=()
    run_rows
    print_table
    [[ $keep -eq 1 ]] || rm -rf "$store" "$store.done" "$store.fsync-plan"
done
