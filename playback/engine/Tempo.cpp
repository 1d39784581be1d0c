#include "playback/engine/Tempo.h"

#include "playback/engine/FFmpeg.h"

#include <algorithm>
#include <cstring>

namespace vorlane::engine {

struct Tempo::Graph {
    ff::GraphPtr graph{avfilter_graph_alloc()};
    AVFilterContext *src = nullptr;
    AVFilterContext *tempo = nullptr;
    AVFilterContext *sink = nullptr;
    ff::FramePtr frame{av_frame_alloc()};
};

Tempo::Tempo(int rate, int channels)
    : rate_(rate)
    , channels_(channels)
{
}

Tempo::~Tempo() = default;

void Tempo::SetPercent(double percent)
{
    percent_ = std::clamp(percent, -50.0, 100.0);
}

bool Tempo::Build()
{
    auto g = std::make_unique<Graph>();
    if (!g->graph)
        return false;
    // Our effects run on one thread; a threaded graph only adds hand-over cost.
    g->graph->nb_threads = 1;
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels_);
    char layoutName[128] = {};
    av_channel_layout_describe(&layout, layoutName, sizeof layoutName);
    av_channel_layout_uninit(&layout);
    const QByteArray srcArgs =
        QStringLiteral("sample_rate=%1:sample_fmt=flt:channel_layout=%2:time_base=1/%1")
            .arg(rate_)
            .arg(QString::fromLatin1(layoutName))
            .toLatin1();
    const QByteArray tempoArgs = QByteArray::number(Ratio(), 'f', 6);
    if (avfilter_graph_create_filter(&g->src, avfilter_get_by_name("abuffer"), "in",
                                     srcArgs.constData(), nullptr, g->graph.get()) < 0 ||
        avfilter_graph_create_filter(&g->tempo, avfilter_get_by_name("atempo"), "tempo",
                                     tempoArgs.constData(), nullptr, g->graph.get()) < 0 ||
        avfilter_graph_create_filter(&g->sink, avfilter_get_by_name("abuffersink"), "out", nullptr,
                                     nullptr, g->graph.get()) < 0)
        return false;
    const AVSampleFormat fmts[] = {AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_NONE};
    if (av_opt_set_int_list(g->sink, "sample_fmts", fmts, AV_SAMPLE_FMT_NONE,
                            AV_OPT_SEARCH_CHILDREN) < 0 ||
        avfilter_link(g->src, 0, g->tempo, 0) < 0 || avfilter_link(g->tempo, 0, g->sink, 0) < 0 ||
        avfilter_graph_config(g->graph.get(), nullptr) < 0)
        return false;
    graph_ = std::move(g);
    applied_ = percent_;
    pts_ = 0;
    return true;
}

void Tempo::Drain(std::vector<float> &out)
{
    AVFrame *f = graph_->frame.get();
    while (av_buffersink_get_frame(graph_->sink, f) >= 0) {
        const size_t n = static_cast<size_t>(f->nb_samples) * channels_;
        const float *p = reinterpret_cast<const float *>(f->data[0]);
        out.insert(out.end(), p, p + n);
        av_frame_unref(f);
    }
}

void Tempo::Process(const float *in, int frames, std::vector<float> &out)
{
    if (frames <= 0)
        return;
    const double want = percent_;
    if (!active_ && want != 0.0)
        active_ = true;
    if (!active_) {
        out.insert(out.end(), in, in + static_cast<size_t>(frames) * channels_);
        return;
    }
    if (!graph_ && !Build()) {
        // Without the filter the sound still plays, at its own speed.
        active_ = false;
        out.insert(out.end(), in, in + static_cast<size_t>(frames) * channels_);
        return;
    }
    if (want != applied_) {
        const QByteArray arg = QByteArray::number(1.0 + want / 100.0, 'f', 6);
        avfilter_process_command(graph_->tempo, "tempo", arg.constData(), nullptr, 0, 0);
        applied_ = want;
    }
    ff::FramePtr f(av_frame_alloc());
    f->nb_samples = frames;
    f->format = AV_SAMPLE_FMT_FLT;
    f->sample_rate = rate_;
    av_channel_layout_default(&f->ch_layout, channels_);
    f->pts = pts_;
    pts_ += frames;
    if (av_frame_get_buffer(f.get(), 0) < 0)
        return;
    std::memcpy(f->data[0], in, static_cast<size_t>(frames) * channels_ * sizeof(float));
    if (av_buffersrc_add_frame_flags(graph_->src, f.get(), 0) < 0)
        return;
    Drain(out);
}

void Tempo::Flush(std::vector<float> &out)
{
    if (!graph_)
        return;
    if (av_buffersrc_add_frame_flags(graph_->src, nullptr, 0) >= 0)
        Drain(out);
    graph_.reset();
}

void Tempo::Reset()
{
    graph_.reset();
}

} // namespace vorlane::engine
