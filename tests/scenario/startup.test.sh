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

# A relocated run typed by hand in the installation directory deletes nothing.
run_program 60 "$product/Uninstall.exe" /READYUNINSTALL
check "hand-made relocated run exits with 0" test "$EXIT_CODE" -eq 0
check "installation directory is left alone" \
  test -f "$product/Uninstall.exe" -a -f "$product/zuzire.exe" -a -f "$product/Utils/7z.dll" -a -f "$product/config.set"
check "refusal is logged" log_has "is not a relocation directory, left in place"

# So does one started from a directory under Temp that is not GUID-named.
mkdir -p "$temp/NotRelocation"
cp "$BUILD_DIR/Uninstall.exe" "$temp/NotRelocation/"
run_program 60 "$temp/NotRelocation/Uninstall.exe" /READYUNINSTALL
check "non-GUID directory under Temp survives" test -f "$temp/NotRelocation/Uninstall.exe"

# A relocated run in its own GUID-named directory under Temp removes it.
reloc=$temp/$(new_guid_name)
mkdir -p "$reloc/Utils"
cp "$BUILD_DIR/Uninstall.exe" "$reloc/"
cp "$BUILD_DIR/deps/7z.dll" "$reloc/"
printf 'x' > "$reloc/Utils/Oribel.dll"
run_program 60 "$reloc/Uninstall.exe" /READYUNINSTALL
check "relocated run exits with 0" test "$EXIT_CODE" -eq 0
check "relocation directory content is deleted" test ! -e "$reloc/7z.dll" -a ! -e "$reloc/Utils"
if [ -e "$reloc" ]; then
  # What the running executable kept is scheduled for the next start.
  pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | tr -d '\0\r')
  check "what is left is scheduled for deletion at restart" grep -qiF "$(basename "$reloc")" <<<"$pending"
else
  check "relocation directory is gone" test ! -e "$reloc"
fi

# Without the App Paths value the relocated run ends quietly with 0 (silent: no box).
reg32 delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\zuzire.exe' /v path /f
reloc2=$temp/$(new_guid_name)
mkdir -p "$reloc2"; cp "$BUILD_DIR/Uninstall.exe" "$reloc2/"
run_program 60 "$reloc2/Uninstall.exe" /READYUNINSTALL /S
check "missing install directory: exit code 0" test "$EXIT_CODE" -eq 0
check "missing install directory is logged" log_has "install directory not found"

# While the installer holds the shared mutex, the uninstaller refuses to run.
wine "$BUILD_DIR/tests/data/test_program.exe" --hold-mutex ZeloWallPaperInstaller 8000 >/dev/null 2>&1 &
holder=$!
sleep 2
run_program 60 "$product/Uninstall.exe" /S
check "second instance exits with 0" test "$EXIT_CODE" -eq 0
check "second instance is logged" log_has "CheckSingleInstance failed, exit"
wait "$holder" || true

check "nothing was sent anywhere" test ! -s "$SCENARIO_WORK/requests.jsonl"
