#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Regiscribe need.
# Runs as root, or through sudo; does nothing when everything is already there.
set -euo pipefail
packages=(
  g++ clang-16 libclang-rt-16-dev llvm-16 clang-format-14 cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libssl-dev qtkeychain-qt6-dev libidn2-dev openssl
  libgtest-dev googletest
  python3 python3-aiosmtpd dbus gnome-keyring libsecret-tools
  poppler-utils efingerd finger whois msmtp hyperfine time curl stress
  xvfb xauth imagemagick xdotool openbox fonts-dejavu-core fonts-liberation2
  librsvg2-bin desktop-file-utils appstream man-db lintian dpkg-dev file
  spamassassin libgpgme-dev gnupg gpg-agent libcrypt-dev libldns-dev nsd bind9-dnsutils
  bind9 python3-dnslib zonemaster-cli libcurl4-openssl-dev zlib1g-dev dovecot-imapd sq
  python3-pyatspi at-spi2-core postfix
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
# The mail tests run a private Postfix of their own; the system's stays unconfigured and stopped.
echo "postfix postfix/main_mailer_type select No configuration" |
  "${as_root[@]}" debconf-set-selections
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
