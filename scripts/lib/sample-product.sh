# Sourced: lays out an installed copy of the product in a Wine prefix, as the
# product's installer leaves it.
#   install_sample_product BUILD_DIR [WINDOWS_INSTALL_DIR]
# Needs WINEPREFIX (wine_env) and a running wineserver for speed.

reg32() { wine 'C:\windows\syswow64\reg.exe' "$@" >/dev/null 2>&1; }

# Windows path (drive C: only) -> host path inside the prefix.
host_path() {
  local p=${1#[Cc]:}
  p=${p//\\//}
  echo "$WINEPREFIX/drive_c$p"
}

install_sample_product() {
  local build=$1 dir=${2:-'C:\Program Files (x86)\Zuzire'}
  local host; host=$(host_path "$dir")
  mkdir -p "$host/Utils" "$host/resources" "$host/locales"
  cp "$build/Uninstall.exe" "$host/Uninstall.exe"
  cp "$build/tests/data/signed_publisher.exe" "$host/zuzire.exe"
  cp "$build/deps/7z.dll" "$host/Utils/7z.dll"
  printf 'sample resource\n' > "$host/resources/ui.pak"
  printf 'zh-CN\n' > "$host/locales/zh-CN.pak"
  printf '[auto_run]\r\nopen=1\r\n' > "$host/config.set"
  # The product is 32-bit: its keys live in the 32-bit registry view.
  reg32 add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\zuzire.exe' /ve /t REG_SZ /d "$dir\\zuzire.exe" /f
  reg32 add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\zuzire.exe' /v path /t REG_SZ /d "$dir" /f
  SAMPLE_PRODUCT_DIR=$dir
  SAMPLE_PRODUCT_HOST=$host
}
