#!/usr/bin/env bash
# Installs, as root on Debian 12, every package the build, the program and the tests need.
# Packages already present are left alone; nothing is fetched from anywhere but Debian.
set -euo pipefail
packages=(
  g++ cmake make pkg-config
  libwxgtk3.2-dev wx-common wx3.2-i18n gettext
  libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth adwaita-icon-theme shared-mime-info fonts-dejavu-core
  python3 libcdio-utils bchunk p7zip-full cdrdao genisoimage vcdimager
  desktop-file-utils libxml2-utils man-db groff-base dpkg-dev
  librsvg2-bin debhelper lintian xdotool libglib2.0-bin
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
