#!/usr/bin/env bash
# A gsdsim sweep on a Slurm cluster: one job-array task per shard, then one
# job that merges the shards' CSV files into one table (header once, rows
# sorted by scenario), exactly the table of the whole sweep run at once.
#
#   examples/sweep_slurm.sh submit N OUTDIR DESIGN.toml --sweep KEY=VALUES [--sweep ...]
#       submits the array of N shard tasks and the merge job after it; the
#       table ends up in OUTDIR/sweep.csv
#   examples/sweep_slurm.sh shard OUTDIR DESIGN.toml --sweep ...
#       (inside an array task) runs shard $SLURM_ARRAY_TASK_ID of
#       $SLURM_ARRAY_TASK_COUNT into OUTDIR/shard-I.csv
#   examples/sweep_slurm.sh merge OUTDIR [N]
#       merges OUTDIR/shard-*.csv into OUTDIR/sweep.csv (checks that all N
#       shards are there when N is given); also usable without Slurm
#
# GSDSIM names the program (default: gsdsim on the PATH). Every task runs on
# the cores Slurm gives it (--cpus-per-task, passed on as --threads).
#SBATCH --job-name=gsdsim-sweep
#SBATCH --cpus-per-task=2
#SBATCH --time=01:00:00
#SBATCH --output=gsdsim-sweep-%A_%a.out
set -euo pipefail

gsdsim=${GSDSIM:-gsdsim}

usage() {
  sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 4
}

merge() {
  local outdir=$1 expected=${2:-}
  shopt -s nullglob
  local shards=("$outdir"/shard-*.csv)
  if [ ${#shards[@]} -eq 0 ]; then
    echo "sweep_slurm.sh: no shard-*.csv in $outdir" >&2
    exit 1
  fi
  if [ -n "$expected" ] && [ ${#shards[@]} -ne "$expected" ]; then
    echo "sweep_slurm.sh: ${#shards[@]} of $expected shards in $outdir; not merged" >&2
    exit 1
  fi
  local header
  header=$(head -n 1 "${shards[0]}")
  for shard in "${shards[@]}"; do
    if [ "$(head -n 1 "$shard")" != "$header" ]; then
      echo "sweep_slurm.sh: $shard has another header than ${shards[0]}; not merged" >&2
      exit 1
    fi
  done
  # The first column is the scenario; a stable sort keeps each scenario's
  # statistics in their order (a scenario lies in one shard only).
  { printf '%s\n' "$header"
    for shard in "${shards[@]}"; do tail -n +2 "$shard"; done | LC_ALL=C sort -s -t, -k1,1n
  } > "$outdir/sweep.csv.tmp"
  mv "$outdir/sweep.csv.tmp" "$outdir/sweep.csv"
}

[ $# -ge 1 ] || usage
mode=$1
shift
case "$mode" in
  submit)
    [ $# -ge 4 ] || usage
    count=$1 outdir=$2
    shift 2
    mkdir -p "$outdir"
    array=$(sbatch --parsable --array="1-$count" "$0" shard "$outdir" "$@")
    sbatch --dependency="afterok:${array%%;*}" --job-name=gsdsim-sweep-merge \
      --output="$outdir/merge-%j.out" "$0" merge "$outdir" "$count"
    ;;
  shard)
    [ $# -ge 3 ] || usage
    outdir=$1
    shift
    : "${SLURM_ARRAY_TASK_ID:?shard runs inside a Slurm array task}"
    : "${SLURM_ARRAY_TASK_COUNT:?shard runs inside a Slurm array task}"
    index=$SLURM_ARRAY_TASK_ID
    # Array indices run from 1 (--array=1-N), as the shards do.
    "$gsdsim" --threads "${SLURM_CPUS_PER_TASK:-1}" --shard "$index/$SLURM_ARRAY_TASK_COUNT" \
      --csv "$outdir/shard-$index.csv" "$@"
    ;;
  merge)
    [ $# -ge 1 ] || usage
    merge "$@"
    ;;
  *)
    usage
    ;;
esac
