#!/bin/sh
# A wine that never answers the first time a companion starts it, and is the real wine after that:
# the companion must start its follower again and then answer calls. Its marker lies in the test's
# own folder (TUNEDESK_MARKERS), which goes with the test, so no PID reused later finds it.
marker=${TUNEDESK_MARKERS:?the test names its folder}/hung-once.$PPID
if [ ! -e "$marker" ]; then
    touch "$marker"
    exec sleep 60
fi
exec ${TUNEDESK_WINE:-wine} "$@"  # the pairing's wine, split into its words
