// The MPRIS interfaces, served from the latest block; no getter ever waits for Wine.
#include "companion.h"

#include <cstdio>

#include "files.h"

namespace mpris {

namespace {

constexpr char SettingsFileName[] = "TUNEDESK.INI";

GVariant* EmptyStrings() { return g_variant_new_strv(nullptr, 0); }

// The settings file that the program reads, beside itself.
std::string SettingsBeside(const std::string& program) {
    gchar* folder = g_path_get_dirname(program.c_str());
    std::string settings = std::string(folder) + "/" + SettingsFileName;
    g_free(folder);
    return settings;
}

}  // namespace

// The call a timer is for.
struct Companion::Overdue {
    Companion* companion;
    std::uint64_t line;
};

Companion::Companion(std::vector<std::string> wine, std::string program, std::string winePrefix,
                     unsigned timeoutMilliseconds, bool verbose, GMainLoop* loop)
    : prefix_(winePrefix),
      settingsFile_(SettingsBeside(program)),
      follower_(
          std::move(wine), std::move(program), std::move(winePrefix), verbose,
          [this](std::uint64_t done) { Answer(done, false); },
          [this](const std::string& block) { BlockArrived(block); },
          [this](const std::string& why) { FollowerEnded(why); }),
      timeout_(timeoutMilliseconds),
      loop_(loop) {
    introspection_ = g_dbus_node_info_new_for_xml(Introspection().c_str(), nullptr);
}

Companion::~Companion() {
    FailPending("tunedesk-mpris is stopping");
    for (guint registration : registrations_)
        g_dbus_connection_unregister_object(connection_, registration);
    Disown();
    if (connection_ != nullptr) g_object_unref(connection_);
    g_dbus_node_info_unref(introspection_);
}

// The objects are served at once; the name is owned only while there is a player to show, or
// always when Play may start one.
void Companion::Start() {
    gchar* settings = nullptr;
    gsize length = 0;
    if (g_file_get_contents(settingsFile_.c_str(), &settings, &length, nullptr)) {
        autoload_ = AutoloadOn(std::string(settings, length));
        g_free(settings);
    }
    g_bus_get(G_BUS_TYPE_SESSION, nullptr, BusReady, this);
}

void Companion::BusReady(GObject*, GAsyncResult* result, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    companion.connection_ = g_bus_get_finish(result, nullptr);
    if (companion.connection_ == nullptr) {
        g_printerr("tunedesk-mpris: no session bus (is DBUS_SESSION_BUS_ADDRESS set?)\n");
        companion.exitStatus_ = 1;
        g_main_loop_quit(companion.loop_);
        return;
    }
    static const GDBusInterfaceVTable vtable = {MethodCall, GetProperty, nullptr, {}};
    for (GDBusInterfaceInfo** info = companion.introspection_->interfaces; *info != nullptr;
         ++info) {
        companion.registrations_.push_back(g_dbus_connection_register_object(
            companion.connection_, ObjectPath, *info, &vtable, self, nullptr, nullptr));
    }
    if (companion.autoload_) companion.Own();
    companion.follower_.Start();
}

void Companion::Own() {
    if (owner_ != 0 || connection_ == nullptr) return;
    owner_ = g_bus_own_name_on_connection(connection_, BusName, G_BUS_NAME_OWNER_FLAGS_NONE,
                                          NameAcquired, NameLost, this, nullptr);
}

void Companion::Disown() {
    if (owner_ != 0) g_bus_unown_name(owner_);
    owner_ = 0;
    acquired_ = false;
}

void Companion::NameAcquired(GDBusConnection*, const gchar*, gpointer self) {
    static_cast<Companion*>(self)->acquired_ = true;
}

void Companion::NameLost(GDBusConnection*, const gchar*, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    if (!companion.acquired_) {
        g_printerr("tunedesk-mpris: %s is taken: another tunedesk-mpris is running\n", BusName);
    } else {
        g_printerr("tunedesk-mpris: lost %s on the session bus\n", BusName);
    }
    companion.exitStatus_ = 1;
    g_main_loop_quit(companion.loop_);
}

// GDBus answers a call to a method the introspection lacks itself; Set comes here, as there is
// no setter in the table of functions, so that it can be answered when its line is carried out.
void Companion::MethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar* interfaceName,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self) {
    Companion& companion = *static_cast<Companion*>(self);
    if (g_strcmp0(interfaceName, PropertiesInterface) == 0 && g_strcmp0(method, SetMethod) == 0) {
        companion.SetProperty(parameters, invocation);
    } else if (const Method* found = FindMethod(interfaceName, method)) {
        std::string line;
        if (found->line({companion.state_, companion.prefix_}, parameters, line)) {
            companion.Forward(line, invocation, true);
        } else {
            g_dbus_method_invocation_return_dbus_error(invocation, InvalidArgs,
                                                       "No such file, or a name it can't take");
        }
    } else {
        g_dbus_method_invocation_return_dbus_error(
            invocation, NotSupported, (std::string("The player can't ") + method).c_str());
    }
}

