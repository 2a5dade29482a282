// The MPRIS player on the session bus: org.mpris.MediaPlayer2.tunedesk at /org/mpris/MediaPlayer2.
// Properties come from the follower's latest block; each call becomes one line to the follower
// and is answered when a block shows that line carried out.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "follower.h"
#include "model.h"

namespace mpris {

class Companion {
public:
    Companion(std::vector<std::string> wine, std::string program, std::string winePrefix,
              unsigned timeoutMilliseconds, bool verbose, GMainLoop* loop);
    ~Companion();

    // Serves the player on the bus; the exit status is 1 when another instance holds the name or
    // there is no bus.
    void Start();
    int ExitStatus() const { return exitStatus_; }

    std::int64_t Position() const;

private:
    struct Pending {
        std::uint64_t line;
        GDBusMethodInvocation* invocation;
        guint timer;
        bool early;  // a method, answered once its line is carried out; a Set waits for the block
    };
    struct Overdue;
    struct Reading;

    static void BusReady(GObject* source, GAsyncResult* result, gpointer self);
    static void NameAcquired(GDBusConnection* connection, const gchar* name, gpointer self);
    static void NameLost(GDBusConnection* connection, const gchar* name, gpointer self);
    static void MethodCall(GDBusConnection* connection, const gchar* sender, const gchar* path,
                           const gchar* interfaceName, const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
    static GVariant* GetProperty(GDBusConnection* connection, const gchar* sender,
                                 const gchar* path, const gchar* interfaceName,
                                 const gchar* property, GError** error, gpointer self);
    static gboolean CallOverdue(gpointer overdue);

    void SetProperty(GVariant* parameters, GDBusMethodInvocation* invocation);
    // Sends the line and answers the call once it is carried out; an empty line, at once.
    void Forward(const std::string& line, GDBusMethodInvocation* invocation, bool early);
    // Answers the calls whose lines the follower has carried out: those that can be answered
    // before the block, or all of them.
    void Answer(std::uint64_t done, bool all);
    // Holds the bus name, and lets it go.
    void Own();
    void Disown();
    void BlockArrived(const std::string& block);
    void ReadTagsLater(const std::string& file, const std::string& url);
    static void TagsRead(GObject* source, GAsyncResult* result, gpointer reading);
    void FollowerEnded(const std::string& why);
    void FailPending(const std::string& why);
    void Update(const PlayerState& next);

    std::string prefix_;  // the player's Wine prefix, whose drives name its files
    std::string settingsFile_;
    bool autoload_ = false;  // Play starts an absent player: the name is held all along
    Follower follower_;
    unsigned timeout_;
    GMainLoop* loop_;
    GDBusConnection* connection_ = nullptr;
    GDBusNodeInfo* introspection_ = nullptr;
    guint owner_ = 0;
    std::vector<guint> registrations_;
    bool acquired_ = false;
    int exitStatus_ = 0;

    PlayerState state_;
    gint64 shownAt_ = 0;  // monotonic microseconds when the latest block arrived
    std::deque<Pending> pending_;
};

}  // namespace mpris
