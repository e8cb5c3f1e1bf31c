#!/usr/bin/env bash
# Pictures of the setup's skins for people to review, painted by the skin preview
# (skin_ui/preview) under Wine in the test world with the faces the test prefix links in: every
# page, dialog and state in English and Arabic, and page 0 (with the installation tips shown)
# and both dialogs in all 14 languages. Each picture has its report beside it (the controls'
# rectangles and how every text fits), and CUT lines are listed at the end.
# Output: build/<preset>/skin-previews/<language>/<window>-<state>.png and .txt
# Usage: scripts/skin-previews.sh      (the 32-bit build where Wine can run it)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  source scripts/windows-preset.sh
  build_windows_tools skin_preview browser_standin product_setup_standin
  export PREVIEW_PROGRAM=$PWD/build/$windows_preset/bin/skin_preview.exe
  export PREVIEW_OUT=$PWD/build/$windows_preset/skin-previews
  exec unshare --net -- tests/harness/run-in-namespace.sh bash "$0" --inside
fi

# name | arguments after --window
every_state=(
  "main-page0|main"
  "main-page0-install-hot|main --state hot=btn_install"
  "main-page0-install-pushed|main --state pushed=btn_install"
  "main-page0-install-disabled|main --state disabled=btn_install"
  "main-page0-agree-hot|main --state hot=chk_agree"
  "main-page0-close-hot|main --state hot=closebtn"
  "main-page0-minimise-hot|main --state hot=minbtn"
  "main-page0-licence-hot|main --state hot=btn_lisence"
  "main-page0-panel|main --state panel"
  "main-page0-browse-hot|main --state panel --state hot=btn_browse"
  "main-page0-error|main --state error"
  "main-page0-tip|main --state tip"
  "main-page0-finish|main --state finish"
  "main-page0-start-hot|main --state finish --state hot=btn_start"
  "main-page1-progress0|main --page 1 --state progress=0"
  "main-page1-progress45|main --page 1 --state progress=45"
  "main-page1-progress100|main --page 1 --state progress=100"
  "main-page1-stop-hot|main --page 1 --state progress=45 --state hot=btn_stop"
  "main-page1-stop-pushed|main --page 1 --state progress=45 --state pushed=btn_stop"
  "main-page1-installing|main --page 1 --state progress=95 --state disabled=btn_stop"
  "WinMessageBox|WinMessageBox"
  "WinMessageBox-install-hot|WinMessageBox --state hot=btn_install_msb"
  "WinMessageBox-install-pushed|WinMessageBox --state pushed=btn_install_msb"
  "WinMessageBox-browse-hot|WinMessageBox --state hot=btn_browse_msb"
  "WinMessageBox-close-hot|WinMessageBox --state hot=btn_close_msb"
  "WinMessageBox-refused|WinMessageBox --state error"
  "WinStopInstallBox|WinStopInstallBox"
  "WinStopInstallBox-yes-hot|WinStopInstallBox --state hot=btn_stop_ok"
  "WinStopInstallBox-yes-pushed|WinStopInstallBox --state pushed=btn_stop_ok"
  "WinStopInstallBox-no-hot|WinStopInstallBox --state hot=btn_stop_no"
)
every_language=(
  "main-page0|main"
  "main-page0-tip|main --state tip"
  "main-page0-error|main --state error"
  "main-page1-progress45|main --page 1 --state progress=45"
  "WinMessageBox|WinMessageBox"
  "WinStopInstallBox|WinStopInstallBox"
)

render() {  # language, "name|arguments"
  local language=$1 name=${2%%|*} arguments=${2#*|}
  local folder=$PREVIEW_OUT/$language
  mkdir -p "$folder"
  # shellcheck disable=SC2086  # the arguments are words
  "$NEXVALE_WINE" "$PREVIEW_PROGRAM" --language "$language" --png "$("$NEXVALE_WINE" winepath -w "$folder/$name.png" 2>/dev/null)" \
    --window $arguments > "$folder/$name.txt" || { cat "$folder/$name.txt" >&2; exit 1; }
}

rm -rf "$PREVIEW_OUT"
count=0
for language in English Arabic; do
  for entry in "${every_state[@]}"; do render "$language" "$entry"; count=$((count + 1)); done
done
languages=$(sed -n 's/^[0-9]*=//p' resources/config/language.ini | tr -d '\r')
for language in $languages; do
  [ "$language" = English ] || [ "$language" = Arabic ] && continue
  for entry in "${every_language[@]}"; do render "$language" "$entry"; count=$((count + 1)); done
done
echo "$count pictures in $PREVIEW_OUT"
cut=$(grep -r -P '^fit\t.*\tCUT\t' "$PREVIEW_OUT" --include='*.txt' || true)
if [ -n "$cut" ]; then echo "texts that do not fit with the margin:"; echo "$cut"; else echo "every text fits"; fi
