#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed program
# from there, as a user who cannot write to the program's folder would.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/parcelio share/parcelio/skinh.she share/parcelio/ts.mp3 \
         share/parcelio/sql/schema.sql share/applications/cn.tesmar.parcelio.desktop \
         share/icons/hicolor/scalable/apps/parcelio.svg lib/parcelio/libparcelio-sound.so \
         lib/parcelio/libparcelio-mail.so lib/parcelio/parcelio-window lib/parcelio/parcelio-cli \
         lib/systemd/user/parcelio-refresh.service lib/systemd/user/parcelio-refresh.timer \
         share/metainfo/cn.tesmar.parcelio.metainfo.xml share/parcelio/translations/parcelio_en.qm; do
  [ -s "$prefix/$f" ] || fail "$f not installed"
done
desktop-file-validate "$prefix/share/applications/cn.tesmar.parcelio.desktop" || fail "desktop entry invalid"
grep -qx 'Icon=parcelio' "$prefix/share/applications/cn.tesmar.parcelio.desktop" || fail "entry names no icon"
meta=$prefix/share/metainfo/cn.tesmar.parcelio.metainfo.xml
appstreamcli validate --no-net "$meta" || fail "metainfo invalid"
# The newest release named is the version being installed.
release=$(python3 -c 'import sys, xml.etree.ElementTree as T; print(T.parse(sys.argv[1]).find("releases/release").get("version"))' "$meta")

app=$prefix/bin/parcelio
[ "$("$app" --version)" = "Parcelio 5.4.0" ] || fail "--version"
[ "Parcelio $release" = "$("$app" --version)" ] || fail "metainfo's newest release $release is not this version"
help=$("$app" --help)
for o in --help --version --seed --quit-after-show; do
  [ "$(grep -c -- "$o\b" <<<"$help")" -eq 1 ] || fail "--help does not list $o on one line"
done
if "$app" --no-such-option >/dev/null 2>"$tmp/err"; then fail "unknown option accepted"; fi
grep -q -- '--quit-after-show' "$tmp/err" || fail "unknown option does not print the usage"

cat >"$tmp/seed.sql" <<'SQL'
INSERT INTO kd100 (company, number, goods, num) VALUES ('顺丰快递', '800000000001', '安装测试', '0');
SQL
chmod -R a-w "$prefix"
export XDG_DATA_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config
"$app" --seed "$tmp/seed.sql" --quit-after-show || fail "installed program did not start"
db=$XDG_DATA_HOME/parcelio/db/kd100.mdb
[ -s "$db" ] || fail "no database under XDG_DATA_HOME"
[ -f "$XDG_CONFIG_HOME/parcelio/parcelio.ini" ] || fail "no settings file under XDG_CONFIG_HOME"
[ ! -e "$prefix/bin/db" ] || fail "database written beside the installed program"
# A second start finds the parcel the first one saved (the seed runs only once).
"$app" --seed /nonexistent.sql --quit-after-show || fail "second start failed"
goods=$(python3 -c 'import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute("select goods from kd100").fetchall())' "$db")
[ "$goods" = "[('安装测试',)]" ] || fail "saved parcels after restart: $goods"
echo "install test passed"
