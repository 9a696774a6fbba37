// lumarq-preview: the show in a window at any moment, with its music: seek, pause, loop a section
// and edit the shaders while it runs.
#include "preview_options.h"
#include "preview_session.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    PreviewOptions options;
    std::string message;
    const int status = parsePreviewOptions(argc, argv, options, message);
    if (status >= 0) {
        fputs(message.c_str(), status == 0 ? stdout : stderr);
        return status;
    }
    // The session holds the scene's nine importers: too large for the stack.
    auto session = std::make_unique<PreviewSession>();
    if (!openPreviewSession(*session, options)) {
        closePreviewSession(*session);
        return 1;
    }
    while (!previewFinished(*session)) {
        previewFrame(*session);
    }
    closePreviewSession(*session);
    return 0;
}
