// The MPRIS interfaces, served from the latest block; no getter ever waits for Wine.
#include "companion.h"

#include <cstdio>

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
constexpr double PercentPerUnit = 100.0;

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

GVariant* EmptyStrings() { return g_variant_new_strv(nullptr, 0); }

GVariant* Metadata(const PlayerState& state) {
    GVariantBuilder metadata;
    g_variant_builder_init(&metadata, G_VARIANT_TYPE("a{sv}"));
    const std::string track = TrackId(state);
    g_variant_builder_add(&metadata, "{sv}", "mpris:trackid",
                          g_variant_new_object_path(track.c_str()));
    if (track != NoTrack) {
        const TitleParts parts = SplitTitle(state.title);
        g_variant_builder_add(&metadata, "{sv}", "xesam:title",
                              g_variant_new_string(parts.title.c_str()));
        if (!parts.artist.empty()) {
            const gchar* artists[] = {parts.artist.c_str(), nullptr};
            g_variant_builder_add(&metadata, "{sv}", "xesam:artist",
                                  g_variant_new_strv(artists, -1));
        }
        if (state.length >= 0) {
            g_variant_builder_add(&metadata, "{sv}", "mpris:length",
                                  g_variant_new_int64(state.length));
        }
    }
    return g_variant_builder_end(&metadata);
}

GVariant* True(const Companion&) { return g_variant_new_boolean(TRUE); }
GVariant* False(const Companion&) { return g_variant_new_boolean(FALSE); }
GVariant* NormalRate(const Companion&) { return g_variant_new_double(1.0); }
GVariant* NoStrings(const Companion&) { return EmptyStrings(); }

// Every property, of both interfaces, and how its value is had: Get, GetAll and the change
// signal all read it from here.
const struct Property {
    const char* interfaceName;
    const char* name;
    GVariant* (*value)(const Companion& companion);
} Properties[] = {
    {RootInterface, "CanQuit", False},
    {RootInterface, "CanRaise", True},
    {RootInterface, "HasTrackList", False},
    {RootInterface, "Identity", [](const Companion&) { return g_variant_new_string(Identity); }},
    {RootInterface, "DesktopEntry",
     [](const Companion&) { return g_variant_new_string(DesktopEntry); }},
    {RootInterface, "SupportedUriSchemes", NoStrings},
    {RootInterface, "SupportedMimeTypes", NoStrings},
    {PlayerInterface, "PlaybackStatus",
     [](const Companion& c) { return g_variant_new_string(PlaybackStatus(c.State())); }},
    {PlayerInterface, "LoopStatus",
     [](const Companion& c) { return g_variant_new_string(LoopStatus(c.State().repeat).c_str()); }},
    {PlayerInterface, "Rate", NormalRate},
    {PlayerInterface, "MinimumRate", NormalRate},
    {PlayerInterface, "MaximumRate", NormalRate},
    {PlayerInterface, "Shuffle",
     [](const Companion& c) { return g_variant_new_boolean(c.State().shuffle); }},
    {PlayerInterface, "Metadata", [](const Companion& c) { return Metadata(c.State()); }},
    {PlayerInterface, "Volume",
     [](const Companion& c) { return g_variant_new_double(c.State().volume / PercentPerUnit); }},
    {PlayerInterface, "Position",
     [](const Companion& c) { return g_variant_new_int64(c.Position()); }},
    {PlayerInterface, "CanGoNext", True},
    {PlayerInterface, "CanGoPrevious", True},
    {PlayerInterface, "CanPlay", True},
    {PlayerInterface, "CanPause", True},
    {PlayerInterface, "CanSeek", True},
    {PlayerInterface, "CanControl", True},
};

const Property* FindProperty(const char* interfaceName, const char* name) {
    for (const Property& property : Properties) {
        if (g_strcmp0(property.interfaceName, interfaceName) == 0 &&
            g_strcmp0(property.name, name) == 0)
            return &property;
    }
    return nullptr;
}

}  // namespace

// The call a timer is for.
struct Companion::Overdue {
    Companion* companion;
    std::uint64_t line;
};

Companion::Companion(std::vector<std::string> wine, std::string program, std::string winePrefix,
                     unsigned timeoutMilliseconds, bool verbose, GMainLoop* loop)
    : follower_(
          std::move(wine), std::move(program), std::move(winePrefix), verbose,
          [this](const std::string& block) { BlockArrived(block); },
          [this](const std::string& why) { FollowerEnded(why); }),
      timeout_(timeoutMilliseconds),
      loop_(loop) {
    introspection_ = g_dbus_node_info_new_for_xml(Introspection, nullptr);
}

