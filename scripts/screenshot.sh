#!/usr/bin/env bash
# Pictures the real program: builds a demo database with its list files, starts lumaref on it in a
# virtual X server and, once its window is up, saves that window as a PNG from outside the program.
#
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT.png] [SCENE]   (defaults: build, lumaref-window.png, start)
#   LUMAREF_DEMO_JOURNALS=N   journals in the demo database (default 2000)
#
# SCENE is what a user has done before the picture, through the mouse and keys as a user would:
#   start     nothing: the window as it first appears
#   sorted    the IF title clicked twice (highest first), then Ctrl+F and "optic" typed into Search for
#   export    the grid's context menu open on its rows, "Export view…" in it
#
# BUILD_DIR must hold the targets lumaref and lumaref-demo. Needs xvfb-run, xwininfo, xdotool, xwd and
# netpbm (scripts/install-deps.sh installs them).
set -euo pipefail

build_dir=${1:-build}
output=${2:-lumaref-window.png}
scene=${3:-start}
journals=${LUMAREF_DEMO_JOURNALS:-2000}
case $scene in
  start | sorted | export) ;;
  *)
    echo "screenshot.sh: unknown scene '$scene' (start, sorted or export)" >&2
    exit 2
    ;;
esac

for tool in "$build_dir/src/lumaref" "$build_dir/tools/lumaref-demo"; do
  if [[ ! -x $tool ]]; then
    echo "screenshot.sh: $tool not found; build the targets lumaref and lumaref-demo first" >&2
    exit 1
  fi
done
for command in xvfb-run xwininfo xdotool xwd xwdtopnm pnmpaste pnmtopng; do
  command -v "$command" >/dev/null || {
    echo "screenshot.sh: $command is not installed (scripts/install-deps.sh)" >&2
    exit 1
  }
done

output=$(realpath -m "$output")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build_dir/tools/lumaref-demo" --journals "$journals" --out "$work" >/dev/null
# The list files are found beside the executable and Database.mdb in the current directory:
# a copy of the program in the demo folder has both.
cp "$build_dir/src/lumaref" "$work/"

# Runs inside the X server: starts the program, waits for its window, gives it the keyboard focus as
# a window manager would (the picture shows the window as a user first sees it: active, the grid
# holding the focus), lets it paint, takes the window's picture and ends the program.
cat >"$work/capture.sh" <<'CAPTURE'
#!/usr/bin/env bash
set -euo pipefail
output=$1
scene=$2
./lumaref &
program=$!
trap 'kill "$program" 2>/dev/null || true; wait "$program" 2>/dev/null || true' EXIT
window=
for _ in $(seq 100); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Lumaref v 1.0"/ {print $1; exit}')
  [[ -n $window ]] && break
  kill -0 "$program" 2>/dev/null || { echo "screenshot.sh: lumaref ended before showing its window" >&2; exit 1; }
  sleep 0.1
done
[[ -n $window ]] || { echo "screenshot.sh: no lumaref window after 10 s" >&2; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$window"
if [[ $scene == sorted ]]; then
  # The middle of the IF title, from the window's corner: the grid's place and the designed widths.
  for _ in 1 2; do
    xdotool mousemove --window "$window" 721 243 click 1
    sleep 0.5
  done
  xdotool key ctrl+f
  xdotool type --delay 80 optic
  # Over the rows and off again: the counters follow the grid, as a user's pointer passing makes them.
  xdotool mousemove --window "$window" 600 400 sleep 0.3 mousemove --window "$window" 600 690
fi
# Painting follows within a few turns of the program's event loop.
sleep 1
if [[ $scene == export ]]; then
  # A right-click on the grid's first row. The menu is a window of its own, pasted onto the picture of the
  # program's window where it shows.
  xdotool mousemove --window "$window" 300 265 click 3
  menu=
  for _ in $(seq 50); do
    menu=$(xwininfo -root -tree | awk -v main="$window" '/\("lumaref" "Lumaref"\)/ && $1 != main {print $1; exit}')
    [[ -n $menu ]] && break
    sleep 0.1
  done
  [[ -n $menu ]] || { echo "screenshot.sh: the grid's menu did not open" >&2; exit 1; }
  sleep 1
  corner() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}'; }
  read -r windowX windowY < <(corner "$window")
  read -r menuX menuY < <(corner "$menu")
  xwd -silent -id "$menu" | xwdtopnm 2>/dev/null >menu.pnm
  xwd -silent -id "$window" | xwdtopnm 2>/dev/null |
    pnmpaste menu.pnm $((menuX - windowX)) $((menuY - windowY)) | pnmtopng >"$output.part"
else
  xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$output.part"
fi
mv "$output.part" "$output"
CAPTURE
chmod +x "$work/capture.sh"

(cd "$work" && xvfb-run -a -s "-screen 0 1280x800x24" ./capture.sh "$output" "$scene")
echo "saved $output"
