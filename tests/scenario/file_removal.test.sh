# File removal in a real prefix: only the product's top-level entries go, the
# user's stay; a locked file is moved away and deleted at the next start;
# registry-listed paths never reach outside the installation directory; the
# RunOnce batch file takes what cannot be scheduled; protected folders are
# never emptied.

driver=$BUILD_DIR/tests/data/file_removal_driver.exe
holder=$BUILD_DIR/tests/data/test_program.exe
cp "$SOURCE_DIR/resources/UninstallRootDirFileList.xml" "$WINEPREFIX/drive_c/rootlist.xml"
list='C:\rootlist.xml'

install_sample_product "$BUILD_DIR"
dir=$SAMPLE_PRODUCT_DIR
p=$SAMPLE_PRODUCT_HOST
temp=$(temp_dir)

# The product's tree, with entries the product does not own.
printf 'notes' > "$p/my notes.txt"                      # the user's: unlisted, unsigned
mkdir -p "$p/MyWallpapers"; printf 'img' > "$p/MyWallpapers/beach.jpg"
cp "$BUILD_DIR/tests/data/signed_publisher.exe" "$p/Extra.exe"   # unlisted but signed by the publisher
cp "$BUILD_DIR/tests/data/signed_other.exe" "$p/Foreign.exe"     # unlisted, someone else's signature
printf 'ini' > "$p/settings.ini"; chmod a-w "$p/settings.ini"    # listed, read-only
mkdir -p "$p/resources/sub"; printf 'x' > "$p/resources/sub/deep.bin"; chmod a-w "$p/resources/sub/deep.bin"
printf 'cache' > "$p/update.cache"                               # listed, will be held open
cp "$BUILD_DIR/tests/data/7z.dll" "$p/libcef.dll"                # listed, will be loaded by a process
printf 'old' > "$p/resources/left.tmp"
# Registry-listed paths: one inside, two pointing outside.
printf 'outside' > "$p/../outside.txt"
printf 'victim' > "$WINEPREFIX/drive_c/victim.txt"
mkdir -p "$p/provider"; printf 'dll' > "$p/provider/rovirazozu.dll"
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\zuzire.exe\file_list'
reg32 add "$key" /v "$(printf 'x%.0s' {1..300})" /t REG_SZ /d 1 /f   # over-long: skipped, not the end
reg32 add "$key" /v 'provider\rovirazozu.dll' /t REG_SZ /d 1 /f
reg32 add "$key" /v '..\outside.txt' /t REG_SZ /d 1 /f
reg32 add "$key" /v 'C:\victim.txt' /t REG_SZ /d 1 /f

wine "$holder" --hold "$dir\\update.cache" 60000 'C:\held.ready' >/dev/null 2>&1 &
holder_pid=$!
wine "$holder" --load "$dir\\libcef.dll" 60000 'C:\loaded.ready' >/dev/null 2>&1 &
loader_pid=$!
wait_ready "$WINEPREFIX/drive_c/held.ready"
wait_ready "$WINEPREFIX/drive_c/loaded.ready"
run_program 120 "$driver" remove "$dir" "$list"
cat "$SCENARIO_WORK/wine.log" | grep total= || true

check "user's file stays" test -f "$p/my notes.txt"
check "user's folder stays" test -f "$p/MyWallpapers/beach.jpg"
check "foreign-signed file stays" test -f "$p/Foreign.exe"
check "unlisted entries are logged" log_has "File NOT exists in xml: MY NOTES.TXT"
check "unlisted entries are logged while counting and while deleting" \
  test "$(log_text | grep -c 'File NOT exists in xml: MYWALLPAPERS')" -eq 2
check "publisher-signed unlisted file is deleted" test ! -e "$p/Extra.exe"
check "listed program is deleted" test ! -e "$p/zuzire.exe"
check "read-only listed file is deleted" test ! -e "$p/settings.ini"
check "listed folder with a read-only file is deleted" test ! -e "$p/resources"
check "deleted files are logged" log_has "Delete File: $dir\\zuzire.exe"
check "registry-listed file inside is deleted" test ! -e "$p/provider/rovirazozu.dll"
check "registry-listed path climbing out is left alone" test -f "$p/../outside.txt"
check "registry-listed absolute path is left alone" test -f "$WINEPREFIX/drive_c/victim.txt"
check "skipped registry paths are logged" log_has "skip registry file entry outside"
check "an over-long registry name is skipped" log_has "skip registry file entry longer than 259 characters"
check "installation directory with user files stays" log_has "remove directory $dir failed."

