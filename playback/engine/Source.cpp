#include "playback/engine/Source.h"

#include "base/RegularFile.h"

#include "playback/engine/FFmpeg.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <span>
#include <vector>

namespace vorlane::engine {

namespace {

// A decoder fed corrupt data may reject packet after packet; past this many in a row the
// source is treated as ended instead of spinning through the rest of the file.
constexpr int kMaxDecodeErrors = 200;

QString AvError(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

bool IsWma(AVCodecID id)
{
    return id == AV_CODEC_ID_WMAV1 || id == AV_CODEC_ID_WMAV2 || id == AV_CODEC_ID_WMAPRO ||
           id == AV_CODEC_ID_WMALOSSLESS || id == AV_CODEC_ID_WMAVOICE;
}

enum class Decoded { Frames, End, Interrupted };

} // namespace

struct Source::Impl {
    std::unique_ptr<NetworkInput> net;
    ff::AvioPtr avio;
    ff::FormatPtr fmt;
    ff::CodecPtr codec;
    ff::SwrPtr swr;
    int swrInRate = 0;
    int swrInFormat = -1;
    AVChannelLayout swrInLayout{};
    ff::FramePtr frame{av_frame_alloc()};
    ff::PacketPtr packet{av_packet_alloc()};
    int stream = -1;
    AVRational tb{1, 1};
    int64_t zeroPts = 0;              // timestamp of the first decoded sample
    int64_t firstTs = AV_NOPTS_VALUE; // timestamp of the first frame after open or a seek
    int rate = 0;
    int channels = 0;
    AVChannelLayout outLayout{};
    bool wma = false;
    qint64 fileSize = 0;

    // Read by the player's thread while the reading thread updates them.
    std::atomic<int64_t> lengthFrames{0};
    std::atomic<bool> lengthExact{false};
    int64_t posFrames = 0;      // next frame Read delivers
    std::vector<float> pending; // decoded frames not yet delivered
    size_t pendingOff = 0;      // in frames
    int64_t pendingStart = 0;   // source frame of pending[pendingOff]
    bool ptsUnknownYet = false; // after a seek, the next frame's timestamp sets pendingStart
    bool demuxEof = false;
    bool drainSent = false;
    bool ended = false;
    int errors = 0;
    std::unique_ptr<EffectChain> effects;

    ~Impl()
    {
        av_channel_layout_uninit(&swrInLayout);
        av_channel_layout_uninit(&outLayout);
        // The demuxer reads through the network input: close it first.
        fmt.reset();
        avio.reset();
        net.reset();
    }

    size_t PendingFrames() const { return pending.size() / channels - pendingOff; }

    bool Convert(AVFrame *f)
    {
        if (!swr || f->sample_rate != swrInRate || f->format != swrInFormat ||
            av_channel_layout_compare(&f->ch_layout, &swrInLayout) != 0) {
            SwrContext *s = nullptr;
            AVChannelLayout in{};
            if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels == 0)
                av_channel_layout_default(&in, f->ch_layout.nb_channels ? f->ch_layout.nb_channels
                                                                        : channels);
            else
                av_channel_layout_copy(&in, &f->ch_layout);
            if (swr_alloc_set_opts2(&s, &outLayout, AV_SAMPLE_FMT_FLT, rate, &in,
                                    static_cast<AVSampleFormat>(f->format), f->sample_rate, 0,
                                    nullptr) < 0 ||
                swr_init(s) < 0) {
                swr_free(&s);
                av_channel_layout_uninit(&in);
                return false;
            }
            swr.reset(s);
            swrInRate = f->sample_rate;
            swrInFormat = f->format;
            av_channel_layout_uninit(&swrInLayout);
            av_channel_layout_copy(&swrInLayout, &f->ch_layout);
            av_channel_layout_uninit(&in);
        }
        if (pendingOff > 0) {
            pending.erase(pending.begin(),
                          pending.begin() + static_cast<ptrdiff_t>(pendingOff) * channels);
            pendingOff = 0;
        }
        const int room = swr_get_out_samples(swr.get(), f->nb_samples);
        if (room <= 0)
            return true;
        const size_t old = pending.size();
        pending.resize(old + static_cast<size_t>(room) * channels);
        uint8_t *out = reinterpret_cast<uint8_t *>(pending.data() + old);
        const int got = swr_convert(swr.get(), &out, room,
                                    const_cast<const uint8_t **>(f->extended_data), f->nb_samples);
        pending.resize(old + static_cast<size_t>(std::max(got, 0)) * channels);
        return true;
    }

