# The text cipher of the real build against an independent implementation:
# cipher_tool.exe (EncryptText/DecryptText and the byte forms, under Wine)
# and python3's pycryptodome (Blowfish ECB, zero padding, base64) must agree
# in both directions, for the three key texts of report/CipherKeys.h and
# texts that are ASCII, Chinese, an exact multiple of 8 bytes, one byte long.

tool=$BUILD_DIR/tests/data/cipher_tool.exe
# Debian's python3-pycryptodome; a pyenv python earlier on PATH may lack it.
py=/usr/bin/python3

# The key texts, as the header spells them.
key_of() { sed -n "s/^inline constexpr [a-z_]* $1\\[\\] = L\\{0,1\\}\"\\([^\"]*\\)\";.*/\\1/p" "$SOURCE_DIR/report/CipherKeys.h"; }
oem_key=$(key_of kOemHostKey) report_key=$(key_of kReportKey) driver_key=$(key_of kDriverUnlockKey)
keys=("$oem_key" "$report_key" "$driver_key")
for k in "${keys[@]}"; do
  check "CipherKeys.h key text \"$k\" has the GUID form" grep -qxE '[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}' <<<"$k"
done

texts=(
  "hello world"
  "x"
  "12345678abcdefgh"
  "立即卸载 保留壁纸数据"
  "卸载ab"
  'a😀 {"type":"set","pid":"home"}'
)

# expected.py KEY TEXT... : per text, a line "UTF16HEX BASE64" (the text's
# UTF-16 code units, and its UTF-8 bytes enciphered under the key's UTF-8 bytes).
expected() {
  "$py" - "$@" <<'PY'
import base64, sys
try:
    from Cryptodome.Cipher import Blowfish
except ImportError:
    from Crypto.Cipher import Blowfish
key = sys.argv[1].encode()
for text in sys.argv[2:]:
    data = text.encode()
    data += b"\0" * (-len(data) % 8)
    cipher = Blowfish.new(key, Blowfish.MODE_ECB).encrypt(data)
    print(text.encode("utf-16-be").hex().upper(), base64.b64encode(cipher).decode())
PY
}
u16hex() { "$py" -c 'import sys; print(sys.argv[1].encode("utf-16-be").hex().upper())' "$1"; }
run_tool() { wine "$tool" "$@" </dev/null 2>>"$SCENARIO_WORK/wine.log" | tr -d '\r'; }

check "cipher_tool.exe is built" test -f "$tool"

for key in "${keys[@]}"; do
  keyhex=$(u16hex "$key")
  mapfile -t lines < <(expected "$key" "${texts[@]}")
  # One Wine process per direction: every text enciphered, every expected
  # cipher text deciphered.
  enc_args=() dec_args=()
  for line in "${lines[@]}"; do
    enc_args+=(encrypt-text "$keyhex" "${line%% *}")
    dec_args+=(decrypt-text "$keyhex" "${line#* }")
  done
  mapfile -t enc_out < <(run_tool "${enc_args[@]}")
  mapfile -t dec_out < <(run_tool "${dec_args[@]}")
  for i in "${!texts[@]}"; do
    line=${lines[$i]}
    check "EncryptText \"${texts[$i]}\" under $key matches pycryptodome" \
      test "${enc_out[$i]-missing}" = "${line#* }"
    check "DecryptText of pycryptodome's text gives \"${texts[$i]}\" under $key" \
      test "${dec_out[$i]-missing}" = "${line%% *}"
  done
done

# Byte forms: the report's bytes and the driver's 16-byte challenge.
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
mapfile -t byte_cases < <("$py" - "$report_key" "$driver_key" <<'PY'
import base64, os, sys
try:
    from Cryptodome.Cipher import Blowfish
except ImportError:
    from Crypto.Cipher import Blowfish
def enc(key, data):
    padded = data + b"\0" * (-len(data) % 8)
    return base64.b64encode(Blowfish.new(key, Blowfish.MODE_ECB).encrypt(padded)).decode()
report, driver = sys.argv[1].encode(), sys.argv[2].encode()
challenge = os.urandom(16)
body = '{"errno":0,"data":"ok"}'.encode()
for key, data in ((driver, challenge), (report, body), (report, b"\x01")):
    padded = data + b"\0" * (-len(data) % 8)
    print(key.hex().upper(), data.hex().upper(), enc(key, data), padded.hex().upper())
PY
)
args=()
for c in "${byte_cases[@]}"; do
  read -r k d b p <<<"$c"
  args+=(encrypt-bytes "$k" "$d" decrypt-bytes "$k" "$b")
done
mapfile -t byte_out < <(run_tool "${args[@]}")
names=("driver challenge" "report text" "one byte")
for i in "${!byte_cases[@]}"; do
  read -r k d b p <<<"${byte_cases[$i]}"
  check "EncryptBytes of the ${names[$i]} matches pycryptodome" test "${byte_out[$((2 * i))]-missing}" = "$b"
  check "DecryptBytes of the ${names[$i]} gives the padded bytes" test "${byte_out[$((2 * i + 1))]-missing}" = "$p"
done
check "the driver's answer is 24 characters" test "${#byte_out[0]}" -eq 24

# DecryptText cuts at the first zero byte; bad Base64 gives nothing.
cut_b64=$("$py" - "$report_key" <<'PY'
import base64, sys
try:
    from Cryptodome.Cipher import Blowfish
except ImportError:
    from Crypto.Cipher import Blowfish
data = "卸载".encode() + b"\0tail\0\0"
data += b"\0" * (-len(data) % 8)
print(base64.b64encode(Blowfish.new(sys.argv[1].encode(), Blowfish.MODE_ECB).encrypt(data)).decode())
PY
)
mapfile -t misc < <(run_tool decrypt-text "$(u16hex "$report_key")" "$cut_b64" \
  decrypt-text "$(u16hex "$report_key")" "not*base64" \
  encrypt-bytes "$(hex "$report_key")" "")
check "DecryptText stops at the first zero byte" test "${misc[0]-missing}" = "$(u16hex 卸载)"
check "DecryptText of bad Base64 is empty" test "${misc[1]-missing}" = ""
check "EncryptBytes of no data fails" test "${misc[2]-missing}" = "FAIL"
