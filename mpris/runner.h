// Runs "wine tunedesk.exe SWITCH ..." for the companion, one run at a time and in arrival order,
// without ever blocking the main loop. A run that hangs is killed after the timeout.
#pragma once

#include <gio/gio.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace mpris {

class Runner {
public:
    // ok: the run ended as Tunedesk ends (status 0 or 1); output: what it wrote; problem: why not.
    using Done =
        std::function<void(bool ok, const std::string& output, const std::string& problem)>;

    Runner(std::vector<std::string> wine, std::string program, std::string winePrefix,
           unsigned timeoutMilliseconds, bool verbose);
    ~Runner();

    void Run(std::vector<std::string> switches, Done done);

private:
    struct Job {
        std::vector<std::string> switches;
        Done done;
    };

    void StartNext();
    void Finish(bool ok, const std::string& problem);
    static void Exited(GObject* source, GAsyncResult* result, gpointer self);
    static gboolean TimedOut(gpointer self);

    std::vector<std::string> wine_;
    std::string program_, winePrefix_, outputPath_;
    unsigned timeout_;
    bool verbose_;
    std::deque<Job> queue_;
    GSubprocess* current_ = nullptr;
    guint timer_ = 0;
    bool timedOut_ = false;
};

}  // namespace mpris
