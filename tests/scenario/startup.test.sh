# Start-up of the real program in a prefix with the sample product installed:
# the log and its banner, the exit code, and which directory a relocated run
# may delete at its end.

install_sample_product "$BUILD_DIR"
product=$SAMPLE_PRODUCT_HOST
temp=$(temp_dir)

# A first run from the installation directory starts, logs and ends with 0.
run_program 60 "$product/Uninstall.exe"
check "first run exits with 0" test "$EXIT_CODE" -eq 0
check "log begins with the banner (CR CR LF)" \
  bash -c "head -c 40 '$temp/vovov_uninst.log' | od -An -c | tr -s ' ' | grep -q '\\\\r \\\\r \\\\n = = ='"
check "log has the start line with the command line" log_has "start, command line:"

# A relocated or restore run typed by hand in the installation directory
# deletes nothing there.
for switches in "/READYUNINSTALL" "/READYUNINSTALL /K"; do
  run_program 60 "$product/Uninstall.exe" $switches
  check "hand-made $switches run exits with 0" test "$EXIT_CODE" -eq 0
  check "installation directory is left alone after $switches" \
    test -f "$product/Uninstall.exe" -a -f "$product/zuzire.exe" -a -f "$product/Utils/7z.dll" -a -f "$product/config.set"
done
check "refusal is logged" log_has "own directory C:\Program Files (x86)\Zuzire is not a relocation directory, left in place"

# So does one started from a directory under Temp that is not GUID-named.
mkdir -p "$temp/NotRelocation"
cp "$BUILD_DIR/Uninstall.exe" "$temp/NotRelocation/"
run_program 60 "$temp/NotRelocation/Uninstall.exe" /READYUNINSTALL
check "non-GUID directory under Temp survives" test -f "$temp/NotRelocation/Uninstall.exe"

# A relocated run in its own GUID-named directory under Temp loads the packed
# setup configuration, then removes the directory: at once what it can, the
# running executable and the loaded 7z.dll at the next restart.
reloc=$temp/$(new_guid_name)
mkdir -p "$reloc/Utils"
cp "$BUILD_DIR/Uninstall.exe" "$reloc/"
cp "$BUILD_DIR/deps/7z.dll" "$reloc/"
printf 'x' > "$reloc/Utils/Oribel.dll"
before=$(ls "$temp" | grep -c '^{' || true)
run_program 60 "$reloc/Uninstall.exe" /READYUNINSTALL
check "relocated run exits with 0" test "$EXIT_CODE" -eq 0
check "packed setup configuration is loaded" log_has "init config success, version 1.2.1.8888"
check "relocation directory's unlocked content is deleted" test ! -e "$reloc/Utils"
check "unpacked configuration directory is removed at exit" \
  test "$(ls "$temp" | grep -c '^{' || true)" -eq "$before"
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | tr -d '\0\r')
check "the rest is scheduled for deletion at restart" grep -qiF "$(basename "$reloc")" <<<"$pending"
wine wineboot -r >/dev/null 2>&1
check "after a restart the relocation directory is gone" test ! -e "$reloc"

# A copy whose signature is not the publisher's stops before reading anything.
reloc3=$temp/$(new_guid_name)
mkdir -p "$reloc3"
osslsigncode remove-signature -in "$BUILD_DIR/Uninstall.exe" -out "$reloc3/Uninstall.exe" >/dev/null
cp "$BUILD_DIR/deps/7z.dll" "$reloc3/"
run_program 60 "$reloc3/Uninstall.exe" /READYUNINSTALL /S
check "unsigned copy: pre init check fails with 2" log_has "pre init check failed, ret = 2"
check "unsigned copy: its directory is kept" test -f "$reloc3/7z.dll"

# Without 7z.dll beside it the copy reports the archive library damaged.
reloc4=$temp/$(new_guid_name)
mkdir -p "$reloc4"
cp "$BUILD_DIR/Uninstall.exe" "$reloc4/"
run_program 60 "$reloc4/Uninstall.exe" /READYUNINSTALL /S
check "missing 7z.dll: pre init check fails with 3" log_has "pre init check failed, ret = 3"

# Without the App Paths value the relocated run ends quietly with 0 (silent: no box).
reg32 delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\zuzire.exe' /v path /f
reloc2=$temp/$(new_guid_name)
mkdir -p "$reloc2"; cp "$BUILD_DIR/Uninstall.exe" "$reloc2/"
run_program 60 "$reloc2/Uninstall.exe" /READYUNINSTALL /S
check "missing install directory: exit code 0" test "$EXIT_CODE" -eq 0
check "missing install directory is logged" log_has "install directory not found"

# While the installer holds the shared mutex, the uninstaller refuses to run.
wine "$BUILD_DIR/tests/data/test_program.exe" --hold-mutex ZeloWallPaperInstaller 60000 'C:\mutex.ready' >/dev/null 2>&1 &
holder=$!
wait_ready "$WINEPREFIX/drive_c/mutex.ready"
run_program 60 "$product/Uninstall.exe" /S
check "second instance exits with 0" test "$EXIT_CODE" -eq 0
check "second instance is logged" log_has "CheckSingleInstance failed, exit"
release "$holder"

check "nothing was sent anywhere" test ! -s "$SCENARIO_WORK/requests.jsonl"
