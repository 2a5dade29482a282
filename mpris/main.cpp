// tunedesk-mpris: puts the player under Wine on the session bus as an MPRIS player, so that
// media keys, desktop widgets and playerctl reach it through one "wine tunedesk.exe /FOLLOW".
#include <glib-unix.h>
#include <glib.h>

#include <string>
#include <vector>

#include "companion.h"

namespace {

constexpr char Version[] = "tunedesk-mpris " TUNEDESK_VERSION;
constexpr int UsageStatus = 2;
constexpr double DefaultTimeout = 10.0;  // a call that starts the player waits for it

gboolean Stop(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    gchar* wine = nullptr;
    gchar* winePrefix = nullptr;
    double timeout = DefaultTimeout;
    gboolean verbose = FALSE, version = FALSE;
    const GOptionEntry options[] = {
        {"wine", 0, 0, G_OPTION_ARG_STRING, &wine, "The wine command (default: wine)", "COMMAND"},
        {"wine-prefix", 0, 0, G_OPTION_ARG_FILENAME, &winePrefix,
         "The player's Wine prefix (default: $WINEPREFIX, else ~/.wine)", "DIR"},
        {"timeout", 0, 0, G_OPTION_ARG_DOUBLE, &timeout,
         "Seconds before a call that Tunedesk has not carried out is given up (default: 10)",
         "SECONDS"},
        {"verbose", 0, 0, G_OPTION_ARG_NONE, &verbose, "Say when Tunedesk starts and stops",
         nullptr},
        {"version", 0, 0, G_OPTION_ARG_NONE, &version, "Show the version and exit", nullptr},
        {},
    };
    GOptionContext* context =
        g_option_context_new("[PATH/TO/tunedesk.exe, default " TUNEDESK_EXE "]");
    g_option_context_set_summary(
        context,
        "Registers the player running under Wine on the session bus as the MPRIS player\n"
        "org.mpris.MediaPlayer2.tunedesk, and carries out each call through one\n"
        "\"tunedesk.exe /FOLLOW\" that also reports the player's state as it changes.");
    g_option_context_add_main_entries(context, options, nullptr);
    GError* error = nullptr;
    const bool parsed = g_option_context_parse(context, &argc, &argv, &error);
    g_option_context_free(context);
    if (!parsed) {
        g_printerr("tunedesk-mpris: %s (see --help)\n", error->message);
        g_error_free(error);
        return UsageStatus;
    }
    if (version) {
        g_print("%s\n", Version);
        return 0;
    }
    if (argc > 2 || timeout <= 0) {
        g_printerr(
            "tunedesk-mpris: give at most the path of tunedesk.exe, and a timeout above 0 (see "
            "--help)\n");
        return UsageStatus;
    }
    const std::string program = argc == 2 ? argv[1] : TUNEDESK_EXE;

    gchar** wineArgv = nullptr;
    if (!g_shell_parse_argv(wine != nullptr ? wine : "wine", nullptr, &wineArgv, &error)) {
        g_printerr("tunedesk-mpris: --wine: %s\n", error->message);
        g_error_free(error);
        return UsageStatus;
    }
    std::vector<std::string> wineCommand(wineArgv, wineArgv + g_strv_length(wineArgv));
    g_strfreev(wineArgv);
    // The prefix in which the player runs: another has another wineserver and never finds it.
    std::string prefix = winePrefix != nullptr ? winePrefix : "";
    if (prefix.empty() && g_getenv("WINEPREFIX") != nullptr) prefix = g_getenv("WINEPREFIX");
    if (prefix.empty()) prefix = std::string(g_get_home_dir()) + "/.wine";

    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    int status;
    {
        mpris::Companion companion(wineCommand, program, prefix,
                                   static_cast<unsigned>(timeout * 1000), verbose, loop);
        g_unix_signal_add(SIGTERM, Stop, loop);
        g_unix_signal_add(SIGINT, Stop, loop);
        companion.Start();
        g_main_loop_run(loop);
        status = companion.ExitStatus();
    }  // the name is released here
    g_main_loop_unref(loop);
    g_free(wine);
    g_free(winePrefix);
    return status;
}
