# The demo, inside its network namespace.
set -euo pipefail
here=$SOURCE_DIR/scripts/lib
. "$here/wine-env.sh"
. "$here/sample-product.sh"
wine_env "$BUILD_DIR" "$DEMO_DIR/prefix"

pids=()
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

python3 "$SOURCE_DIR/tools/testserver.py" --port 18080 --log "$DEMO_DIR/requests.jsonl" &
pids+=($!)

shots=""
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:77
  sleep 1
  xcompmgr >/dev/null 2>&1 &
  pids+=($!)
  shots=$DEMO_DIR/screenshots
  mkdir -p "$shots"
fi

wineserver -p
install_sample_product "$BUILD_DIR"
echo "sample product installed in $SAMPLE_PRODUCT_DIR ($SAMPLE_PRODUCT_HOST)"

echo "running Uninstall.exe from the installation directory..."
wine "$SAMPLE_PRODUCT_HOST/Uninstall.exe" >"$DEMO_DIR/wine.log" 2>&1 &
run=$!
if [ -n "$shots" ]; then
  for i in 1 2 3; do sleep 2; import -display "$DISPLAY" -window root "$shots/shot-$i.png" 2>/dev/null || true; done
fi
wait "$run" && rc=0 || rc=$?
# The first run hands over to its relocated copy: wait for that one too.
wait_for_prefix_programs Uninstall.exe 1200

log=$(ls "$WINEPREFIX"/drive_c/users/*/Temp/vovov_uninst.log "$WINEPREFIX"/drive_c/users/*/AppData/Local/Temp/vovov_uninst.log 2>/dev/null | head -n1 || true)
echo "exit code: $rc"
echo "installation directory now holds:"
(cd "$SAMPLE_PRODUCT_HOST" 2>/dev/null && find . | sort | sed 's/^/  /') || echo "  (removed)"
echo "requests the program sent: $(wc -l < "$DEMO_DIR/requests.jsonl" 2>/dev/null || echo 0)"
[ -n "$shots" ] && echo "screenshots: $shots"
if [ -n "$log" ]; then
  echo "run log: $log"
  echo "---"
  iconv -f GBK -t UTF-8 "$log"
fi