    Decoded DecodeSome()
    {
        for (;;) {
            int r = avcodec_receive_frame(codec.get(), frame.get());
            if (r == 0) {
                if (ptsUnknownYet) {
                    ptsUnknownYet = false;
                    const int64_t ts = frame->best_effort_timestamp;
                    firstTs = ts;
                    if (ts != AV_NOPTS_VALUE)
                        pendingStart = av_rescale_q(ts - zeroPts, tb, AVRational{1, rate});
                }
                const bool ok = Convert(frame.get());
                av_frame_unref(frame.get());
                if (!ok)
                    return Decoded::End;
                errors = 0;
                if (PendingFrames() > 0)
                    return Decoded::Frames;
                continue;
            }
            if (r == AVERROR_EOF)
                return Decoded::End;
            if (r != AVERROR(EAGAIN) && ++errors > kMaxDecodeErrors)
                return Decoded::End;
            if (demuxEof) {
                if (drainSent)
                    return Decoded::End;
                avcodec_send_packet(codec.get(), nullptr);
                drainSent = true;
                continue;
            }
            r = av_read_frame(fmt.get(), packet.get());
            if (r == AVERROR_EXIT)
                return Decoded::Interrupted;
            if (r < 0) {
                demuxEof = true;
                continue;
            }
            if (packet->stream_index == stream) {
                r = avcodec_send_packet(codec.get(), packet.get());
                if (r < 0 && r != AVERROR(EAGAIN) && ++errors > kMaxDecodeErrors) {
                    av_packet_unref(packet.get());
                    return Decoded::End;
                }
            }
            av_packet_unref(packet.get());
        }
    }

    // Drops decoded frames before `target`; false when the decoder ran out first.
    bool DiscardTo(int64_t target)
    {
        while (pendingStart < target) {
            if (PendingFrames() == 0) {
                if (DecodeSome() != Decoded::Frames)
                    return false;
                continue;
            }
            const size_t drop =
                static_cast<size_t>(std::min<int64_t>(PendingFrames(), target - pendingStart));
            pendingOff += drop;
            pendingStart += static_cast<int64_t>(drop);
        }
        return true;
    }

    void ResetDecoder()
    {
        avcodec_flush_buffers(codec.get());
        swr.reset();
        pending.clear();
        pendingOff = 0;
        demuxEof = false;
        drainSent = false;
        ended = false;
        errors = 0;
    }

    bool Seek(int64_t target, bool coarse)
    {
        // Decoding a quarter of the run-in is cheaper than a seek and its run-in.
        if (coarse && !ended && target >= pendingStart && target - pendingStart <= rate / 64) {
            if (!DiscardTo(target))
                ended = PendingFrames() == 0;
            posFrames = pendingStart;
            return true;
        }
        if (!fmt->pb || !(fmt->pb->seekable & AVIO_SEEKABLE_NORMAL))
            return false;
        // Demuxers land up to a second early (and MP3/AAC decoders need a few frames to settle),
        // so start a little before the target and discard forward; if the landing is still late,
        // go back further. A coarse seek decodes two MP3 frames' worth of run-in, enough for the
        // bit reservoir, and takes the landing as it comes.
        const int64_t exact[] = {rate / 5, rate, rate * 5, target};
        const int64_t rough[] = {rate / 16};
        const std::span<const int64_t> prerolls =
            coarse ? std::span<const int64_t>(rough) : std::span<const int64_t>(exact);
        for (int64_t preroll : prerolls) {
            const int64_t from = std::max<int64_t>(0, target - preroll);
            if (from <= rate / 5) {
                if (!Rewind())
                    return false;
                break;
            }
            const int64_t ts = zeroPts + av_rescale_q(from, AVRational{1, rate}, tb);
            int r = avformat_seek_file(fmt.get(), stream, INT64_MIN, ts, ts, 0);
            if (r < 0)
                r = av_seek_frame(fmt.get(), stream, ts, AVSEEK_FLAG_BACKWARD);
            if (r < 0)
                return false;
            ResetDecoder();
            pendingStart = from;
            ptsUnknownYet = true;
            const Decoded got = DecodeSome();
            if (got == Decoded::Interrupted)
                return false;
            if (got == Decoded::End || pendingStart <= target || wma || coarse)
                break;
        }
        if (!DiscardTo(target))
            ended = PendingFrames() == 0;
        posFrames = std::max(target, pendingStart);
        return true;
    }

