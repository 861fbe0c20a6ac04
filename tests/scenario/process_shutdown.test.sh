# Stopping the product before its files are removed: a product that hears its
# exit event is left to exit by itself; one that does not is terminated after
# ten seconds with every other process inside the installation directory,
# but never the caller, the caller's parent, nor a process of a sibling folder
# whose name merely begins like the installation folder's; processes holding
# a given DLL are terminated; a drive root is never used for killing.
#
# Stand-ins for the product are copies of product_stand_in.exe; the operations
# run in shutdown_driver.exe, which logs to the run log as the uninstaller does.

data=$BUILD_DIR/tests/data
marks_win='C:\marks'
marks=$(host_path "$marks_win")
mkdir -p "$marks"
started=()

# start PROGRAM ARGS...: a stand-in in the background, its output in a file
# so that it never holds the test's own output.
start() {
  wine "$@" >>"$SCENARIO_WORK/standins.log" 2>&1 </dev/null &
  started+=($!)
}
# wait_ready NAME: the stand-in that was given marks\NAME.ready has set up.
wait_ready() {
  local i
  for ((i = 0; i < 100; i++)); do [ -s "$marks/$1.ready" ] && return 0; sleep 0.1; done
  echo "stand-in $1 did not get ready" >&2
  return 1
}
ready() { echo "$marks_win\\$1.ready"; }
# The checking driver lies outside every directory the operations work on.
driver() { wine 'C:\Tools\shutdown_driver.exe' "$@" </dev/null; }
running() { driver is-running "$1" >>"$SCENARIO_WORK/driver.log" 2>&1; }
# gone PATH: no process of that image any more (termination takes a moment).
gone() {
  local i
  for ((i = 0; i < 50; i++)); do running "$1" || return 0; sleep 0.1; done
  return 1
}
has_module() { driver has-module "$@" >>"$SCENARIO_WORK/driver.log" 2>&1; }
# said FILE LINE: the program printed that line (Windows line ends dropped).
said() { tr -d '\r' <"$1" | grep -qxF -- "$2"; }
not() { ! "$@"; }
fresh_log() { rm -f "$(temp_dir)/vovov_uninst.log"; }
now_ms() { date +%s%3N; }

# --- the machine: an installation directory, a sibling that shares the
# beginning of its name, a program elsewhere --------------------------------
zelo_win='C:\Apps\Zelo'
zelo=$(host_path "$zelo_win")
zelo2=$(host_path 'C:\Apps\Zelo2')
other=$(host_path 'C:\Other')
mkdir -p "$zelo/sub" "$zelo2" "$other" "$(host_path 'C:\Tools')"
for name in zuzire.exe web_helper.exe x.exe sub/y.exe; do cp "$data/product_stand_in.exe" "$zelo/$name"; done
cp "$data/product_stand_in.exe" "$zelo2/x.exe"
cp "$data/product_stand_in.exe" "$other/zuzire.exe"
cp "$data/shutdown_driver.exe" "$zelo/shutdown_driver.exe"
cp "$data/shutdown_driver.exe" "$(host_path 'C:\Tools')/shutdown_driver.exe"

# --- (a) the product exits when asked: nothing is terminated -----------------
start 'C:\Apps\Zelo\zuzire.exe' --obedient "$(ready a-zuzire)" "$marks_win\\a-zuzire.exited"
start 'C:\Apps\Zelo\web_helper.exe' --obedient "$(ready a-web)" "$marks_win\\a-web.exited"
start 'C:\Apps\Zelo\x.exe' --stubborn "$(ready a-x)"
wait_ready a-zuzire && wait_ready a-web && wait_ready a-x
fresh_log
t0=$(now_ms)
driver kill-install-path "$zelo_win" >"$SCENARIO_WORK/a.out" 2>&1
elapsed=$(($(now_ms) - t0))
check "obedient product: the wait is logged with the directory" \
  log_has "enter KillProcessesInInstallPath szTargetDir=C:\\Apps\\Zelo"
check "obedient product: zuzire.exe exited by itself on the event" test -s "$marks/a-zuzire.exited"
check "obedient product: web_helper.exe exited by itself on the event" test -s "$marks/a-web.exited"
check "obedient product: no process is terminated" not log_has "Kill process: "
check "obedient product: the killing is never reached" not log_has "enter KillMultiProcesses"
check "obedient product: no end line" not log_has "end KillProcessesInInstallPath"
check "obedient product: done well within ten seconds (${elapsed} ms)" test "$elapsed" -lt 8000
check "obedient product: another program of the directory is left running" running 'C:\Apps\Zelo\x.exe'

