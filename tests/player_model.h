// The player as both fakes play it: the recording double of the unit tests and the stand-in of
// the acceptance tests answer its WM_USER interface and carry out its commands from here, so the
// two can't drift apart.
#pragma once

#include <cstdint>

#include "control/protocol.h"

struct PlayerModel {
    std::int32_t status = Stopped;
    std::int32_t position = 0;  // milliseconds
    std::int32_t length = NoTime;
    std::int32_t volume = MaxVolume;
    std::int32_t shuffle = Off;
    std::int32_t repeat = Off;
    std::int32_t track = 0;  // from 0
    std::int32_t tracks = 0;
    std::int32_t manualAdvance = Off;  // with repeat on: the one track repeats
    std::int32_t rating = 0;           // the current entry's
    bool playlistWindow = true;        // an older player has none: it answers 260 as unknown
};

inline constexpr std::int32_t UnknownMessage = NotSupported;

// True for the ids that change the player's state, which the stand-in logs.
inline bool IsSetting(std::intptr_t id, std::int32_t data) {
    return id == JumpToTime || id == SetListPosition || id == SetShuffle || id == SetRepeat ||
           id == ClearPlaylist || id == SetManualAdvance || id == SetRating ||
           (id == SetVolume && data != AskVolume);
}

inline std::int32_t OutputTimeAnswer(const PlayerModel& player, std::int32_t mode) {
    if (mode == PositionMode) return player.status == Stopped ? NoTime : player.position;
    if (player.length < 0) return NoTime;
    return mode == SecondsMode ? player.length / 1000 : player.length;
}

// The answer to WM_USER with this id; the player, a 32-bit program, sees only 32 bits of data.
inline std::int32_t AnswerUserMessage(PlayerModel& player, std::int32_t data, std::intptr_t id) {
    switch (id) {
        case ClearPlaylist:
            player.tracks = player.track = 0;
            return 0;
        case IsPlaying:
            return player.status;
        case OutputTime:
            return OutputTimeAnswer(player, data);
        case JumpToTime:
            if (player.status == Stopped) return NoTime;
            player.position = data;
            return player.length >= 0 && data >= player.length ? 1 : 0;
        case SetListPosition:
            if (data >= 0 && data < player.tracks) player.track = data;
            return 0;
        case SetVolume:
            if (data == AskVolume) return player.volume;
            player.volume = data & MaxVolume;
            return 0;
        case ListLength:
            return player.tracks;
        case ListPosition:
            return player.track;
        case GetShuffle:
            return player.shuffle;
        case GetRepeat:
            return player.repeat;
        case SetShuffle:
            player.shuffle = data;
            return 0;
        case SetRepeat:
            player.repeat = data;
            return 0;
        case GetManualAdvance:
            return player.manualAdvance;
        case SetManualAdvance:
            player.manualAdvance = data;
            return 0;
        case GetRating:
            return player.rating;
        case SetRating:
            if (data >= 0 && data <= MaxRating) player.rating = data;
            return 0;
    }
    return UnknownMessage;
}

// Plays, pauses, stops and changes track as the player does on a WM_COMMAND.
inline void CarryOutCommand(PlayerModel& player, std::uintptr_t command) {
    const std::int32_t count = player.tracks > 0 ? player.tracks : 1;
    switch (command) {
        case PlayCommand:
            if (player.status == Stopped) player.position = 0;
            player.status = Playing;
            break;
        case PauseCommand:
            player.status = player.status == Playing ? Paused : Playing;
            break;
        case StopCommand:
            player.status = Stopped;
            break;
        case NextCommand:
            player.track = (player.track + 1) % count;
            break;
        case PreviousCommand:
            player.track = (player.track + count - 1) % count;
            break;
    }
}
