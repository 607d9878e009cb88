#!/usr/bin/env bash
# The client started on a broken installation shows the start-up message
# (unattended: on standard error) and exits non-zero.
set -u
ostrel=$1 data=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export OSTREL_UNATTENDED=1 QT_QPA_PLATFORM=offscreen OSTREL_TEMP_DIR="$dir/tmp"

check() { # name expected-exit expected-message
  local out rc
  out=$("$ostrel" --program-dir "$dir/inst" 2>&1); rc=$?
  if [ "$rc" -ne "$2" ] || ! grep -qF "$3" <<<"$out"; then
    echo "FAIL $1: exit $rc, output:"; echo "$out"; exit 1
  fi
  echo "ok $1"
}

mkdir -p "$dir/inst" && cp "$data"/* "$dir/inst/"
printf '[Product]\r\nVersion=abc\r\n' > "$dir/inst/DededEri.ini"
check broken-system-ini 3 "MessageBox: Ostrel 个人外汇买卖: 读取系统Ini文件或模板Ini文件失败，请重新安装软件!"

rm "$dir/inst/DededEri.ini"
check missing-system-ini 3 "读取系统Ini文件或模板Ini文件失败"

cp "$data"/DededEri.ini "$dir/inst/"
python3 - "$dir/inst/DededEri.ini" <<'PY'
import sys
p = sys.argv[1]
t = open(p, 'rb').read().decode('gbk')
head, rest = t.split('[CurrencyDic]', 1)
body, tail = rest.split('[BranchQuoteServers]', 1)
lines = [l.split('|')[0] for l in body.split('\r\n') if l.strip()]
open(p, 'wb').write((head + '[CurrencyDic]\r\n' + '\r\n'.join(lines) + '\r\n\r\n[BranchQuoteServers]' + tail).encode('gbk'))
PY
check no-currencies 4 "载入币种信息出错!"
