#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Builds the OpenCue job offline with PyOutline, checks its job XML and
# runs the command of every chunk on this machine as render nodes would; checks
# every frame, then retries one chunk and checks that it resumes.
# Usage: farm/opencue/check.sh TONEMILL WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../check_support.sh
source "$here/../check_support.sh"
# PyOutline's Cue back-end imports packaging without declaring it.
farm_check_start "$1" "$2" opencue opencue-pyoutline==1.37.0 packaging==24.2

# The outline keeps a session folder for each job it builds; here, not in $HOME.
export OUTLINE_OUTLINE_SESSION_DIR=$frames/sessions
farm_input_frames "$frames/in.%04d.exr" 1 9
out=$frames/out.%04d.exr

# Every second frame of nine in chunks of two: 1,3 then 5,7 then 9.
"$work/venv/bin/python" "$here/chunk_commands.py" "$tonemill" "$frames/in.%04d.exr" "$out" bleach-bypass 1-9x2 2 \
  > "$frames/chunks.txt"
cat "$frames/chunks.txt"
chunks=$(sed 's/.* --frames \([^ ]*\) .*/\1/' "$frames/chunks.txt" | paste -sd ' ')
if [ "$chunks" != "1,3 5,7 9-9" ]; then
  echo "opencue check: expected the chunks 1,3 5,7 9-9, the job holds: $chunks" >&2
  exit 1
fi
while IFS= read -r command; do bash -c "$command" < /dev/null; done < "$frames/chunks.txt"
farm_require_whole_frames "$out" 1 3 5 7 9
for frame in 2 4 6 8; do
  if [ -e "$(farm_frame_path "$out" "$frame")" ]; then
    echo "opencue check: frame $frame lies outside the job's frames but was rendered" >&2
    exit 1
  fi
done

# Descending frames would reach tonemill as spans its --frames refuses: the
# script refuses them before any job exists.
if "$work/venv/bin/python" "$here/tonemill_job.py" "$frames/in.%04d.exr" "$out" --look bleach-bypass \
  --frames 9-1 --xml > /dev/null 2>&1; then
  echo "opencue check: the script accepted descending frames" >&2
  exit 1
fi

run_chunk() { bash -c "$(sed -n "$1p" "$frames/chunks.txt")" > "$frames/chunk$1.log" 2>&1; }
farm_check_retry "$out" "5 7" -- run_chunk 2
rm "$(farm_frame_path "$out" 9)"
farm_check_failure_reported "$frames/in.%04d.exr" 9 -- run_chunk 3
echo "opencue check: the job rendered every second frame of 1-9 in chunks $chunks and resumed a retried chunk"