# --- one executable by its path: the same name elsewhere survives ------------
start 'C:\Apps\Zelo2\x.exe' --stubborn "$(ready p-x2)"
wait_ready p-x2
fresh_log
driver kill-by-path 'c:\apps\zelo\X.EXE' >"$SCENARIO_WORK/by-path.out" 2>&1
check "kill by path: the program of that path is terminated" gone 'C:\Apps\Zelo\x.exe'
check "kill by path: it is logged" log_has 'Kill process: C:\APPS\ZELO\X.EXE'
check "kill by path: the same name in another folder survives" running 'C:\Apps\Zelo2\x.exe'

# --- (b) the product ignores the event: after ten seconds everything inside
# the directory goes, except the caller and its parent -----------------------
start 'C:\Apps\Zelo\zuzire.exe' --stubborn "$(ready b-zuzire)"
start 'C:\Apps\Zelo\web_helper.exe' --stubborn "$(ready b-web)"
start 'C:\Apps\Zelo\x.exe' --stubborn "$(ready b-x)"
start 'C:\Apps\Zelo\sub\y.exe' --stubborn "$(ready b-y)"
start 'C:\Other\zuzire.exe' --stubborn "$(ready b-other)"
wait_ready b-zuzire && wait_ready b-web && wait_ready b-x && wait_ready b-y && wait_ready b-other
fresh_log
t0=$(now_ms)
# The driver in the directory starts a copy of itself there, which calls the
# operation: both the caller and its parent lie inside the directory.
wine 'C:\Apps\Zelo\shutdown_driver.exe' spawn kill-install-path "$zelo_win" >"$SCENARIO_WORK/b.out" 2>&1 </dev/null
elapsed=$(($(now_ms) - t0))
# One look about every 100 ms, not a busy loop: about a hundred passes.
passes=$(log_text | grep -cF 'process: C:\APPS\ZELO\ZUZIRE.EXE is running')
check "stubborn product: the wait polls, not spins ($passes passes)" test "$passes" -ge 10 -a "$passes" -le 110
check "stubborn product: terminated only after ten seconds (${elapsed} ms)" test "$elapsed" -ge 10000
check "stubborn product: but not much later" test "$elapsed" -lt 30000
for image in ZUZIRE.EXE WEB_HELPER.EXE X.EXE 'SUB\Y.EXE'; do
  check "stubborn product: C:\\APPS\\ZELO\\$image is terminated and logged" log_has "Kill process: C:\\APPS\\ZELO\\$image"
done
check "stubborn product: zuzire.exe is gone" gone 'C:\Apps\Zelo\zuzire.exe'
check "stubborn product: web_helper.exe is gone" gone 'C:\Apps\Zelo\web_helper.exe'
check "stubborn product: a program of a subfolder is gone" gone 'C:\Apps\Zelo\sub\y.exe'
check "stubborn product: the end is logged" log_has "end KillProcessesInInstallPath"
check "stubborn product: the killing ends" log_has "end KillMultiProcesses"
check "stubborn product: the caller survived the operation" said "$SCENARIO_WORK/b.out" "kill-install-path done"
check "stubborn product: the caller's parent survived" said "$SCENARIO_WORK/b.out" "spawn: child exited with 0"
check "stubborn product: neither driver is logged as killed" not log_has 'Kill process: C:\APPS\ZELO\SHUTDOWN_DRIVER.EXE'
check "stubborn product: the sibling folder Zelo2 is not touched" not log_has 'Kill process: C:\APPS\ZELO2'
check "stubborn product: the sibling folder's program still runs" running 'C:\Apps\Zelo2\x.exe'
check "stubborn product: the same name outside still runs" running 'C:\Other\zuzire.exe'

# A directory given with a trailing separator, in another case.
start 'C:\Apps\Zelo\zuzire.exe' --stubborn "$(ready t-zuzire)"
wait_ready t-zuzire
fresh_log
driver kill-multi 'c:\apps\zelo\' >"$SCENARIO_WORK/trailing.out" 2>&1
check "trailing separator: exactly the program inside is killed" said "$SCENARIO_WORK/trailing.out" "killed 1"
check "trailing separator: it is gone" gone 'C:\Apps\Zelo\zuzire.exe'
check "trailing separator: the sibling folder's program still runs" running 'C:\Apps\Zelo2\x.exe'

