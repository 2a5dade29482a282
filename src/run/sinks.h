// What the follower feeds with each state it reads: its blocks on standard output, the lines of
// up to eight templates, each on standard output or in a now-playing file of its own, and
// Windows' media controls.
#pragma once

#include "arguments/arguments.h"
#include "control/actions.h"
#include "run/controls.h"

inline constexpr int MaxTemplates = 8;

struct TemplateSink {
    const desktop::WCHAR* text;  // the template, within the command line
    const desktop::WCHAR* path;  // its file, or none for standard output
    Line last;                   // the line last written
    bool current;                // last is written where it goes
    bool saidWhy, saidFile;      // its template's error, and a failed write, said on standard error
};

struct Sinks {
    Output& output;
    bool ownOutput = false;  // a reader of standard output that may go away: it ends the follower
    bool blocks = false;     // standard output carries blocks, not a template's lines
    int count = 0;
    TemplateSink templates[MaxTemplates];
    Controls controls;
};

// The follower's options after "/FOLLOW": "/FORMAT=" each with or without "/OUTPUT=" right after
// it, and "/MEDIACONTROLS"; what can't be taken is said on standard error and passed over,
// anything else is ignored.
void OpenSinks(Sinks& sinks, const ArgumentList& arguments);
// Hands each sink the state shown: a template's line goes where it goes when it differs from the
// last one written, or when writing that failed; a block, "done N" after the /QUERY lines, when
// one is due; the media controls what changed, the timeline when the position jumped. False when
// standard output's reader has gone.
bool Publish(Sinks& sinks, const PlayerState& shown, unsigned done, bool blockDue, bool jumped,
             bool announced);
// A block's "done N" line, sent ahead of the rest of the block, which then comes without it.
bool Announce(Sinks& sinks, unsigned done);
