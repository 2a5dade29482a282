// The follower's process and its two pipes, driven from the main loop without ever blocking it.
#include "follower.h"

#include "model.h"

namespace mpris {

namespace {

constexpr char FollowSwitch[] = "/FOLLOW";

}  // namespace

Follower::Follower(std::vector<std::string> wine, std::string program, std::string winePrefix,
                   bool verbose, DoneArrived doneArrived, BlockArrived blockArrived, Ended ended)
    : wine_(std::move(wine)),
      program_(std::move(program)),
      winePrefix_(std::move(winePrefix)),
      verbose_(verbose),
      doneArrived_(std::move(doneArrived)),
      blockArrived_(std::move(blockArrived)),
      ended_(std::move(ended)),
      backoff_(FirstBackoff) {}

Follower::~Follower() {
    if (restartTimer_ != 0) g_source_remove(restartTimer_);
    Stop();
}

void Follower::Start() { Launch(); }

void Follower::Launch() {
    GSubprocessLauncher* launcher = g_subprocess_launcher_new(static_cast<GSubprocessFlags>(
        G_SUBPROCESS_FLAGS_STDIN_PIPE | G_SUBPROCESS_FLAGS_STDOUT_PIPE |
        G_SUBPROCESS_FLAGS_STDERR_SILENCE));
    g_subprocess_launcher_setenv(launcher, "WINEDEBUG", "-all", TRUE);
    if (!winePrefix_.empty())
        g_subprocess_launcher_setenv(launcher, "WINEPREFIX", winePrefix_.c_str(), TRUE);
    std::vector<const gchar*> argv;
    for (const std::string& item : wine_)
        argv.push_back(item.c_str());
    argv.push_back(program_.c_str());
    argv.push_back(FollowSwitch);
    argv.push_back(nullptr);
    GError* error = nullptr;
    process_ = g_subprocess_launcher_spawnv(launcher, argv.data(), &error);
    g_object_unref(launcher);
    if (process_ == nullptr) {
        const std::string why = "cannot start " + wine_.front() + ": " + error->message;
        g_error_free(error);
        StartAgainLater(why);
        return;
    }
    if (verbose_) g_printerr("follower started\n");
    cancellable_ = g_cancellable_new();
    output_ = g_data_input_stream_new(g_subprocess_get_stdout_pipe(process_));
    input_ = G_OUTPUT_STREAM(g_object_ref(g_subprocess_get_stdin_pipe(process_)));
    block_.clear();
    blockSeen_ = false;
    sent_ = 0;
    g_subprocess_wait_async(process_, cancellable_, Exited, this);
    ReadLine();
}

void Follower::ReadLine() {
    g_data_input_stream_read_line_async(output_, G_PRIORITY_DEFAULT, cancellable_, LineRead, this);
}

void Follower::LineRead(GObject* source, GAsyncResult* result, gpointer self) {
    GError* error = nullptr;
    gsize length = 0;
    gchar* line =
        g_data_input_stream_read_line_finish(G_DATA_INPUT_STREAM(source), result, &length, &error);
    if (error != nullptr) {  // cancelled: this follower is gone
        g_error_free(error);
        return;
    }
    Follower& follower = *static_cast<Follower*>(self);
    if (line == nullptr) return;  // the end of the output; the process's exit decides
    std::string text(line, length);
    g_free(line);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.empty()) {
        follower.blockSeen_ = true;
        follower.backoff_ = FirstBackoff;  // this one works
        const std::string block = std::move(follower.block_);
        follower.block_.clear();
        follower.ReadLine();
        follower.blockArrived_(block);
        return;
    }
    std::uint64_t done = 0;
    const bool first = follower.block_.empty();
    follower.block_ += text + "\n";
    follower.ReadLine();
    // A block's done comes ahead of its state read: the calls it counts can be answered now.
    if (first && ParseDone(text, done)) follower.doneArrived_(done);
}

// One write in flight, with its own copy of the lines, since the follower may be restarted
// before it completes.
struct Follower::Writing {
    Follower* follower;
    GOutputStream* stream;
    std::string lines;
};

std::uint64_t Follower::Send(const std::string& line) {
    if (process_ == nullptr) return 0;
    waiting_ += line + "\n";
    if (!writing_) Write();
    return ++sent_;
}

void Follower::Write() {
    if (waiting_.empty()) return;
    writing_ = true;
    Writing* writing = new Writing{this, input_, std::move(waiting_)};
    waiting_.clear();
    g_output_stream_write_all_async(input_, writing->lines.data(), writing->lines.size(),
                                    G_PRIORITY_DEFAULT, cancellable_, Written, writing);
}

void Follower::Written(GObject* source, GAsyncResult* result, gpointer data) {
    Writing* writing = static_cast<Writing*>(data);
    g_output_stream_write_all_finish(G_OUTPUT_STREAM(source), result, nullptr, nullptr);
    Follower& follower = *writing->follower;
    const bool current = writing->stream == follower.input_;
    delete writing;
    if (!current) return;  // an earlier follower's: its exit has restarted it
    follower.writing_ = false;
    follower.Write();
}

void Follower::Exited(GObject*, GAsyncResult* result, gpointer self) {
    Follower& follower = *static_cast<Follower*>(self);
    GError* error = nullptr;
    if (!g_subprocess_wait_finish(follower.process_, result, &error)) {
        g_error_free(error);  // cancelled by Stop
        return;
    }
    const int status = g_subprocess_get_if_exited(follower.process_)
                           ? g_subprocess_get_exit_status(follower.process_)
                           : -g_subprocess_get_term_sig(follower.process_);
    follower.Restart("tunedesk.exe /FOLLOW ended (status " + std::to_string(status) + ")");
}

void Follower::Stop() {
    if (process_ == nullptr) return;
    g_cancellable_cancel(cancellable_);
    g_subprocess_force_exit(process_);
    g_clear_object(&output_);
    g_clear_object(&input_);
    g_clear_object(&process_);
    g_clear_object(&cancellable_);
    waiting_.clear();
    writing_ = false;
    if (verbose_) g_printerr("follower stopped\n");
}

void Follower::Restart(const std::string& why) {
    if (process_ == nullptr) return;  // already waiting to start again
    Stop();
    StartAgainLater(why);
}

void Follower::StartAgainLater(const std::string& why) {
    ended_(why);
    restartTimer_ = g_timeout_add(backoff_, RestartDue, this);
    backoff_ = NextBackoff(backoff_);
}

gboolean Follower::RestartDue(gpointer self) {
    Follower& follower = *static_cast<Follower*>(self);
    follower.restartTimer_ = 0;
    follower.Launch();
    return G_SOURCE_REMOVE;
}

}  // namespace mpris
