// The MPRIS interfaces, served from the cache; no getter ever waits for Wine.
#include "companion.h"

#include <cstdio>
#include <cstdlib>

namespace mpris {

namespace {

constexpr char BusName[] = "org.mpris.MediaPlayer2.tunedesk";
constexpr char ObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char RootInterface[] = "org.mpris.MediaPlayer2";
constexpr char PlayerInterface[] = "org.mpris.MediaPlayer2.Player";
constexpr char PropertiesInterface[] = "org.freedesktop.DBus.Properties";
constexpr char NotSupported[] = "org.mpris.MediaPlayer2.tunedesk.NotSupported";
constexpr char Failed[] = "org.mpris.MediaPlayer2.tunedesk.Failed";
constexpr char Identity[] = "Winamp (Tunedesk)";
constexpr char DesktopEntry[] = "tunedesk-mpris";
constexpr guint PlayingPollSeconds = 2;
constexpr guint IdlePollSeconds = 10;
// A position further than this from the estimate is a jump, not the poll's drift.
constexpr std::int64_t SeekTolerance = 3 * MicrosecondsPerSecond / 2;

// Set is not handled by a setter (there is none), so that it reaches MethodCall and can be
// answered when its run ends.
constexpr char Introspection[] = R"(
<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/>
      <arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="LoopStatus" type="s" access="readwrite"/>
    <property name="Rate" type="d" access="readwrite"/>
    <property name="Shuffle" type="b" access="readwrite"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

constexpr const char* ControlProperties[] = {"CanGoNext", "CanGoPrevious", "CanPlay",
                                             "CanPause",  "CanSeek",       "CanControl"};

GVariant* EmptyStrings() { return g_variant_new_strv(nullptr, 0); }

}  // namespace

Companion::Companion(Runner& runner, GMainLoop* loop) : runner_(runner), loop_(loop) {
    introspection_ = g_dbus_node_info_new_for_xml(Introspection, nullptr);
}

Companion::~Companion() {
    if (pollTimer_ != 0) g_source_remove(pollTimer_);
    for (guint registration : registrations_)
        g_dbus_connection_unregister_object(connection_, registration);
    if (owner_ != 0) g_bus_unown_name(owner_);
    g_dbus_node_info_unref(introspection_);
}

void Companion::Start() {
    owner_ = g_bus_own_name(G_BUS_TYPE_SESSION, BusName, G_BUS_NAME_OWNER_FLAGS_NONE, BusAcquired,
                            NameAcquired, NameLost, this, nullptr);
}

void Companion::BusAcquired(GDBusConnection* connection, const gchar*, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    companion.connection_ = connection;
    static const GDBusInterfaceVTable vtable = {MethodCall, GetProperty, nullptr, {}};
    for (GDBusInterfaceInfo** info = companion.introspection_->interfaces; *info != nullptr;
         ++info) {
        companion.registrations_.push_back(g_dbus_connection_register_object(
            connection, ObjectPath, *info, &vtable, self, nullptr, nullptr));
    }
}

void Companion::NameAcquired(GDBusConnection*, const gchar*, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    companion.acquired_ = true;
    companion.Poll();
}

void Companion::NameLost(GDBusConnection* connection, const gchar*, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    if (connection == nullptr) {
        g_printerr("tunedesk-mpris: no session bus (is DBUS_SESSION_BUS_ADDRESS set?)\n");
    } else if (!companion.acquired_) {
        g_printerr("tunedesk-mpris: %s is taken: another tunedesk-mpris is running\n", BusName);
    } else {
        g_printerr("tunedesk-mpris: lost %s on the session bus\n", BusName);
    }
    companion.exitStatus_ = 1;
    g_main_loop_quit(companion.loop_);
}

void Companion::MethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar* interfaceName,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    if (g_strcmp0(interfaceName, PropertiesInterface) == 0 && g_strcmp0(method, "Set") == 0) {
        companion.SetProperty(parameters, invocation);
    } else {
        companion.Call(method, parameters, invocation);
    }
}