    bool Rewind(bool trustPts = true)
    {
        AVStream *st = fmt->streams[stream];
        int64_t first = zeroPts;
        if (st->start_time != AV_NOPTS_VALUE)
            first = std::min(first, st->start_time);
        // Aim a second before the first sample so that priming packets with negative
        // timestamps (encoder delay) are read again too.
        const int64_t before = first - av_rescale_q(1, AVRational{1, 1}, tb);
        int r = avformat_seek_file(fmt.get(), stream, INT64_MIN, before, first, 0);
        if (r < 0)
            r = av_seek_frame(fmt.get(), stream, before, AVSEEK_FLAG_BACKWARD);
        if (r < 0 && fmt->pb)
            r = avio_seek(fmt->pb, 0, SEEK_SET) < 0 ? -1 : 0;
        if (r < 0)
            return false;
        ResetDecoder();
        pendingStart = 0;
        ptsUnknownYet = trustPts;
        return true;
    }

    // Counts the packets of a stream whose duration the demuxer could only estimate from the
    // bit rate (ADTS, MP3 without a header frame), so the length is exact from the start.
    int64_t ScanLength()
    {
        int64_t total = 0;
        ff::PacketPtr p(av_packet_alloc());
        while (av_read_frame(fmt.get(), p.get()) >= 0) {
            if (p->stream_index == stream)
                total += p->duration;
            av_packet_unref(p.get());
        }
        return av_rescale_q(total, tb, AVRational{1, rate});
    }

