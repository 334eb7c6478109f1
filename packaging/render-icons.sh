#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the menu icon's PNG sizes from its SVG. The PNGs are committed, so
# a build never needs this; run it (Debian: librsvg2-bin) after editing the SVG.
set -eu
cd "$(dirname "$0")/icons"
svg=scalable/apps/org.morvello.morvello.svg
for size in 16 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/apps/org.morvello.morvello.png"
done
