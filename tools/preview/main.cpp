// lumarq-preview: the show in a window at any moment, with its music: seek, pause, loop a section
// and edit the shaders while it runs.
#include "preview_options.h"
#include "preview_session.h"

int main(int argc, char** argv)
{
    PreviewOptions options;
    std::string message;
    const CommandLineResult parsed = parsePreviewOptions(argc, argv, options, message);
    if (parsed != CommandLineResult::run) {
        return finishCommandLine("lumarq-preview", parsed, message);
    }
    PreviewSession session;
    if (!openPreviewSession(session, options)) {
        closePreviewSession(session);
        return 1;
    }
    while (!previewFinished(session)) {
        previewFrame(session);
    }
    closePreviewSession(session);
    return 0;
}