Companion::~Companion() {
    FailPending("tunedesk-mpris is stopping");
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
    companion.follower_.Start();
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

// Every line is built from fixed switch names and numbers: nothing a caller sends is copied
// into one, so no caller can add a line of its own.
void Companion::Call(const std::string& method, GVariant* parameters,
                     GDBusMethodInvocation* invocation) {
    if (const char* switchText = MethodSwitch(method)) {
        Forward(switchText, invocation);
    } else if (method == "Play" || method == "Pause" || method == "PlayPause") {
        const Transport call = method == "Play"    ? Transport::Play
                               : method == "Pause" ? Transport::Pause
                                                   : Transport::PlayPause;
        Forward(TransportSwitch(call, state_), invocation);
    } else if (method == "Seek") {
        gint64 offset = 0;
        g_variant_get(parameters, "(x)", &offset);
        Forward(SeekSwitch(offset), invocation);
    } else if (method == "SetPosition") {
        const gchar* track = nullptr;
        gint64 position = 0;
        g_variant_get(parameters, "(&ox)", &track, &position);
        // A position for another track, or past this one's end, is to be ignored.
        const bool applies = TrackId(state_) == track && TrackId(state_) != NoTrack &&
                             (state_.length < 0 || position <= state_.length);
        Forward(applies ? PositionSwitch(position) : "", invocation);
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
    Forward(switchText, invocation);
}

void Companion::Forward(const std::string& line, GDBusMethodInvocation* invocation) {
    if (line.empty()) {
        g_dbus_method_invocation_return_value(invocation, nullptr);  // nothing to do
        return;
    }
    const std::uint64_t number = follower_.Send(line);
    if (number == 0) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, Failed, "Tunedesk is not running under Wine: it is being started again");
        return;
    }
    const guint timer =
        g_timeout_add_full(G_PRIORITY_DEFAULT, timeout_, CallOverdue, new Overdue{this, number},
                           [](gpointer overdue) { delete static_cast<Overdue*>(overdue); });
    pending_.push_back({number, invocation, timer});
}

// The oldest call not carried out in time: answered with an error, and the follower, which may
// be stuck, started again.
gboolean Companion::CallOverdue(gpointer data) {
    const Overdue& overdue = *static_cast<Overdue*>(data);
    Companion& companion = *overdue.companion;
    for (auto call = companion.pending_.begin(); call != companion.pending_.end(); ++call) {
        if (call->line != overdue.line) continue;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", companion.timeout_ / 1000.0);
        g_dbus_method_invocation_return_dbus_error(
            call->invocation, Failed,
            (std::string("Tunedesk did not answer within ") + seconds + " s").c_str());
        companion.pending_.erase(call);
        break;
    }
    companion.follower_.Restart("a call was not carried out in time");
    return G_SOURCE_REMOVE;
}

void Companion::BlockArrived(const std::string& block) {
    PlayerState next;
    std::uint64_t done = 0;
    if (!ParseBlock(block, next, done)) return;
    while (!pending_.empty() && pending_.front().line <= done) {
        g_source_remove(pending_.front().timer);
        g_dbus_method_invocation_return_value(pending_.front().invocation, nullptr);
        pending_.pop_front();
    }
    Update(next);
}

void Companion::FailPending(const std::string& why) {
    for (const Pending& call : pending_) {
        g_source_remove(call.timer);
        g_dbus_method_invocation_return_dbus_error(call.invocation, Failed, why.c_str());
    }
    pending_.clear();
}

// Meanwhile the player shows as stopped.
void Companion::FollowerEnded(const std::string& why) {
    g_printerr("tunedesk-mpris: %s; starting it again\n", why.c_str());
    FailPending("Tunedesk under Wine ended: " + why);
    Update(PlayerState{});
}

void Companion::Update(const PlayerState& next) {
    const gint64 now = g_get_monotonic_time();
    const bool jumped = Jumped(state_, now - shownAt_, next);
    const std::vector<std::string> changed = ChangedProperties(state_, next);
    state_ = next;
    shownAt_ = now;
    if (connection_ == nullptr) return;
    if (!changed.empty()) {
        GVariantBuilder values;
        g_variant_builder_init(&values, G_VARIANT_TYPE("a{sv}"));
        for (const std::string& name : changed)
            g_variant_builder_add(&values, "{sv}", name.c_str(),
                                  FindProperty(PlayerInterface, name.c_str())->value(*this));
        g_dbus_connection_emit_signal(
            connection_, nullptr, ObjectPath, PropertiesInterface, "PropertiesChanged",
            g_variant_new("(sa{sv}@as)", PlayerInterface, &values, EmptyStrings()), nullptr);
    }
    if (jumped) {
        g_dbus_connection_emit_signal(connection_, nullptr, ObjectPath, PlayerInterface, "Seeked",
                                      g_variant_new("(x)", Position()), nullptr);
    }
}

std::int64_t Companion::Position() const {
    return EstimatedPosition(state_, g_get_monotonic_time() - shownAt_);
}

GVariant* Companion::GetProperty(GDBusConnection*, const gchar*, const gchar*,
                                 const gchar* interfaceName, const gchar* property, GError** error,
                                 gpointer self) {
    if (const Property* found = FindProperty(interfaceName, property))
        return found->value(*static_cast<Companion*>(self));
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
    return nullptr;
}

}  // namespace mpris
