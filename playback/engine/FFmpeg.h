#pragma once
// FFmpeg headers and owning pointers for the engine's sources. Internal to playback/engine.

#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/tx.h>
#include <libswresample/swresample.h>
}

namespace vorlane::engine::ff {

struct FormatCloser {
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct SwrFreer {
    void operator()(SwrContext *s) const { swr_free(&s); }
};
struct GraphFreer {
    void operator()(AVFilterGraph *g) const { avfilter_graph_free(&g); }
};
struct TxFreer {
    void operator()(AVTXContext *t) const { av_tx_uninit(&t); }
};
struct AvFreer {
    void operator()(void *p) const { av_free(p); }
};
struct AvioFreer {
    void operator()(AVIOContext *c) const
    {
        if (c)
            av_freep(&c->buffer);
        avio_context_free(&c);
    }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphFreer>;
using TxPtr = std::unique_ptr<AVTXContext, TxFreer>;
using AvioPtr = std::unique_ptr<AVIOContext, AvioFreer>;
template <typename T>
using AvBuffer = std::unique_ptr<T[], AvFreer>;

} // namespace vorlane::engine::ff
