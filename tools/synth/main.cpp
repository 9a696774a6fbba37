// lumarq-synth: renders the demo's soundtrack and writes it as MP3 (and, on request, as WAV).
// Usage: lumarq-synth <out.mp3> [--wav <out.wav>]
#include "master.h"
#include "mix.h"
#include "mp3_encoder.h"
#include "score.h"
#include "wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    std::string mp3Path, wavPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--wav" && i + 1 < argc) {
            wavPath = argv[++i];
        } else if (mp3Path.empty() && arg.rfind("--", 0) != 0) {
            mp3Path = arg;
        } else {
            mp3Path.clear();
            break;
        }
    }
    if (mp3Path.empty()) {
        std::fprintf(stderr, "usage: lumarq-synth <out.mp3> [--wav <out.wav>]\n");
        return 2;
    }

    const Score score = composeSoundtrack();
    StereoBuffer mix = mixNotes(score.notes, score.lengthSeconds);
    const MasterReport report = masterMix(mix, MasterSettings{});

    std::vector<unsigned char> mp3;
    std::string error;
    if (!encodeMp3(mix, Mp3Settings{}, mp3, error)) {
        std::fprintf(stderr, "lumarq-synth: %s\n", error.c_str());
        return 1;
    }
    const std::filesystem::path out(mp3Path);
    std::error_code ignored;
    if (out.has_parent_path()) {
        std::filesystem::create_directories(out.parent_path(), ignored);
    }
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
    if (!file) {
        std::fprintf(stderr, "lumarq-synth: cannot write %s\n", mp3Path.c_str());
        return 1;
    }
    if (!wavPath.empty() && !writeWav(wavPath, mix)) {
        std::fprintf(stderr, "lumarq-synth: cannot write %s\n", wavPath.c_str());
        return 1;
    }
    std::printf("lumarq-synth: %zu notes, %.1f s, %.1f LUFS, peak %.2f dBFS, %zu bytes\n", score.notes.size(),
                score.lengthSeconds, report.loudness, 20.0 * std::log10(std::max(report.peak, 1e-9f)), mp3.size());
    return 0;
}