# --- (c) processes that loaded a given DLL -----------------------------------
mods_win='C:\Mods\u'$RANDOM$RANDOM
mods=$(host_path "$mods_win")
mkdir -p "$mods" "$(host_path 'C:\Mods\other')"
cp "$data/7z.dll" "$mods/7z.dll"
cp "$data/7z.dll" "$(host_path 'C:\Mods\other')/7z.dll"
cp "$data/product_stand_in.exe" "$(host_path 'C:\Mods')/mod_user.exe"
cp "$data/product_stand_in.exe" "$(host_path 'C:\Mods')/mod_free.exe"
start 'C:\Mods\mod_user.exe' --load "$mods_win\\7z.dll" "$(ready c-user)"
start 'C:\Mods\mod_free.exe' --load 'C:\Mods\other\7z.dll' "$(ready c-free)"
wait_ready c-user && wait_ready c-free
user_pid=$(tr -dc 0-9 <"$marks/c-user.ready")
free_pid=$(tr -dc 0-9 <"$marks/c-free.ready")
check "module: the user has the DLL loaded (case ignored)" \
  has_module "$user_pid" "$(tr a-z A-Z <<<"$mods_win")\\7Z.DLL"
check "module: a copy at another path is another DLL" not has_module "$free_pid" "$mods_win\\7z.dll"
driver kill-using-module "$mods_win\\7z.dll" >"$SCENARIO_WORK/module.out" 2>&1
check "module: the process that loaded it is terminated" gone 'C:\Mods\mod_user.exe'
check "module: a process without it survives" running 'C:\Mods\mod_free.exe'
check "module: the caller survived" said "$SCENARIO_WORK/module.out" "kill-using-module done"

# --- (d) a drive root is never used for killing ------------------------------
cp "$data/product_stand_in.exe" "$(host_path 'C:\')/zuzire.exe"
zdir=$SCENARIO_WORK/zdrive
mkdir -p "$zdir"
cp "$data/product_stand_in.exe" "$zdir/z_standin.exe"
zimage="Z:${zdir//\//\\}\\z_standin.exe"
start 'C:\zuzire.exe' --stubborn "$(ready d-root)"
start "$zimage" --stubborn "$(ready d-z)"
wait_ready d-root && wait_ready d-z
fresh_log
t0=$(now_ms)
driver kill-install-path 'C:\' >"$SCENARIO_WORK/d.out" 2>&1
elapsed=$(($(now_ms) - t0))
check "drive root C:\\: the wait is logged" log_has 'enter KillProcessesInInstallPath szTargetDir=C:\'
check "drive root C:\\: no wait and no killing (${elapsed} ms)" test "$elapsed" -lt 8000
check "drive root C:\\: KillMultiProcesses is never entered" not log_has "enter KillMultiProcesses"
for root in 'C:\' 'C:\\' 'Z:\\\' 'z:\/' 'C:\\\\\\\\'; do
  driver kill-multi "$root" >"$SCENARIO_WORK/d-multi.out" 2>&1
  check "drive root $root: nothing killed" said "$SCENARIO_WORK/d-multi.out" "killed -1"
done
check "drive root: a long root is refused and logged" log_has 'KillMultiProcesses: Z:\\\ is a drive root, nothing is killed'
# Past the 4-character guard the product C:\zuzire.exe is waited for, found
# stubborn, and still nothing is killed.
driver kill-install-path 'C:\\\\' >>"$SCENARIO_WORK/d.out" 2>&1
check "drive root C:\\\\\\\\: waited for the product, then refused" log_has 'KillMultiProcesses: C:\\\\ is a drive root, nothing is killed'
check "drive root C:\\\\\\\\: the sequence still ends" log_has "end KillProcessesInInstallPath"
check "drive root: no process was killed at all" not log_has "Kill process: "
check "drive root: the program at C:\\ still runs" running 'C:\zuzire.exe'
check "drive root: the program under Z:\\ still runs" running "$zimage"
check "drive root: the program outside still runs" running 'C:\Other\zuzire.exe'

# --- clean-up of the stand-ins that still run ----------------------------------
kill "${started[@]}" 2>/dev/null
wait "${started[@]}" 2>/dev/null
true
