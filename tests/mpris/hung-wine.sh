#!/bin/sh
# A wine that never answers, for the companion's timeout.
exec sleep 60
