#!/usr/bin/env bash
# Installs what the build needs from Debian's packages (only what is missing) and builds the
# program folder build/Qirvo with its delivered database.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
          libsqlite3-dev libxlsxwriter-dev libgl-dev fonts-noto-cjk fonts-wqy-microhei fonts-dejavu-core xvfb xauth poppler-utils unzip
          qt6-translations-l10n postgresql libqt6sql6-psql)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  # The tests start a server of their own; the package's default cluster would only sit idle.
  if [ ! -e /etc/postgresql-common/createcluster.conf ]; then
    mkdir -p /etc/postgresql-common
    echo "create_main_cluster = false" >/etc/postgresql-common/createcluster.conf
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
