// The MPRIS names and values that tunedesk-mpris publishes, each spelled once, here.
#pragma once

namespace mpris {

inline constexpr char BusName[] = "org.mpris.MediaPlayer2.tunedesk";
inline constexpr char ObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char RootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char PlayerInterface[] = "org.mpris.MediaPlayer2.Player";
inline constexpr char PropertiesInterface[] = "org.freedesktop.DBus.Properties";
inline constexpr char PropertiesChangedSignal[] = "PropertiesChanged";
inline constexpr char SetMethod[] = "Set";
inline constexpr char SeekedSignal[] = "Seeked";
inline constexpr char NotSupported[] = "org.mpris.MediaPlayer2.tunedesk.NotSupported";
inline constexpr char Failed[] = "org.mpris.MediaPlayer2.tunedesk.Failed";
inline constexpr char InvalidArgs[] = "org.freedesktop.DBus.Error.InvalidArgs";
inline constexpr char Identity[] = "Winamp (Tunedesk)";
inline constexpr char DesktopEntry[] = "tunedesk-mpris";
inline constexpr char NoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
inline constexpr char TrackPath[] = "/org/tunedesk/track/";  // and the track's number

// PlaybackStatus.
inline constexpr char StatusPlaying[] = "Playing";
inline constexpr char StatusPaused[] = "Paused";
inline constexpr char StatusStopped[] = "Stopped";

// LoopStatus.
inline constexpr char LoopNone[] = "None";
inline constexpr char LoopPlaylist[] = "Playlist";
inline constexpr char LoopTrack[] = "Track";

// Properties.
inline constexpr char PlaybackStatusProperty[] = "PlaybackStatus";
inline constexpr char LoopStatusProperty[] = "LoopStatus";
inline constexpr char ShuffleProperty[] = "Shuffle";
inline constexpr char MetadataProperty[] = "Metadata";
inline constexpr char VolumeProperty[] = "Volume";
inline constexpr char PositionProperty[] = "Position";

// Metadata keys.
inline constexpr char TrackIdKey[] = "mpris:trackid";
inline constexpr char LengthKey[] = "mpris:length";
inline constexpr char TitleKey[] = "xesam:title";
inline constexpr char ArtistKey[] = "xesam:artist";
inline constexpr char UrlKey[] = "xesam:url";
inline constexpr char UserRatingKey[] = "xesam:userRating";  // 0.0 to 1.0
inline constexpr char AlbumKey[] = "xesam:album";
inline constexpr char AlbumArtistKey[] = "xesam:albumArtist";
inline constexpr char GenreKey[] = "xesam:genre";
inline constexpr char TrackNumberKey[] = "xesam:trackNumber";
inline constexpr char DiscNumberKey[] = "xesam:discNumber";
inline constexpr char ArtUrlKey[] = "mpris:artUrl";

}  // namespace mpris
