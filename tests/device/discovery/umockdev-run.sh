#!/bin/sh
# Runs a test program with the umockdev preload library, which redirects the
# program's view of /sys and /dev to the test bed it builds.
#
# Under the address sanitizer the preload library comes before the sanitizer
# runtime in the library list, which the runtime refuses by default
# ("ASan runtime does not come first in initial library list"). The preload
# library only wraps file system calls and allocates nothing before the
# sanitizer starts, so that check is switched off here; everything else of
# the sanitizer (including leak detection) stays on.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec umockdev-wrapper "$@"