    void NoteEnd()
    {
        ended = true;
        lengthFrames = posFrames;
        lengthExact = true;
    }
};

Source::Source(std::unique_ptr<Impl> impl)
    : d(std::move(impl))
{
}

Source::~Source() = default;

namespace {

int ReadPacket(void *opaque, uint8_t *buf, int size)
{
    return static_cast<NetworkInput *>(opaque)->Read(buf, size);
}

int64_t SeekPacket(void *opaque, int64_t offset, int whence)
{
    return static_cast<NetworkInput *>(opaque)->Seek(offset, whence);
}

// Finds the audio stream, opens its decoder and decodes the first frame.
bool Prepare(Source::Impl &d, const QString &name, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    int r = avformat_find_stream_info(d.fmt.get(), nullptr);
    if (r < 0)
        return fail(QStringLiteral("%1: %2").arg(name, AvError(r)));
    const AVCodec *dec = nullptr;
    d.stream = av_find_best_stream(d.fmt.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &dec, 0);
    if (d.stream < 0 || !dec)
        return fail(QStringLiteral("%1: no audio stream").arg(name));
    AVStream *st = d.fmt->streams[d.stream];
    d.codec.reset(avcodec_alloc_context3(dec));
    if (!d.codec || avcodec_parameters_to_context(d.codec.get(), st->codecpar) < 0)
        return fail(QStringLiteral("%1: cannot set up the decoder").arg(name));
    d.codec->thread_count = 1;
    d.codec->pkt_timebase = st->time_base;
    if ((r = avcodec_open2(d.codec.get(), dec, nullptr)) < 0)
        return fail(QStringLiteral("%1: %2").arg(name, AvError(r)));
    d.rate = d.codec->sample_rate;
    d.channels = d.codec->ch_layout.nb_channels;
    if (d.rate <= 0 || d.channels <= 0)
        return fail(QStringLiteral("%1: no sample rate or channels").arg(name));
    av_channel_layout_default(&d.outLayout, d.channels);
    d.tb = st->time_base;
    d.wma = IsWma(dec->id);
    for (unsigned i = 0; i < d.fmt->nb_streams; ++i) {
        if (static_cast<int>(i) != d.stream)
            d.fmt->streams[i]->discard = AVDISCARD_ALL;
    }

    // The first frame fixes the timestamp of sample 0 and proves the data decodes.
    d.ptsUnknownYet = true;
    if (d.DecodeSome() != Decoded::Frames)
        return fail(QStringLiteral("%1: no audio could be decoded").arg(name));
    if (d.firstTs != AV_NOPTS_VALUE)
        d.zeroPts = d.firstTs;
    else
        d.zeroPts = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    d.pendingStart = 0;

    int64_t len = 0;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
        int64_t duration = st->duration;
        // MP3's duration counts the encoder delay that its start time skips.
        if (st->start_time != AV_NOPTS_VALUE && st->start_time > 0 && st->start_time < duration)
            duration -= st->start_time;
        len = av_rescale_q(duration, st->time_base, AVRational{1, d.rate});
    } else if (d.fmt->duration != AV_NOPTS_VALUE && d.fmt->duration > 0)
        len = av_rescale_q(d.fmt->duration, AV_TIME_BASE_Q, AVRational{1, d.rate});
    if (!d.net && d.fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) {
        if (!d.Rewind(false))
            return fail(QStringLiteral("%1: cannot return to the start").arg(name));
        const int64_t scanned = d.ScanLength();
        if (scanned > 0)
            len = scanned;
        if (!d.Rewind(false) || d.DecodeSome() != Decoded::Frames)
            return fail(QStringLiteral("%1: cannot return to the start").arg(name));
    }
    d.lengthFrames = len;
    d.effects = std::make_unique<EffectChain>(d.rate, d.channels);
    return true;
}

} // namespace

namespace {

// FFmpeg's own log would mix its warnings about damaged files into the program's output; the
// engine reports failures through its results instead.
void QuietFFmpeg()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace

std::unique_ptr<Source> Source::OpenFile(const QString &path, QString *error)
{
    QuietFFmpeg();
    auto d = std::make_unique<Impl>();
    // FFmpeg opens the file itself, and would wait forever for a FIFO's writer.
    const TFileOpen kind = CheckRegularFile(path);
    if (kind != TFileOpen::Ok) {
        if (error)
            *error =
                path + (kind == TFileOpen::Missing      ? QStringLiteral(": no such file")
                        : kind == TFileOpen::NotRegular ? QStringLiteral(": not a regular file")
                                                        : QStringLiteral(": cannot be read"));
        return nullptr;
    }
    d->fileSize = QFileInfo(path).size();
    AVFormatContext *fmt = nullptr;
    const int r = avformat_open_input(&fmt, path.toUtf8().constData(), nullptr, nullptr);
    if (r < 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, AvError(r));
        return nullptr;
    }
    d->fmt.reset(fmt);
    if (!Prepare(*d, path, error))
        return nullptr;
    return std::unique_ptr<Source>(new Source(std::move(d)));
}

