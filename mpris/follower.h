// Keeps one "wine tunedesk.exe /FOLLOW" running for the companion: lines go to its standard input,
// blocks come back from its standard output, and a follower that ends is started again after a
// pause that grows from 1 s to 30 s. Its end is judged by its process's exit, not by the end of
// its output: a player it starts may hold that pipe open.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mpris {

class Follower {
public:
    // Each block's "done N" as it comes ahead of the block, each block as it arrives, and a line
    // on each end of a follower.
    using DoneArrived = std::function<void(std::uint64_t done)>;
    using BlockArrived = std::function<void(const std::string& block)>;
    using Ended = std::function<void(const std::string& why)>;

    Follower(std::vector<std::string> wine, std::string program, std::string winePrefix,
             bool verbose, DoneArrived doneArrived, BlockArrived blockArrived, Ended ended);
    ~Follower();

    void Start();
    bool Running() const { return process_ != nullptr; }
    // Sends a line and returns its number, which the block's "done" reaches once it is carried
    // out; 0 when no follower is running.
    std::uint64_t Send(const std::string& line);
    // Ends the running follower, which is then started again as after any end.
    void Restart(const std::string& why);

private:
    void Launch();
    void ReadLine();
    void Write();
    void Stop();
    // Says why the follower ended and starts it again after the pause, which then grows.
    void StartAgainLater(const std::string& why);
    static void LineRead(GObject* source, GAsyncResult* result, gpointer self);
    static void Written(GObject* source, GAsyncResult* result, gpointer writing);
    static void Exited(GObject* source, GAsyncResult* result, gpointer self);
    static gboolean RestartDue(gpointer self);

    std::vector<std::string> wine_;
    std::string program_, winePrefix_;
    bool verbose_;
    DoneArrived doneArrived_;
    BlockArrived blockArrived_;
    Ended ended_;
    GSubprocess* process_ = nullptr;
    GDataInputStream* output_ = nullptr;
    GOutputStream* input_ = nullptr;
    GCancellable* cancellable_ = nullptr;
    std::string block_;  // the lines of the block being read
    struct Writing;
    std::string waiting_;   // lines not yet written
    bool writing_ = false;  // a write is in flight
    std::uint64_t sent_ = 0;
    guint restartTimer_ = 0;
    guint backoff_;  // milliseconds before the next start
    bool blockSeen_ = false;
};

}  // namespace mpris
