#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the main job need.
# Does nothing when they are all present already.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  qt6-base-dev libxtst-dev xvfb xauth xdotool
  # The install test builds the MIME database of the installed types and
  # checks the desktop entry, the AppStream metainfo and the XML files; the
  # package test makes the .deb (dpkg-shlibdeps) and runs lintian on it.
  shared-mime-info desktop-file-utils appstream libxml2-utils dpkg-dev lintian
  # The reports' PDF copies (cairo, and the fixed-pitch face found through
  # fontconfig) and the tests that read them back (pdftotext, pdfinfo). Qt's
  # print support comes with qt6-base-dev.
  libcairo2-dev fontconfig fonts-dejavu-core poppler-utils
  # The fuzz targets (scripts/fuzz.sh): clang with libFuzzer and its sanitizers.
  clang libclang-rt-14-dev
  # The supervisors' password hashes (Argon2id).
  libsodium-dev
  # varnolde-cli print hands the PDF copies to CUPS's lp.
  cups-client
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
