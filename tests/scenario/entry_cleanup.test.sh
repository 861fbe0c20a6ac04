# The product's entry points outside its installation directory go, and
# nothing else's: desktop shortcuts, the start-menu folder, the Run values in
# both registry views, the scheduled task, the uninstall entry and the driver
# service. Autorun is switched off in config.set even when the file is gone,
# and a second run over a clean machine still logs what it did. The static
# wallpaper is found through its fallbacks.
#
# The operations run in cleanup_driver.exe, which logs to the run log as the
# uninstaller does and also lays out the shortcuts, task and service.

data=$BUILD_DIR/tests/data
name='Zelo动态壁纸'
driver() { wine "$data/cleanup_driver.exe" "$@" </dev/null 2>>"$SCENARIO_WORK/driver.err"; }
# folder CSIDL: the special folder as a Windows path.
folder() { driver folder "$1" | tr -d '\r'; }
# Plain "wine reg" starts the 32-bit reg.exe here: the 64-bit view is asked for.
reg64() { wine reg "$@" /reg:64 >/dev/null 2>&1; }
# has32/has64 KEY VALUE: the value exists in the 32-bit / 64-bit registry view.
has32() { wine 'C:\windows\syswow64\reg.exe' query "$1" /v "$2" >/dev/null 2>&1; }
has64() { wine reg query "$1" /v "$2" /reg:64 >/dev/null 2>&1; }
has_key32() { wine 'C:\windows\syswow64\reg.exe' query "$1" >/dev/null 2>&1; }
data64() { wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { print $3 }'; }
data32() { wine 'C:\windows\syswow64\reg.exe' query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { print $3 }'; }
not() { ! "$@"; }
fresh_log() { rm -f "$(temp_dir)/vovov_uninst.log"; }

install_sample_product "$BUILD_DIR"
product=$SAMPLE_PRODUCT_HOST

common_desktop=$(folder 25)
user_desktop=$(folder 16)
programs=$(folder 23)
# The template links the user's desktop to the build's home; give this prefix
# a desktop of its own so that nothing is written outside it.
if [ -L "$(host_path "$user_desktop")" ]; then
  rm "$(host_path "$user_desktop")"
  mkdir "$(host_path "$user_desktop")"
fi

# --- shortcuts: the product's and someone else's -----------------------------
driver make-shortcut "$common_desktop\\$name.lnk" make-shortcut "$user_desktop\\$name.lnk" \
  make-shortcut "$common_desktop\\Other.lnk" make-shortcut "$user_desktop\\Other.lnk" \
  make-shortcut "$programs\\Other.lnk"
mkdir -p "$(host_path "$programs")/$name/帮助" "$(host_path "$programs")/Other"
driver make-shortcut "$programs\\$name\\$name.lnk" make-shortcut "$programs\\$name\\卸载$name.lnk" \
  make-shortcut "$programs\\Other\\Other.lnk"
printf 'help\r\n' >"$(host_path "$programs")/$name/帮助/readme.txt"
check "set-up: shortcuts are shell links on both desktops" \
  test -s "$(host_path "$common_desktop")/$name.lnk" -a -s "$(host_path "$user_desktop")/$name.lnk"
check "set-up: the start-menu folder holds shortcuts and a subfolder" \
  test -s "$(host_path "$programs")/$name/卸载$name.lnk" -a -f "$(host_path "$programs")/$name/帮助/readme.txt"

driver desktop-shortcuts start-menu
check "the all-users desktop shortcut is removed" test ! -e "$(host_path "$common_desktop")/$name.lnk"
check "the user's desktop shortcut is removed" test ! -e "$(host_path "$user_desktop")/$name.lnk"
check "the start-menu folder is removed with its content" test ! -e "$(host_path "$programs")/$name"
check "other shortcuts on the desktops stay" \
  test -f "$(host_path "$common_desktop")/Other.lnk" -a -f "$(host_path "$user_desktop")/Other.lnk"
check "other start-menu entries stay" \
  test -f "$(host_path "$programs")/Other.lnk" -a -f "$(host_path "$programs")/Other/Other.lnk"
check "the user's desktop is still the prefix's own" not test -L "$(host_path "$user_desktop")"

# --- autorun, uninstall entry, driver service --------------------------------
run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
reg32 add "$user_run" /v ZuziRE /t REG_SZ /d 'C:\Zuzire\zuzire.exe' /f
reg32 add "$run" /v ZuziRE /t REG_SZ /d 'C:\Zuzire\zuzire.exe' /f
reg32 add "$run" /v zuzire /t REG_SZ /d 'C:\x86\zuzire.exe' /f
reg64 add "$run" /v zuzire /t REG_SZ /d 'C:\x64\zuzire.exe' /f
reg32 add "$user_run" /v OtherApp /t REG_SZ /d 'C:\Other\other.exe' /f
reg32 add "$run" /v OtherApp /t REG_SZ /d 'C:\Other\other.exe' /f
reg64 add "$run" /v OtherApp /t REG_SZ /d 'C:\Other\other.exe' /f
reg32 add "$uninstall\\zuzire" /v DisplayName /t REG_SZ /d "$name" /f
reg32 add "$uninstall\\OtherApp" /v DisplayName /t REG_SZ /d 'Other' /f
driver make-task ZuziRE make-task OtherTask
driver make-service rodeziz
check "set-up: the two registry views hold different zuzire values" \
  test "$(data32 "$run" zuzire)" = 'C:\x86\zuzire.exe' -a "$(data64 "$run" zuzire)" = 'C:\x64\zuzire.exe'
check "set-up: the scheduled task exists" driver has-task ZuziRE
check "set-up: the driver service entry exists" driver has-service rodeziz

fresh_log
driver --install-dir "$SAMPLE_PRODUCT_DIR" autorun uninstall-entry driver rodeziz
check "config.set switches autorun off" grep -qF 'open=0' "$product/config.set"
check "config.set no longer switches it on" not grep -qF 'open=1' "$product/config.set"
check "the user's Run value ZuziRE is removed" not has32 "$user_run" ZuziRE
check "the machine's Run value ZuziRE is removed" not has32 "$run" ZuziRE
check "Run value zuzire is removed from the 32-bit view" not has32 "$run" zuzire
check "Run value zuzire is removed from the 64-bit view" not has64 "$run" zuzire
check "other Run values stay in every view" \
  eval 'has32 "$user_run" OtherApp && has32 "$run" OtherApp && has64 "$run" OtherApp'
check "the scheduled task is removed" not driver has-task ZuziRE
check "other scheduled tasks stay" driver has-task OtherTask
check "the uninstall entry is removed" not has_key32 "$uninstall\\zuzire"
check "other uninstall entries stay" has_key32 "$uninstall\\OtherApp"
check "the driver service entry is deleted" not driver has-service rodeziz
check "log: Run values" log_has "Delete AutoRun Registry, ret = 1"
check "log: scheduled task" log_has "Delete AutoRun Task Schedule, ret = 1"
check "log: uninstall entry" log_has "Delete uninstall registry"
check "log: no driver failure when the service was there" not log_has "delete pelkinsvc fail"

# A second run finds nothing left; config.set is written anew.
rm -f "$product/config.set"
fresh_log
driver --install-dir "$SAMPLE_PRODUCT_DIR" autorun uninstall-entry driver rodeziz
check "missing config.set is created as an ANSI INI file" \
  test "$(od -An -c "$product/config.set" | tr -d ' \n')" = '[auto_run]\r\nopen=0\r\n'
check "log without anything to remove: Run values" log_has "Delete AutoRun Registry, ret = 1"
check "log without a task: the task service was reached" log_has "Delete AutoRun Task Schedule, ret = 1"
check "log without an uninstall entry" log_has "Delete uninstall registry"
check "log without a driver service" log_has "delete pelkinsvc fail"

# Without an installation directory config.set is written nowhere.
fresh_log
driver --install-dir '' autorun
check "no install directory: the skip is logged" log_has "install directory is empty, config.set not written"
check "no install directory: no config.set in the Windows directory" test ! -e "$WINEPREFIX/drive_c/windows/config.set"

# --- the static wallpaper ----------------------------------------------------
desktop_key='HKCU\Control Panel\Desktop'
profile=$(host_path "$(folder 40)")
appdata=$(folder 26)
cache_win="$appdata\\Microsoft\\Windows\\Themes\\CachedFiles"
printf 'BM' >"$profile/wall.bmp"
reg64 add "$desktop_key" /v Wallpaper /t REG_SZ /d "$(folder 40)\\wall.bmp" /f
check "the wallpaper of the user's settings is taken while it exists" \
  test "$(driver wallpaper-path | tr -d '\r')" = "$(folder 40)\\wall.bmp"

rm "$profile/wall.bmp"
mkdir -p "$(host_path "$cache_win")/sub"
printf 'JPG' >"$(host_path "$cache_win")/CachedImage_1920_1080_POS4.jpg"
check "a vanished wallpaper falls back to the theme cache's file" \
  test "$(driver wallpaper-path | tr -d '\r')" = "$cache_win\\CachedImage_1920_1080_POS4.jpg"

rm "$(host_path "$cache_win")/CachedImage_1920_1080_POS4.jpg"
check "no wallpaper file anywhere gives an empty path" test -z "$(driver wallpaper-path | tr -d '\r\n')"
check "restoring the wallpaper returns although Wine's desktop object does nothing" driver restore-wallpaper
