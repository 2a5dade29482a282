// Fuzzes the template language with arbitrary UTF-16 templates over a player's state, and checks
// that a line is valid UTF-8 within a line's room, and empty with a reason where it failed.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "control/template.h"

namespace {

char16_t text[1 << 15];

// A playing player with texts of each kind, some with " - " and markup in them.
PlayerState PlayingState() {
    PlayerState state{};
    state.running = true;
    state.status = Playing;
    state.position = 83250;
    state.length = 240000;
    state.volume = 78;
    state.track = 3;
    state.tracks = 4;
    state.shuffle = On;
    state.repeat = RepeatTrack;
    state.rating = 4;
    const auto set = [](Line& line, const char* value) {
        line.length = static_cast<int>(std::strlen(value));
        std::memcpy(line.text, value, line.length);
    };
    set(state.title, "Artist - Title <&> \xe2\x80\xa6 \xe9\x9f\xb3");
    set(state.file, "http://radio.example/stream");
    set(state.album, "Album & \"Quotes\"");
    return state;
}

bool ValidUtf8(const Line& line) {
    for (int at = 0; at < line.length;) {
        const unsigned char lead = static_cast<unsigned char>(line.text[at]);
        const int length = lead < 0x80       ? 1
                           : lead >> 5 == 6  ? 2
                           : lead >> 4 == 14 ? 3
                           : lead >> 3 == 30 ? 4
                                             : 0;
        if (length == 0 || at + length > line.length) return false;
        for (int next = 1; next < length; ++next)
            if ((static_cast<unsigned char>(line.text[at + next]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t units = size / 2;
    if (units >= sizeof text / sizeof *text) return 0;
    std::memcpy(text, data, units * 2);
    text[units] = u'\0';
    static const PlayerState states[] = {PlayingState(), PlayerState{}};
    for (const PlayerState& state : states) {
        Line line, error;
        error.length = 0;
        const bool rendered = RenderTemplate(text, state, line, error);
        if (line.length < 0 || line.length > LineCapacity - 3 || !ValidUtf8(line)) std::abort();
        if (!rendered && (line.length != 0 || error.length == 0)) std::abort();
    }
    return 0;
}