# A file held open without delete sharing can be neither deleted nor moved:
# it is queued and scheduled for deletion at restart under its own name.
check "held file is queued and its move refused" log_has "cut $dir\\update.cache to temp failed, delete by pending"
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | tr -d '\0\r')
check "held file is scheduled for deletion at restart" grep -qiF 'Zuzire\update.cache' <<<"$pending"
# A loaded library can be moved though: it goes into Temp, scheduled there.
check "loaded library is no longer at its place" test ! -e "$p/libcef.dll"
moved=$(log_text | sed -n 's/.*cut .*libcef\.dll to \(.*\) success.*/\1/p' | tr -d '\r' | head -n1)
check "loaded library was cut to the temporary directory" test -n "$moved"
check "its new name is scheduled for deletion" log_has "write $moved to pending success"
release "$holder_pid" "$loader_pid"
moved_host=$temp/$(basename "${moved//\\//}")
check "moved library waits in Temp until the restart" test -f "$moved_host"
check "held file waits in place until the restart" test -f "$p/update.cache"
wine wineboot -r >/dev/null 2>&1
check "after a restart the moved library is gone" test ! -e "$moved_host"
check "after a restart the held file is gone" test ! -e "$p/update.cache"
check "after a restart the user's files remain" test -f "$p/my notes.txt" -a -f "$p/MyWallpapers/beach.jpg"
check "no batch file without need" test -z "$(ls "$temp" | grep -i '^vrk.*\.bat$' || true)"

# When the system takes no restart list, the batch file does the work.
mkdir -p "$WINEPREFIX/drive_c/Zuzire2"
p2=$WINEPREFIX/drive_c/Zuzire2; dir2='C:\Zuzire2'
cp "$BUILD_DIR/tests/data/7z.dll" "$p2/libcef.dll"; printf 'b' > "$p2/zuzire.exe"
wine "$holder" --load "$dir2\\libcef.dll" 60000 'C:\loaded2.ready' >/dev/null 2>&1 &
holder_pid=$!
wait_ready "$WINEPREFIX/drive_c/loaded2.ready"
run_program 120 "$driver" remove "$dir2" "$list" --no-schedule
release "$holder_pid"
bat=$(ls "$temp" | grep -i '^vrk.*\.bat$' | head -n1)
check "a batch file is written" test -n "$bat"
if [ -n "$bat" ]; then
  check "its last line deletes the batch itself" \
    bash -c "tail -n1 '$temp/$bat' | tr -d '\r' | grep -qiE '^del /q \".*\\\\$bat\" \$'"
  runonce=$(wine 'C:\windows\syswow64\reg.exe' query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' 2>/dev/null | tr -d '\r')
  check "it is registered under RunOnce" grep -qiF "$bat" <<<"$runonce"
  moved2=$(log_text | sed -n 's/.*cut .*Zuzire2\\libcef\.dll to \(.*\) success.*/\1/p' | tr -d '\r' | head -n1)
  check "the loaded library was cut to Temp" test -n "$moved2"
  check "the moved file is written to the batch" log_has "write to runonce bat: $moved2"
  wine cmd /c "C:\\users\\$(basename "$(dirname "$temp")")\\Temp\\$bat" >/dev/null 2>&1 || \
    wine cmd /c "$(wine winepath -w "$temp/$bat" 2>/dev/null)" >/dev/null 2>&1
  check "running the batch deletes the moved file" test ! -e "$temp/$(basename "${moved2//\\//}")"
  check "running the batch deletes the batch" test ! -e "$temp/$bat"
fi

# On a drive other than the Windows drive, a locked file is moved into that
# drive's own hidden "X:\.temp", so the move never leaves the volume.
mkdir -p "$SCENARIO_WORK/ddrive/Zuzire"
ln -sfn "$SCENARIO_WORK/ddrive" "$WINEPREFIX/dosdevices/d:"
cp "$BUILD_DIR/tests/data/7z.dll" "$SCENARIO_WORK/ddrive/Zuzire/libcef.dll"
wine "$holder" --load 'D:\Zuzire\libcef.dll' 60000 'C:\loaded3.ready' >/dev/null 2>&1 &
holder_pid=$!
wait_ready "$WINEPREFIX/drive_c/loaded3.ready"
run_program 120 "$driver" remove 'D:\Zuzire' "$list"
release "$holder_pid"
check "library on D: is cut into D:\.temp" log_has 'cut D:\Zuzire\libcef.dll to D:\.temp\{'
check "D:\.temp holds the moved library" test -n "$(ls "$SCENARIO_WORK/ddrive/.temp" 2>/dev/null)"
attributes=$(wine cmd /c attrib 'D:\.temp' 2>/dev/null | tr -d '\r')
check "D:\.temp is hidden" grep -q '^ *H\|^....H\| H ' <<<"$attributes"
check "D:\.temp itself is scheduled after its content" log_has 'write D:\.temp to pending success'

# Folders that hold the system or the user's data are never emptied.
for protected in 'C:\' 'C:\windows' 'C:\Program Files (x86)' 'C:\Program Files' 'C:\users' "C:\\users\\$(basename "$(dirname "$temp")")"; do
  run_program 60 "$driver" protected "$protected"
  check "protected: $protected" test "$EXIT_CODE" -eq 0
done
check "refusals are logged" log_has "refuse to delete all files in C:\\windows"
check "the Windows folder is intact" test -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
