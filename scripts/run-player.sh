#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player from build/bin/.
# Without a display it runs under Xvfb; without a sound card it plays on the "no sound" device.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
if ! grep -q -E '^ *[0-9]+ \[' /proc/asound/cards 2>/dev/null; then
  echo "No sound card found: the player plays on the \"no sound\" device."
  export QUORVALEN_NOSOUND=1
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: the player runs under Xvfb."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$top/build/bin/player" "$@"
fi
exec "$top/build/bin/player" "$@"