void Companion::Call(const std::string& method, GVariant* parameters,
                     GDBusMethodInvocation* invocation) {
    if (method == "Play" || method == "Pause" || method == "PlayPause") {
        const Transport call = method == "Play"    ? Transport::Play
                               : method == "Pause" ? Transport::Pause
                                                   : Transport::PlayPause;
        Forward({TransportSwitch(call, state_)}, invocation);
    } else if (method == "Stop" || method == "Next" || method == "Previous" || method == "Raise") {
        const char* switchText = method == "Stop"    ? "/STOP"
                                 : method == "Next"  ? "/NEXT"
                                 : method == "Raise" ? "/SHOW"
                                                     : "/PREV";
        Forward({switchText}, invocation);
    } else if (method == "Seek") {
        gint64 offset = 0;
        g_variant_get(parameters, "(x)", &offset);
        Forward({SeekSwitch(offset)}, invocation);
    } else if (method == "SetPosition") {
        const gchar* track = nullptr;
        gint64 position = 0;
        g_variant_get(parameters, "(&ox)", &track, &position);
        // A position for another track, or past this one's end, is to be ignored.
        const bool applies = TrackId(state_) == track && TrackId(state_) != NoTrack &&
                             (state_.length < 0 || position <= state_.length);
        Forward({applies ? PositionSwitch(position) : ""}, invocation);
    } else if (method == "Quit") {
        g_dbus_method_invocation_return_value(invocation, nullptr);  // CanQuit is false
    } else {
        g_dbus_method_invocation_return_dbus_error(invocation, NotSupported,
                                                   ("The player can't " + method).c_str());
    }
}

void Companion::SetProperty(GVariant* parameters, GDBusMethodInvocation* invocation) {
    const gchar* interfaceName = nullptr;
    const gchar* property = nullptr;
    GVariant* value = nullptr;
    g_variant_get(parameters, "(&s&sv)", &interfaceName, &property, &value);
    const std::string name = property;
    std::string switchText;
    bool supported = g_strcmp0(interfaceName, PlayerInterface) == 0;
    if (supported && name == "Volume" && g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) {
        switchText = VolumeSwitch(g_variant_get_double(value));
    } else if (supported && name == "Shuffle" &&
               g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) {
        switchText = g_variant_get_boolean(value) ? "/SHUFFLE=ON" : "/SHUFFLE=OFF";
    } else if (supported && name == "LoopStatus" &&
               g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
        supported = LoopSwitch(g_variant_get_string(value, nullptr), switchText);
    } else if (supported && name == "Rate") {
        // Only the normal rate is offered; setting it changes nothing.
    } else {
        supported = false;
    }
    g_variant_unref(value);
    if (!supported) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, NotSupported, ("The player can't set " + name + " to that").c_str());
        return;
    }
    Forward({switchText}, invocation);
}

void Companion::Forward(std::vector<std::string> switches, GDBusMethodInvocation* invocation) {
    if (switches.size() == 1 && switches.front().empty()) {
        g_dbus_method_invocation_return_value(invocation, nullptr);  // nothing to do
        return;
    }
    runner_.Run(std::move(switches), [this, invocation](bool ok, const std::string&,
                                                        const std::string& problem) {
        if (ok) {
            g_dbus_method_invocation_return_value(invocation, nullptr);
        } else {
            g_dbus_method_invocation_return_dbus_error(invocation, Failed, problem.c_str());
        }
        Poll();
    });
}

void Companion::Poll() {
    if (pollQueued_) return;
    pollQueued_ = true;
    runner_.Run({"/QUERY"}, [this](bool ok, const std::string& output, const std::string&) {
        pollQueued_ = false;
        PlayerState next;
        if (ok && ParseQuery(output, next)) Update(next);
        SchedulePoll();
    });
}

void Companion::SchedulePoll() {
    if (pollTimer_ != 0) g_source_remove(pollTimer_);
    const bool playing = state_.running && state_.status == "Playing";
    pollTimer_ =
        g_timeout_add_seconds(playing ? PlayingPollSeconds : IdlePollSeconds, PollDue, this);
}

gboolean Companion::PollDue(gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    companion.pollTimer_ = 0;
    companion.Poll();
    return G_SOURCE_REMOVE;
}

void Companion::Update(const PlayerState& next) {
    const std::int64_t expected = Position();
    const PlayerState previous = state_;
    const std::string previousStatus = PlaybackStatus();
    GVariant* previousMetadata = g_variant_ref_sink(Metadata());
    state_ = next;
    polledAt_ = g_get_monotonic_time();

    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
    const auto add = [&](const char* property) {
        g_variant_builder_add(&changed, "{sv}", property, PlayerProperty(property));
    };
    if (PlaybackStatus() != previousStatus) add("PlaybackStatus");
    if (next.volume != previous.volume) add("Volume");
    if (next.shuffle != previous.shuffle) add("Shuffle");
    if (next.repeat != previous.repeat) add("LoopStatus");
    GVariant* metadata = g_variant_ref_sink(Metadata());
    if (!g_variant_equal(metadata, previousMetadata)) add("Metadata");
    g_variant_unref(metadata);
    g_variant_unref(previousMetadata);
    EmitChanged(&changed);

    const bool sameTrack = TrackId(next) == TrackId(previous) && previous.position >= 0;
    if (sameTrack && next.position >= 0 && std::llabs(next.position - expected) > SeekTolerance) {
        g_dbus_connection_emit_signal(connection_, nullptr, ObjectPath, PlayerInterface, "Seeked",
                                      g_variant_new("(x)", next.position), nullptr);
    }
}

