// The queue of Wine runs. Output goes to a file rather than a pipe: a run that starts the player
// would pass a pipe on to it, and the pipe would never close.
#include "runner.h"

#include <glib/gstdio.h>
#include <unistd.h>

#include <cstdio>

namespace mpris {

namespace {

// Tunedesk ends with 1, or 0 after "WinAmp is not running."; anything else is Wine failing.
bool EndedAsTunedesk(GSubprocess* process) {
    return g_subprocess_get_if_exited(process) && g_subprocess_get_exit_status(process) <= 1;
}

std::string Joined(const std::vector<std::string>& switches) {
    std::string text;
    for (const std::string& item : switches)
        text += (text.empty() ? "" : " ") + item;
    return text;
}

}  // namespace

Runner::Runner(std::vector<std::string> wine, std::string program, std::string winePrefix,
               unsigned timeoutMilliseconds, bool verbose)
    : wine_(std::move(wine)),
      program_(std::move(program)),
      winePrefix_(std::move(winePrefix)),
      timeout_(timeoutMilliseconds),
      verbose_(verbose) {
    gchar* path = nullptr;
    const int file = g_file_open_tmp("tunedesk-mpris-XXXXXX", &path, nullptr);
    if (file >= 0) close(file);
    outputPath_ = path != nullptr ? path : "";
    g_free(path);
}

Runner::~Runner() {
    if (current_ != nullptr) g_subprocess_force_exit(current_);
    if (!outputPath_.empty()) g_unlink(outputPath_.c_str());
}

void Runner::Run(std::vector<std::string> switches, Done done) {
    queue_.push_back({std::move(switches), std::move(done)});
    if (current_ == nullptr) StartNext();
}

void Runner::StartNext() {
    if (queue_.empty()) return;
    GSubprocessLauncher* launcher = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_STDERR_SILENCE);
    g_subprocess_launcher_setenv(launcher, "WINEDEBUG", "-all", TRUE);
    if (!winePrefix_.empty())
        g_subprocess_launcher_setenv(launcher, "WINEPREFIX", winePrefix_.c_str(), TRUE);
    g_subprocess_launcher_set_stdout_file_path(launcher, outputPath_.c_str());
    std::vector<const gchar*> argv;
    for (const std::string& item : wine_)
        argv.push_back(item.c_str());
    argv.push_back(program_.c_str());
    for (const std::string& item : queue_.front().switches)
        argv.push_back(item.c_str());
    argv.push_back(nullptr);
    GError* error = nullptr;
    current_ = g_subprocess_launcher_spawnv(launcher, argv.data(), &error);
    g_object_unref(launcher);
    if (verbose_) g_printerr("run: %s\n", Joined(queue_.front().switches).c_str());
    if (current_ == nullptr) {
        const std::string problem = error->message;
        g_error_free(error);
        Finish(false, "cannot start " + wine_.front() + ": " + problem);
        return;
    }
    timedOut_ = false;
    timer_ = g_timeout_add(timeout_, TimedOut, this);
    g_subprocess_wait_async(current_, nullptr, Exited, this);
}

gboolean Runner::TimedOut(gpointer self) {
    Runner& runner = *static_cast<Runner*>(self);
    runner.timer_ = 0;
    runner.timedOut_ = true;
    g_subprocess_force_exit(runner.current_);
    return G_SOURCE_REMOVE;
}

void Runner::Exited(GObject*, GAsyncResult* result, gpointer self) {
    Runner& runner = *static_cast<Runner*>(self);
    g_subprocess_wait_finish(runner.current_, result, nullptr);
    if (runner.timer_ != 0) g_source_remove(runner.timer_);
    runner.timer_ = 0;
    if (runner.timedOut_) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", runner.timeout_ / 1000.0);
        runner.Finish(false, std::string("Tunedesk did not answer within ") + seconds + " s");
    } else if (!EndedAsTunedesk(runner.current_)) {
        runner.Finish(false, "wine failed to run Tunedesk");
    } else {
        runner.Finish(true, "");
    }
}

void Runner::Finish(bool ok, const std::string& problem) {
    std::string output;
    gchar* text = nullptr;
    if (ok && g_file_get_contents(outputPath_.c_str(), &text, nullptr, nullptr)) output = text;
    g_free(text);
    if (current_ != nullptr) g_object_unref(current_);
    current_ = nullptr;
    Job job = std::move(queue_.front());
    queue_.pop_front();
    if (verbose_)
        g_printerr("done: %s%s%s\n", Joined(job.switches).c_str(), ok ? "" : ": ", problem.c_str());
    job.done(ok, output, problem);  // which may queue a run, and start it
    if (current_ == nullptr) StartNext();
}

}  // namespace mpris
