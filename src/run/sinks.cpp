// The follower's sinks: blocks, template lines and now-playing files, all fed by one loop.
#include "run/sinks.h"

#include "control/template.h"

using namespace desktop;

namespace {

void Say(const char* what, const WCHAR* argument) {
    Line line;
    line.length = 0;
    Append(line, "tunedesk: /FOLLOW: ");
    Append(line, what);
    AppendWide(line, argument, argument + TextLength(argument));
    WriteError(line);
}

void AppendDone(Text& text, unsigned done) {
    Line line;
    line.length = 0;
    Append(line, "done ");
    AppendNumber(line, done);
    AppendLine(text, line);
}

// "done N", unless it went ahead, the /QUERY lines and an empty line.
bool WriteBlock(Sinks& sinks, const PlayerState& shown, unsigned done, bool announced) {
    Text text;
    text.length = 0;
    if (!announced) AppendDone(text, done);
    AppendQueryLines(text, shown);
    Line line;
    line.length = 0;
    AppendLine(text, line);
    return WriteText(sinks.output, text);
}

// Writes the template's line where it goes; false when standard output's reader has gone.
bool Feed(Sinks& sinks, TemplateSink& sink, const PlayerState& shown) {
    Line line, error;
    if (!RenderTemplate(sink.text, shown, line, error) && !sink.saidWhy) {
        sink.saidWhy = true;
        WriteError(error);
    }
    if (sink.current && SameLine(line, sink.last)) return true;
    sink.last = line;
    if (sink.path == nullptr) {
        Text text;
        text.length = 0;
        AppendLine(text, line);
        sink.current = true;
        return WriteText(sinks.output, text) || !sinks.ownOutput;
    }
    // A file that can't be written now is tried again at the next state read.
    sink.current = WriteWholeFile(sink.path, line);
    if (!sink.current && !sink.saidFile) Say("can't write ", sink.path);
    sink.saidFile = sink.saidFile || !sink.current;
    return true;
}

}  // namespace

void OpenSinks(Sinks& sinks, const ArgumentList& arguments) {
    sinks.ownOutput = HasOutput(sinks.output);
    sinks.count = 0;
    bool claimed = false;  // a template's lines go to standard output
    for (int index = FirstSwitch + 1; index < arguments.count; ++index) {
        const WCHAR* argument = arguments.wide[index];
        const WCHAR* next = index + 1 < arguments.count ? arguments.wide[index + 1] : nullptr;
        const bool output = next != nullptr && IsSetter(next, OutputSwitch);
        sinks.controls.wanted = sinks.controls.wanted || IsSwitch(argument, MediaControlsSwitch);
        if (IsSetter(argument, OutputSwitch)) {
            Say("/OUTPUT= goes right after a /FORMAT=; passed over: ", argument);
        } else if (!IsSetter(argument, FormatSwitch)) {
            continue;
        } else if (sinks.count == MaxTemplates) {
            Say("more than 8 /FORMAT=; passed over: ", argument);
        } else if (!output && claimed) {
            Say("standard output takes one template; passed over: ", argument);
        } else {
            const WCHAR* path = output ? SetterValue(next) : nullptr;
            sinks.templates[sinks.count++] =
                TemplateSink{SetterValue(argument), path, {}, false, false, false};
            claimed = claimed || !output;
        }
        index += output ? 1 : 0;
    }
    sinks.blocks = sinks.ownOutput && !claimed;
}

bool Publish(Sinks& sinks, const PlayerState& shown, unsigned done, bool blockDue, bool jumped,
             bool announced) {
    ShowOnControls(sinks.controls, shown, jumped);
    for (int at = 0; at < sinks.count; ++at)
        if (!Feed(sinks, sinks.templates[at], shown)) return false;
    return !sinks.blocks || !blockDue || WriteBlock(sinks, shown, done, announced);
}

bool Announce(Sinks& sinks, unsigned done) {
    if (!sinks.blocks) return true;
    Text text;
    text.length = 0;
    AppendDone(text, done);
    return WriteText(sinks.output, text) || !sinks.ownOutput;
}
