#!/usr/bin/env bash
# ime-session.sh COMMAND [ARGS...]
#
# Runs COMMAND on a private X display (Xvfb) with its own D-Bus session bus
# and a fcitx5 input method whose group holds keyboard-us and pinyin, the
# way a Chinese user's desktop runs Tovik. Qt programs started inside use the
# xcb platform and fcitx5's Qt input context; xdotool and fcitx5-remote reach
# the same display and bus. Everything runs from a fresh home folder, so
# nothing learned from earlier typing reorders the candidates, with cloud
# pinyin, prediction and the other extras off: the same keys give the same
# words.
#
# Exits 77 (a skip for CTest) when a piece is missing, else with COMMAND's
# status. Every wait is bounded (COMMAND's by TOVIK_IME_TIMEOUT seconds,
# 240 unless set); the helpers are ended on exit.
set -uo pipefail

skip() { echo "SKIP: $*; tools/install-deps.sh installs it" >&2; exit 77; }
for tool in Xvfb dbus-launch dbus-send fcitx5 fcitx5-remote xdotool; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so" ] \
    || skip "fcitx5's input context for Qt 6 (fcitx5-frontend-qt6) is not installed"
[ -e "$plugins/platforms/libqxcb.so" ] || skip "Qt's xcb platform (qt6-qpa-plugins) is not installed"
[ -e /usr/share/fcitx5/addon/pinyin.conf ] || skip "fcitx5's pinyin (fcitx5-chinese-addons) is not installed"

work=$(mktemp -d "${TMPDIR:-/tmp}/tovik-ime.XXXXXX")
pids=()
finish() {
    local status=$?
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    done
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT
trap 'exit 143' INT TERM

# waitfor SECONDS COMMAND...: polls COMMAND until it succeeds.
waitfor() {
    local tenths=$(($1 * 10)); shift
    for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
       XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME/fcitx5/conf" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
EOF
cat >"$XDG_CONFIG_HOME/fcitx5/config" <<'EOF'
[Hotkey/TriggerKeys]
0=Control+space

[Behavior]
ActiveByDefault=False
ShareInputState=No
PreeditEnabledByDefault=True
ShowInputMethodInformation=False
showInputMethodInformationWhenFocusIn=False
EOF
cat >"$XDG_CONFIG_HOME/fcitx5/conf/pinyin.conf" <<'EOF'
FirstRun=False
CloudPinyinEnabled=False
Prediction=False
SpellEnabled=False
EmojiEnabled=False
ChaiziEnabled=False
ExtBEnabled=False
PreeditInApplication=True
PageSize=5
EOF

# The display: Xvfb picks a free number and writes it to the fd it is given.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
waitfor 10 test -s "$work/display" || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")

fcitx5 --disable=all --enable=xcb,dbus,dbusfrontend,classicui,keyboard,pinyin,punctuation \
    >"$work/fcitx5.log" 2>&1 &
pids+=($!)
# Asking fcitx5 itself before it owns its name would have the bus start a
# second one (D-Bus activation): ask the bus.
owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 | grep -q 'boolean true'
}
if ! waitfor 20 owned; then
    echo "fcitx5 did not come up:" >&2; cat "$work/fcitx5.log" >&2; exit 1
fi

export QT_QPA_PLATFORM=xcb QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
timeout --kill-after=10 "${TOVIK_IME_TIMEOUT:-240}" "$@"
status=$?
[ $status -eq 0 ] || { echo "--- fcitx5's log" >&2; cat "$work/fcitx5.log" >&2; }
exit $status
