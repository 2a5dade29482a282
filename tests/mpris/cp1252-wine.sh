#!/bin/sh
# A wine that follows as an older tunedesk.exe would answer: the title "Beyoncé – Halo" in code
# page 1252's bytes, which are not UTF-8, in a block at the start and after each line of input.
# The companion must stay up and publish valid UTF-8.
done=0
block() {
    printf 'status Playing\r\ntitle Beyonc\351 \226 Halo\r\nposition 1.000\r\nlength 200.000\r\n'
    printf 'volume 50\r\ntrack 1\r\ntracks 1\r\nshuffle off\r\nrepeat off\r\ndone %d\r\n\r\n' "$done"
}
block
while read -r line; do
    done=$((done + 1))
    block
done