void Companion::SetProperty(GVariant* parameters, GDBusMethodInvocation* invocation) {
    const gchar* interfaceName = nullptr;
    const gchar* property = nullptr;
    GVariant* value = nullptr;
    g_variant_get(parameters, "(&s&sv)", &interfaceName, &property, &value);
    const Property* found = FindProperty(interfaceName, property);
    std::string line;
    const bool supported = found != nullptr && found->set != nullptr && found->set(value, line);
    g_variant_unref(value);
    if (!supported) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, NotSupported,
            (std::string("The player can't set ") + property + " to that").c_str());
        return;
    }
    Forward(line, invocation, false);
}

void Companion::Forward(const std::string& line, GDBusMethodInvocation* invocation, bool early) {
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
    pending_.push_back({number, invocation, timer, early});
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
    // Answered first: a Get that comes after a Set's answer is served after this block is shown.
    Answer(done, true);
    // Mapped and read again only when the file changes: they look at folders and files.
    if (next.file == state_.file) {
        next.url = state_.url;
        next.tags = state_.tags;
    } else {
        next.url = FileUrl(next.file, prefix_);
        ReadTagsLater(next.file, next.url);
    }
    Update(next);
}

// A method such as Next is answered as soon as the player has its command, as a native player
// answers; a Set only with the block, which holds what it set.
void Companion::Answer(std::uint64_t done, bool all) {
    for (auto call = pending_.begin(); call != pending_.end();) {
        if (call->line > done || !(all || call->early)) {
            ++call;
            continue;
        }
        g_source_remove(call->timer);
        g_dbus_method_invocation_return_value(call->invocation, nullptr);
        call = pending_.erase(call);
    }
}

// A file's tags and cover, read on a thread of their own so that no call waits for the disk.
struct Companion::Reading {
    Companion* companion;
    std::string file, path;
    Tags tags;
};

void Companion::ReadTagsLater(const std::string& file, const std::string& url) {
    gchar* path = g_filename_from_uri(url.c_str(), nullptr, nullptr);
    if (path == nullptr) return;  // a URL or no file: the caption it is
    Reading* reading = new Reading{this, file, path, {}};
    g_free(path);
    GTask* task = g_task_new(nullptr, nullptr, TagsRead, reading);
    g_task_set_task_data(task, reading, nullptr);
    g_task_run_in_thread(task, [](GTask*, gpointer, gpointer data, GCancellable*) {
        Reading& reading = *static_cast<Reading*>(data);
        reading.tags = ReadTags(reading.path);
        reading.tags.artUrl = CoverArt(reading.tags, reading.path, CacheFolder());
        reading.tags.cover.clear();  // written where artUrl says; not kept
    });
    g_object_unref(task);
}

void Companion::TagsRead(GObject*, GAsyncResult*, gpointer data) {
    Reading* reading = static_cast<Reading*>(data);
    Companion& companion = *reading->companion;
    if (companion.state_.file == reading->file) {  // still the file playing
        PlayerState next = companion.state_;
        next.tags = reading->tags;
        companion.Update(next);
    }
    delete reading;
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
    if (!autoload_ && next.running) Own();
    if (!autoload_ && !next.running) Disown();  // no ghost player on the desktop
    const gint64 now = g_get_monotonic_time();
    const bool jumped = Jumped(state_, now - shownAt_, next);
    const std::vector<std::string> changed = ChangedProperties(state_, next);
    state_ = next;
    shownAt_ = now;
    if (connection_ == nullptr) return;
    if (!changed.empty()) {
        GVariantBuilder values;
        g_variant_builder_init(&values, G_VARIANT_TYPE("a{sv}"));
        for (const std::string& name : changed) {
            const Property* property = FindProperty(PlayerInterface, name.c_str());
            if (property != nullptr && property->signals)
                g_variant_builder_add(&values, "{sv}", name.c_str(),
                                      property->get(state_, Position()));
        }
        g_dbus_connection_emit_signal(
            connection_, nullptr, ObjectPath, PropertiesInterface, PropertiesChangedSignal,
            g_variant_new("(sa{sv}@as)", PlayerInterface, &values, EmptyStrings()), nullptr);
    }
    if (jumped) {
        g_dbus_connection_emit_signal(connection_, nullptr, ObjectPath, PlayerInterface,
                                      SeekedSignal, g_variant_new("(x)", Position()), nullptr);
    }
}

std::int64_t Companion::Position() const {
    return EstimatedPosition(state_, g_get_monotonic_time() - shownAt_);
}

GVariant* Companion::GetProperty(GDBusConnection*, const gchar*, const gchar*,
                                 const gchar* interfaceName, const gchar* property, GError** error,
                                 gpointer self) {
    const Companion& companion = *static_cast<Companion*>(self);
    if (const Property* found = FindProperty(interfaceName, property))
        return found->get(companion.state_, companion.Position());
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
    return nullptr;
}

}  // namespace mpris