std::unique_ptr<Source> Source::OpenUrl(const QString &address, DownloadCallback callback,
                                        QString *error)
{
    QuietFFmpeg();
    auto d = std::make_unique<Impl>();
    const QString url = NetworkInput::UrlOf(address);
    d->net = std::make_unique<NetworkInput>(address, std::move(callback));
    const bool seekable = d->net->Seekable();
    constexpr int kBuf = 32 * 1024;
    auto *buf = static_cast<unsigned char *>(av_malloc(kBuf));
    d->avio.reset(avio_alloc_context(buf, kBuf, 0, d->net.get(), &ReadPacket, nullptr,
                                     seekable ? &SeekPacket : nullptr));
    if (!d->avio) {
        av_free(buf);
        return nullptr;
    }
    d->avio->seekable = seekable ? AVIO_SEEKABLE_NORMAL : 0;
    AVFormatContext *fmt = avformat_alloc_context();
    fmt->pb = d->avio.get();
    fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
    const int r = avformat_open_input(&fmt, url.toUtf8().constData(), nullptr, nullptr);
    if (r < 0) {
        // avformat_open_input frees the context on failure.
        if (error) {
            const QString why = d->net->Failed() ? d->net->Error() : AvError(r);
            *error = QStringLiteral("%1: %2").arg(url, why);
        }
        return nullptr;
    }
    d->fmt.reset(fmt);
    if (!Prepare(*d, url, error)) {
        if (error && d->net->Failed())
            *error = QStringLiteral("%1: %2").arg(url, d->net->Error());
        return nullptr;
    }
    d->net->SetOpening(false);
    return std::unique_ptr<Source>(new Source(std::move(d)));
}

int Source::Rate() const
{
    return d->rate;
}

int Source::Channels() const
{
    return d->channels;
}

qint64 Source::Length() const
{
    if (d->net && !d->lengthExact && d->net->Total() <= 0)
        return 0;
    return std::max<int64_t>(d->lengthFrames.load(), 0) * BytesPerFrame();
}

qint64 Source::Position() const
{
    return d->posFrames * BytesPerFrame();
}

bool Source::SetPosition(qint64 bytes, Seek mode)
{
    if (bytes < 0)
        return false;
    const int64_t target = bytes / BytesPerFrame();
    if ((d->lengthExact || Length() > 0) && target > d->lengthFrames)
        return false;
    if (!d->Seek(target, mode == Seek::Coarse))
        return false;
    d->effects->Clear();
    return true;
}

int Source::Read(float *out, int frames)
{
    int got = 0;
    while (got < frames && !d->ended) {
        if (d->PendingFrames() == 0) {
            const Decoded r = d->DecodeSome();
            if (r == Decoded::Interrupted)
                break;
            if (r == Decoded::End) {
                d->posFrames += got;
                d->NoteEnd();
                d->effects->Process(out, got);
                return got;
            }
            continue;
        }
        const size_t n = std::min<size_t>(d->PendingFrames(), static_cast<size_t>(frames - got));
        std::memcpy(out + static_cast<size_t>(got) * d->channels,
                    d->pending.data() + d->pendingOff * d->channels,
                    n * d->channels * sizeof(float));
        d->pendingOff += n;
        d->pendingStart += static_cast<int64_t>(n);
        got += static_cast<int>(n);
    }
    d->posFrames += got;
    if (!d->lengthExact && d->posFrames > d->lengthFrames && d->lengthFrames > 0)
        d->lengthFrames = d->posFrames;
    d->effects->Process(out, got);
    return got;
}

bool Source::AtEnd() const
{
    return d->ended;
}

double Source::BytesToSeconds(qint64 bytes) const
{
    return static_cast<double>(bytes) / (static_cast<double>(BytesPerFrame()) * d->rate);
}

qint64 Source::SecondsToBytes(double seconds) const
{
    return static_cast<qint64>(seconds * d->rate) * BytesPerFrame();
}

qint64 Source::SourceSize() const
{
    if (d->net)
        return std::max<qint64>(d->net->Total(), 0);
    return d->fileSize;
}

qint64 Source::Downloaded() const
{
    return d->net ? d->net->Downloaded() : d->fileSize;
}

bool Source::IsNetwork() const
{
    return d->net != nullptr;
}

int Source::NominalBitRate() const
{
    const int64_t br = d->codec && d->codec->bit_rate > 0 ? d->codec->bit_rate : d->fmt->bit_rate;
    return br > 0 ? static_cast<int>((br + 500) / 1000) : 0;
}

QString Source::CodecName() const
{
    return d->codec ? QString::fromLatin1(d->codec->codec->name) : QString();
}

EffectChain &Source::Effects()
{
    return *d->effects;
}

void Source::Interrupt()
{
    if (d->net)
        d->net->Interrupt();
}

} // namespace vorlane::engine
