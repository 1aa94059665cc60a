#!/usr/bin/env bash
# The demo: builds the product and shows it at work on the example package.
source "$(dirname "$0")/common.sh"
# shellcheck disable=SC2086
ensure_packages $PACKAGES_BASE
log "building"
configure_build native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
log "checking the example package's script"
cd "$ROOT/examples"
"$BUILD/native/tools/psc-check/psc-check"
