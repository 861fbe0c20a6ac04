# Helpers of the scenario tests (sourced inside the scenario's namespace,
# with WINEPREFIX set and the sample-product helpers loaded).

passed=0
failed=0

check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok   - $what"
  else failed=$((failed + 1)); echo "FAIL - $what"; fi
}

scenario_summary() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# The user's temporary directory inside the prefix (host path).
temp_dir() {
  local d
  for d in "$WINEPREFIX"/drive_c/users/*/AppData/Local/Temp "$WINEPREFIX"/drive_c/users/*/Temp; do
    case $d in *"/Public/"*) continue ;; esac
    [ -d "$d" ] && { echo "$d"; return; }
  done
  echo "$WINEPREFIX/drive_c/users/$USER/AppData/Local/Temp"
}

# The run log, converted from the ANSI code page 936 to UTF-8.
log_text() { iconv -f GBK -t UTF-8 "$(temp_dir)/vovov_uninst.log" 2>/dev/null; }
# Not grep -q: it would stop reading early, and under pipefail the writer's
# broken pipe would count as a failure.
log_has() { log_text | grep -F -- "$1" >/dev/null; }

# run_program TIMEOUT WINDOWS_OR_HOST_PATH ARGS... ; sets EXIT_CODE
run_program() {
  local limit=$1; shift
  EXIT_CODE=0
  timeout "$limit" wine "$@" >>"$SCENARIO_WORK/wine.log" 2>&1 || EXIT_CODE=$?
}

new_guid_name() {
  python3 -c 'import uuid; u=uuid.uuid4(); s=str(u).upper().split("-"); s[2]=s[2].lower(); print("{" + "-".join(s) + "}.tmp")'
}

# wait_ready HOST_FILE: waits (up to 30 s) until a helper program created it.
wait_ready() {
  local i
  for ((i = 0; i < 300; i++)); do [ -e "$1" ] && return 0; sleep 0.1; done
  echo "timed out waiting for $1"
  return 1
}

# release PID...: ends helper programs this scenario started (they hold a
# file, library or mutex for as long as the test needs it).
release() {
  local pid
  for pid in "$@"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
}
