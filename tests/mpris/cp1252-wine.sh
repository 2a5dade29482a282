#!/bin/sh
# A wine that answers as an older tunedesk.exe would: the title "Beyoncé – Halo" in code page
# 1252's bytes, which are not UTF-8. The companion must stay up and publish valid UTF-8.
printf 'status Playing\r\ntitle Beyonc\351 \226 Halo\r\nposition 1.000\r\nlength 200.000\r\n'
printf 'volume 50\r\ntrack 1\r\ntracks 1\r\nshuffle off\r\nrepeat off\r\n'
