#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Runs the job template on this machine with openjd over a short sequence, in
# chunks as a farm would, checks every frame it rendered, then retries one
# chunk and checks that it resumes.
# Usage: farm/openjd/check.sh TONEMILL WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../check_support.sh
source "$here/../check_support.sh"
farm_check_start "$1" "$2" openjd openjd-cli==0.8.0

farm_input_frames "$frames/in.%04d.exr" 1 7
out=$frames/out.%04d.exr
run_job() {
  "$work/venv/bin/openjd" run "$here/tonemill-render.yaml" \
    -p "InputPattern=$frames/in.%04d.exr" -p "OutputPattern=$out" -p Look=bleach-bypass \
    -p Frames=1-7 -p ChunkSize=3 -p "Tonemill=$tonemill" "$@"
}

"$work/venv/bin/openjd" check "$here/tonemill-render.yaml"
# Seven frames in chunks of at most three: openjd evens them out to 1-3, 4-5, 6-7.
run_job | tee "$frames/job.log"
chunks=$(sed -n 's/.*Frame(CHUNK\[INT\]) = //p' "$frames/job.log" | paste -sd ' ')
if [ "$chunks" != "1-3 4-5 6-7" ]; then
  echo "openjd check: expected the chunks 1-3 4-5 6-7, the job ran: $chunks" >&2
  exit 1
fi
farm_require_whole_frames "$out" 1 2 3 4 5 6 7
retry_chunk() { run_job --task-param Frame=4-5 > "$frames/retry.log"; }
farm_check_retry "$out" "4 5" -- retry_chunk
fail_chunk() { run_job --task-param Frame=6-7 > "$frames/failure.log" 2>&1; }
rm "$(farm_frame_path "$out" 7)"
farm_check_failure_reported "$frames/in.%04d.exr" 7 -- fail_chunk
echo "openjd check: the job rendered frames 1-7 in chunks $chunks and resumed a retried chunk"
