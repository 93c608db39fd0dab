#!/usr/bin/env bash
# Installs the build into a staging folder with a prefix the build was not configured with,
# and checks what a package would hold: the launcher and the desktop entry name that prefix,
# the icon and the xscreensaver description are in place, the description's options are ones
# the program accepts, and the desktop entry passes desktop-file-validate (when installed).
#   install_layout.sh BUILD_DIR
set -u
build=${1:?build folder}
prefix=/opt/mirravane-layout-test
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

if ! DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >"$stage/install.log" 2>&1; then
  cat "$stage/install.log"
  exit 1
fi
root="$stage$prefix"

for program in mirravane mirravane-launch; do
  [ -x "$root/bin/$program" ] || fail "$prefix/bin/$program is not installed as a program"
done
launcher="$root/bin/mirravane-launch"
grep -qx "SHARED=\"$prefix/share/mirravane\"" "$launcher" || fail "the launcher does not copy from $prefix/share/mirravane"
grep -qx "exec \"$prefix/bin/mirravane\" \"\$@\"" "$launcher" || fail "the launcher does not start $prefix/bin/mirravane"
[ -f "$root/share/mirravane/Data/Bmp/About.bmp" ] || fail "the program folder's data is missing"

desktop="$root/share/applications/mirravane.desktop"
if [ ! -f "$desktop" ]; then
  fail "no desktop entry"
else
  grep -qx "Exec=$prefix/bin/mirravane-launch /c" "$desktop" || fail "the desktop entry does not start $prefix/bin/mirravane-launch"
  grep -qx "Icon=mirravane" "$desktop" || fail "the desktop entry names no icon of the theme"
  main=0
  for category in $(sed -n 's/^Categories=//p' "$desktop" | tr ';' ' '); do
    case " AudioVideo Audio Video Development Education Game Graphics Network Office Science Settings System Utility " in
      *" $category "*) main=$((main + 1)) ;;
    esac
  done
  [ "$main" -eq 1 ] || fail "the desktop entry has $main main categories"
  if command -v desktop-file-validate >/dev/null; then
    hints=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate refuses the entry"
    [ -z "$hints" ] || fail "desktop-file-validate: $hints"
  else
    echo "desktop-file-validate not installed: entry not validated"
  fi
fi

icon="$root/share/icons/hicolor/256x256/apps/mirravane.png"
if [ ! -f "$icon" ]; then
  fail "no icon in the hicolor theme"
else
  # PNG signature, then the IHDR width and height (256 x 256).
  header=$(od -An -tx1 -N24 "$icon" | tr -d ' \n')
  [ "${header:0:16}" = 89504e470d0a1a0a ] || fail "the icon is not a PNG"
  [ "${header:32:16}" = 0000010000000100 ] || fail "the icon is not 256 x 256"
fi

xml="$root/share/xscreensaver/config/mirravane-launch.xml"
if [ ! -f "$xml" ]; then
  fail "no xscreensaver description named after the command mirravane-launch"
else
  grep -q '<screensaver name="mirravane-launch"' "$xml" || fail "the description is not named mirravane-launch"
  # Every argument the description can produce, with a value for %, must be accepted:
  # --version last answers only when everything before it was understood.
  args=()
  while read -r arg; do
    arg=${arg//%/30}
    read -ra words <<<"$arg"
    args+=("${words[@]}")
  done < <(sed -n 's/.*[ <]\(arg\|arg-set\)="\([^"]*\)".*/\2/p' "$xml")
  [ ${#args[@]} -ge 5 ] || fail "the description offers too few options: ${args[*]}"
  printf '%s\n' "${args[@]}" | grep -qx -- --preset || fail "the description offers no preset file"
  printf '%s\n' "${args[@]}" | grep -qx -- --random-interval || fail "the description offers no random-preset interval"
  if ! out=$("$root/bin/mirravane" "${args[@]}" --version 2>&1); then
    fail "the program refuses the description's arguments ${args[*]}: $out"
  fi
fi

[ $status -eq 0 ] && echo "install layout under $prefix: fine"
exit $status
