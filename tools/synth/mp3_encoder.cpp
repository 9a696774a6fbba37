// lame wants the info frame rewritten once the stream is complete; the stream's first frame is
// reserved for it, so it is copied over the start of the buffer.
#include "mp3_encoder.h"

#include "audio_format.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstring>

// Frames handed to lame per call; the output bound is lame's documented 1.25 n + 7200.
constexpr int chunkFrames = 8192;

bool encodeMp3(const StereoBuffer& audio, const Mp3Settings& settings, std::vector<unsigned char>& out,
               std::string& error)
{
    out.clear();
    lame_global_flags* lame = lame_init();
    if (lame == nullptr) {
        error = "lame_init failed";
        return false;
    }
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, settings.kbps);
    lame_set_quality(lame, settings.quality);
    lame_set_bWriteVbrTag(lame, 1);
    // No ID3 tags: nothing but audio and the info frame, so the bytes depend on the audio alone.
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        error = "lame rejected the encoder settings";
        lame_close(lame);
        return false;
    }
    std::vector<unsigned char> chunk(static_cast<std::size_t>(1.25 * chunkFrames + 7200));
    const std::size_t frames = frameCount(audio);
    for (std::size_t at = 0; at < frames; at += chunkFrames) {
        const int n = static_cast<int>(std::min<std::size_t>(chunkFrames, frames - at));
        const int written = lame_encode_buffer_ieee_float(lame, audio.left.data() + at, audio.right.data() + at, n,
                                                          chunk.data(), static_cast<int>(chunk.size()));
        if (written < 0) {
            error = "lame_encode_buffer_ieee_float failed with " + std::to_string(written);
            lame_close(lame);
            return false;
        }
        out.insert(out.end(), chunk.begin(), chunk.begin() + written);
    }
    const int flushed = lame_encode_flush(lame, chunk.data(), static_cast<int>(chunk.size()));
    if (flushed < 0) {
        error = "lame_encode_flush failed";
        lame_close(lame);
        return false;
    }
    out.insert(out.end(), chunk.begin(), chunk.begin() + flushed);
    unsigned char tag[2880];
    const std::size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    lame_close(lame);
    if (tagSize == 0 || tagSize > sizeof tag || tagSize > out.size()) {
        error = "lame produced no info frame";
        return false;
    }
    std::memcpy(out.data(), tag, tagSize);
    return true;
}
