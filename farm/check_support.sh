# shellcheck shell=bash
# Shared by the farm checks (sourced, not run): a Python environment for the
# farm's own tools, a short input sequence, and the tests every check makes of
# what a job rendered.

# The pinned PyPI packages, installed into a virtual environment at $1 so that
# the system's Python stays as it is.
farm_python_env() {
  local venv=$1
  shift
  [ -x "$venv/bin/python" ] || python3 -m venv "$venv"
  PIP_DISABLE_PIP_VERSION_CHECK=1 "$venv/bin/pip" install --quiet "$@"
}

# The start of every check. Sets tonemill, the program $1 by absolute path;
# work, the folder $2, where a Python environment gets the packages named after
# $3; and frames, a new, empty folder $3 inside it for this check's frames.
# shellcheck disable=SC2034 # the checks read tonemill
farm_check_start() {
  tonemill=$(realpath "$1")
  mkdir -p "$2"
  work=$(cd "$2" && pwd)
  if [[ $work == *%* ]]; then
    echo "farm check: the work folder $work holds a '%', which would read as part of a frame pattern" >&2
    return 1
  fi
  frames=$work/$3
  shift 3
  farm_python_env "$work/venv" "$@"
  rm -rf "$frames"
  mkdir -p "$frames"
}

# The file of frame $2 after the pattern $1 (%04d), as tonemill names it.
farm_frame_path() {
  # shellcheck disable=SC2059 # the pattern is a printf format by design
  printf "$1" "$2"
}

# Small pictures for frames $2 to $3 at the pattern $1: enough to exercise the
# chunking without the render time of full frames.
farm_input_frames() {
  local pattern=$1 frame
  for ((frame = $2; frame <= $3; frame++)); do
    oiiotool --pattern fill:topleft=0.1,0.2,0.3:topright=0.9,0.5,0.1:bottomleft=0,0.4,0.8:bottomright=0.6,0.6,0.6 \
      96x54 3 -o "$(farm_frame_path "$pattern" "$frame")"
  done
}

# Fails unless each frame named after the pattern $1 exists and reads to its
# last pixel: a frame cut short by a stopped render would not.
farm_require_whole_frames() {
  local pattern=$1 frame file
  shift
  for frame in "$@"; do
    file=$(farm_frame_path "$pattern" "$frame")
    if [ ! -f "$file" ] || ! oiiotool "$file" --printstats > /dev/null 2>&1; then
      echo "farm check: frame $frame ($file) is missing or not whole" >&2
      return 1
    fi
  done
}

# A frame's inode and modification time: tonemill writes a frame beside its
# target and renames it into place, so a frame rendered again changes both.
farm_frame_identity() {
  stat -c '%i %y' "$(farm_frame_path "$1" "$2")"
}

# Runs a chunk again, as a farm retries one, after taking away its last frame
# as if the first attempt had stopped before it: the command (after --) must
# succeed, render only that frame and leave the others as they were.
# Usage: farm_check_retry OUTPUT_PATTERN "FRAMES OF THE CHUNK" -- COMMAND...
farm_check_retry() {
  local pattern=$1 chunk frame kept=()
  read -ra chunk <<< "$2"
  shift 3
  local last=${chunk[${#chunk[@]} - 1]}
  declare -A before
  for frame in "${chunk[@]}"; do before[$frame]=$(farm_frame_identity "$pattern" "$frame"); done
  rm "$(farm_frame_path "$pattern" "$last")"
  "$@"
  farm_require_whole_frames "$pattern" "${chunk[@]}"
  for frame in "${chunk[@]}"; do
    [ "$frame" = "$last" ] && continue
    kept+=("$frame")
    if [ "$(farm_frame_identity "$pattern" "$frame")" != "${before[$frame]}" ]; then
      echo "farm check: the retried chunk rendered frame $frame again instead of skipping it" >&2
      return 1
    fi
  done
  echo "farm check: the retried chunk skipped the finished frames ${kept[*]} and rendered frame $last"
}

# Runs a chunk whose input frame $2 (after the pattern $1) is missing: the
# command (after --) must fail, which is what tells a farm to retry the chunk
# or hold the job, rather than count it done.
# Usage: farm_check_failure_reported INPUT_PATTERN FRAME -- COMMAND...
farm_check_failure_reported() {
  local input
  input=$(farm_frame_path "$1" "$2")
  shift 3
  mv "$input" "$input.away"
  if "$@"; then
    echo "farm check: a chunk with input frame $input missing reported success" >&2
    return 1
  fi
  mv "$input.away" "$input"
  echo "farm check: a chunk with an input frame missing failed, as a farm needs to see"
}
