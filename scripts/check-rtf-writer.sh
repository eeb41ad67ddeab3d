#!/usr/bin/env bash
# Runs the LibreOffice Writer check of RTF copies on the built program and keeps what it made: the
# copies (.rtf), the screen's boards (-screen.png), Writer's PDFs and their pictures (pdf/).
#   scripts/check-rtf-writer.sh [folder]     (default: build/rtf-writer-check)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BRENNIX_BUILD_DIR:-$here/build}"
out="${1:-$build/rtf-writer-check}"
rm -rf "$out" && mkdir -p "$out"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
BRENNIX_RTF_CHECK_DIR="$out" "$build/tests/gui/rtf_writer/test_rtf_writer"
echo "check-rtf-writer: copies, screens and Writer's pages are in $out"