void Companion::EmitChanged(GVariantBuilder* changed) {
    GVariant* properties = g_variant_builder_end(changed);
    if (g_variant_n_children(properties) == 0 || connection_ == nullptr) {
        g_variant_unref(g_variant_ref_sink(properties));
        return;
    }
    g_dbus_connection_emit_signal(
        connection_, nullptr, ObjectPath, PropertiesInterface, "PropertiesChanged",
        g_variant_new("(s@a{sv}@as)", PlayerInterface, properties, EmptyStrings()), nullptr);
}

std::string Companion::PlaybackStatus() const { return state_.running ? state_.status : "Stopped"; }

// Between polls a playing track moves on with the clock.
std::int64_t Companion::Position() const {
    if (!state_.running || state_.position < 0) return 0;
    std::int64_t position = state_.position;
    if (state_.status == "Playing") position += g_get_monotonic_time() - polledAt_;
    return state_.length >= 0 && position > state_.length ? state_.length : position;
}

GVariant* Companion::Metadata() const {
    GVariantBuilder metadata;
    g_variant_builder_init(&metadata, G_VARIANT_TYPE("a{sv}"));
    const std::string track = TrackId(state_);
    g_variant_builder_add(&metadata, "{sv}", "mpris:trackid",
                          g_variant_new_object_path(track.c_str()));
    if (track != NoTrack) {
        const TitleParts parts = SplitTitle(state_.title);
        g_variant_builder_add(&metadata, "{sv}", "xesam:title",
                              g_variant_new_string(parts.title.c_str()));
        if (!parts.artist.empty()) {
            const gchar* artists[] = {parts.artist.c_str(), nullptr};
            g_variant_builder_add(&metadata, "{sv}", "xesam:artist",
                                  g_variant_new_strv(artists, -1));
        }
        if (state_.length >= 0) {
            g_variant_builder_add(&metadata, "{sv}", "mpris:length",
                                  g_variant_new_int64(state_.length));
        }
    }
    return g_variant_builder_end(&metadata);
}

GVariant* Companion::PlayerProperty(const std::string& property) const {
    if (property == "PlaybackStatus") return g_variant_new_string(PlaybackStatus().c_str());
    if (property == "LoopStatus") return g_variant_new_string(LoopStatus(state_.repeat).c_str());
    if (property == "Rate" || property == "MinimumRate" || property == "MaximumRate")
        return g_variant_new_double(1.0);
    if (property == "Shuffle") return g_variant_new_boolean(state_.shuffle);
    if (property == "Metadata") return Metadata();
    if (property == "Volume") return g_variant_new_double(state_.volume / 100.0);
    if (property == "Position") return g_variant_new_int64(Position());
    for (const char* control : ControlProperties) {
        if (property == control) return g_variant_new_boolean(TRUE);
    }
    return nullptr;
}

GVariant* Companion::GetProperty(GDBusConnection*, const gchar*, const gchar*,
                                 const gchar* interfaceName, const gchar* property, GError** error,
                                 gpointer self) {
    const Companion& companion = *static_cast<Companion*>(self);
    const std::string name = property;
    if (g_strcmp0(interfaceName, PlayerInterface) == 0) {
        if (GVariant* value = companion.PlayerProperty(name)) return value;
    } else if (name == "CanQuit" || name == "HasTrackList") {
        return g_variant_new_boolean(FALSE);
    } else if (name == "CanRaise") {
        return g_variant_new_boolean(TRUE);
    } else if (name == "Identity") {
        return g_variant_new_string(Identity);
    } else if (name == "DesktopEntry") {
        return g_variant_new_string(DesktopEntry);
    } else if (name == "SupportedUriSchemes" || name == "SupportedMimeTypes") {
        return EmptyStrings();
    }
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
    return nullptr;
}

}  // namespace mpris
