# Runs inside the scenario's network namespace: test server, wineserver, the
# scenario script with its helpers, and the clean-up.
set -uo pipefail
script=$1
here=$SOURCE_DIR/scripts/lib
. "$here/wine-env.sh"
. "$here/sample-product.sh"
wine_env "$BUILD_DIR" "$SCENARIO_WORK/prefix"

python3 "$SOURCE_DIR/tools/testserver.py" --port 18080 --log "$SCENARIO_WORK/requests.jsonl" \
  ${SCENARIO_ANSWERS:+--answers "$SCENARIO_ANSWERS"} &
server_pid=$!
wineserver -p
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$server_pid" 2>/dev/null || true
}
trap cleanup EXIT

. "$SOURCE_DIR/tests/scenario/lib.sh"
. "$script"
scenario_summary
