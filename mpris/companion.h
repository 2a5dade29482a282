// The MPRIS player on the session bus: org.mpris.MediaPlayer2.tunedesk at /org/mpris/MediaPlayer2.
// Properties come from a cache that polling /QUERY keeps; calls become Tunedesk runs, and each is
// answered when its run ends.
#pragma once

#include <gio/gio.h>

#include <string>
#include <vector>

#include "model.h"
#include "runner.h"

namespace mpris {

class Companion {
public:
    Companion(Runner& runner, GMainLoop* loop);
    ~Companion();

    // Owns the bus name; the exit status is 1 when another instance has it or there is no bus.
    void Start();
    int ExitStatus() const { return exitStatus_; }

private:
    static void BusAcquired(GDBusConnection* connection, const gchar* name, gpointer self);
    static void NameAcquired(GDBusConnection* connection, const gchar* name, gpointer self);
    static void NameLost(GDBusConnection* connection, const gchar* name, gpointer self);
    static void MethodCall(GDBusConnection* connection, const gchar* sender, const gchar* path,
                           const gchar* interfaceName, const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
    static GVariant* GetProperty(GDBusConnection* connection, const gchar* sender,
                                 const gchar* path, const gchar* interfaceName,
                                 const gchar* property, GError** error, gpointer self);
    static gboolean PollDue(gpointer self);

    void Call(const std::string& method, GVariant* parameters, GDBusMethodInvocation* invocation);
    void SetProperty(GVariant* parameters, GDBusMethodInvocation* invocation);
    // Runs the switches, answers the call when the run ends, then polls.
    void Forward(std::vector<std::string> switches, GDBusMethodInvocation* invocation);
    void Poll();
    void SchedulePoll();
    void Update(const PlayerState& next);
    void EmitChanged(GVariantBuilder* changed);
    std::string PlaybackStatus() const;
    std::int64_t Position() const;
    GVariant* Metadata() const;
    GVariant* PlayerProperty(const std::string& property) const;

    Runner& runner_;
    GMainLoop* loop_;
    GDBusConnection* connection_ = nullptr;
    GDBusNodeInfo* introspection_ = nullptr;
    guint owner_ = 0;
    std::vector<guint> registrations_;
    bool acquired_ = false;
    int exitStatus_ = 0;

    PlayerState state_;
    gint64 polledAt_ = 0;  // monotonic microseconds of the last poll
    bool pollQueued_ = false;
    guint pollTimer_ = 0;
};

}  // namespace mpris
