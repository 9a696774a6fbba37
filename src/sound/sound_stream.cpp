// Streams: opening an MPEG audio file with mpg123 at its own rate and channel count as 16-bit
// samples, and decoding it one output buffer at a time.
#include "sound/sound_stream.h"

#include "platform/asset_path.h"
#include "sound/sound_result.h"
#include "sound/sound_system.h"
#include "sound/sound_test_hook.h"

#include <cstdint>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

namespace {

// mpg123_read hands back nothing without an error only in feed mode; a few empty reads in a row
// mean the decoder is stuck, and the stream is ended rather than spun on.
constexpr int maxEmptyReads = 4;

// Accept every rate the decoder knows, mono or stereo, always as signed 16-bit samples.
void allow16BitOutput(mpg123_handle* decoder)
{
    mpg123_format_none(decoder);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
}

}  // namespace

int soundSystemCreateStream(SoundSystem* system, const char* path, int mode, const void* exinfo,
                            SoundStream** stream)
{
    if (stream != nullptr) {
        *stream = nullptr;
    }
    if (int forced = takeForcedResult(soundForcedResults.createStream)) {
        return forced;
    }
    if (stream == nullptr || path == nullptr || mode != soundModeDefault || exinfo != nullptr) {
        return soundErrInvalidParam;
    }
    if (system == nullptr) {
        return soundErrInvalidHandle;
    }
    if (!system->initialised) {
        return soundErrUninitialized;
    }
    static const bool decoderLibraryReady = mpg123_init() == MPG123_OK;
    if (!decoderLibraryReady) {
        return soundErrFormat;
    }

    const std::string file = hostPath(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return soundErrFileNotFound;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        return soundErrFileRead;  // a directory or device: nothing a stream can be read from
    }
    SoundStream* made = new (std::nothrow) SoundStream();
    if (made == nullptr) {
        return soundErrMemory;
    }
    made->system = system;
    made->decoder = mpg123_new(nullptr, nullptr);
    if (made->decoder == nullptr) {
        soundStreamRelease(made);
        return soundErrMemory;
    }
    // The decoder would otherwise print its complaints about damaged files on standard error.
    mpg123_param(made->decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    allow16BitOutput(made->decoder);
    int encoding = 0;
    if (mpg123_open(made->decoder, file.c_str()) != MPG123_OK) {
        soundStreamRelease(made);
        return soundErrFileRead;
    }
    if (mpg123_getformat(made->decoder, &made->rate, &made->channelCount, &encoding) != MPG123_OK ||
        encoding != MPG123_ENC_SIGNED_16 || (made->channelCount != 1 && made->channelCount != 2)) {
        soundStreamRelease(made);
        return soundErrFormat;
    }
    // Keep that one format for the whole file, so every buffer has the same layout.
    mpg123_format_none(made->decoder);
    mpg123_format(made->decoder, made->rate, made->channelCount, MPG123_ENC_SIGNED_16);

    const size_t frames = static_cast<size_t>(made->rate) * soundStreamBufferMs / 1000;
    made->pcm.resize(frames * static_cast<size_t>(made->channelCount) * sizeof(int16_t));
    made->next = system->streams;
    system->streams = made;
    *stream = made;
    return soundOk;
}

int soundStreamGetLength(SoundStream* stream, unsigned* lengthMs)
{
    if (stream == nullptr || lengthMs == nullptr) {
        return soundErrInvalidParam;
    }
    *lengthMs = 0;
    const off_t frames = mpg123_length(stream->decoder);
    if (frames < 0) {
        return soundErrFormat;
    }
    *lengthMs = static_cast<unsigned>(static_cast<long long>(frames) * 1000 / stream->rate);
    return soundOk;
}

int soundStreamSeek(SoundStream& stream, long long frame)
{
    const off_t reached = mpg123_seek(stream.decoder, static_cast<off_t>(frame), SEEK_SET);
    if (reached < 0) {
        return soundErrFileRead;
    }
    stream.endOfFile = false;
    return soundOk;
}

int soundStreamDecode(SoundStream& stream, size_t* bytes)
{
    *bytes = 0;
    if (stream.endOfFile) {
        return soundOk;
    }
    int result = soundOk;
    size_t total = 0;
    int emptyReads = 0;
    while (total < stream.pcm.size()) {
        size_t done = 0;
        const int status =
            mpg123_read(stream.decoder, stream.pcm.data() + total, stream.pcm.size() - total, &done);
        total += done;
        if (status == MPG123_DONE) {
            stream.endOfFile = true;
            break;
        }
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
            // Damaged past this point: play what was decoded and end the stream here.
            stream.endOfFile = true;
            result = soundErrFileRead;
            break;
        }
        emptyReads = done == 0 ? emptyReads + 1 : 0;
        if (emptyReads >= maxEmptyReads) {
            stream.endOfFile = true;
            break;
        }
    }
    *bytes = total;
    return result;
}

void soundStreamFadeIn(SoundStream& stream, size_t bytes)
{
    const size_t channels = static_cast<size_t>(stream.channelCount);
    const size_t frames = bytes / (channels * sizeof(int16_t));
    const size_t rampFrames = static_cast<size_t>(stream.rate) * soundStreamFadeInMs / 1000;
    auto* samples = reinterpret_cast<int16_t*>(stream.pcm.data());
    for (size_t frame = 0; frame < frames && frame < rampFrames; ++frame) {
        const double gain = static_cast<double>(frame) / static_cast<double>(rampFrames);
        for (size_t c = 0; c < channels; ++c) {
            int16_t& sample = samples[frame * channels + c];
            sample = static_cast<int16_t>(sample * gain);
        }
    }
}

void soundStreamRelease(SoundStream* stream)
{
    if (stream == nullptr) {
        return;
    }
    if (stream->decoder != nullptr) {
        mpg123_close(stream->decoder);
        mpg123_delete(stream->decoder);
    }
    delete stream;
}
