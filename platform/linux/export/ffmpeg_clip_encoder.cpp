// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/export/ffmpeg_clip_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadrix {

namespace {

[[noreturn]] void fail(const std::string& what, int code) {
    std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
    av_strerror(code, text.data(), text.size());
    throw std::runtime_error(what + ": " + text.data());
}

int check(int code, const char* what) {
    if (code < 0)
        fail(what, code);
    return code;
}

template <typename T> T* checked(T* made, const char* what) {
    if (!made)
        fail(what, AVERROR(ENOMEM));
    return made;
}

struct Free {
    void operator()(AVFormatContext* p) const { avformat_free_context(p); }
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
    void operator()(AVFrame* p) const { av_frame_free(&p); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
    void operator()(AVFilterGraph* p) const { avfilter_graph_free(&p); }
    void operator()(AVFilterInOut* p) const { avfilter_inout_free(&p); }
    void operator()(SwsContext* p) const { sws_freeContext(p); }
    void operator()(AVDictionary* p) const { av_dict_free(&p); }
    void operator()(AVIOContext* p) const {
        av_freep(&p->buffer);
        avio_context_free(&p);
    }
};
template <typename T> using Owned = std::unique_ptr<T, Free>;

AVPixelFormat sourcePixelFormat(PixelFormat format) {
    switch (format) {
    case PixelFormat::Indexed8:
        return AV_PIX_FMT_PAL8;
    case PixelFormat::Rgb555:
        return AV_PIX_FMT_RGB555LE;
    case PixelFormat::Rgb565:
        return AV_PIX_FMT_RGB565LE;
    case PixelFormat::Bgr24:
        return AV_PIX_FMT_BGR24;
    case PixelFormat::Bgrx32:
        // libswscale's fast paths read BGRA, not BGR0; the fourth byte is
        // dropped on the way to 4:2:0, and made opaque for the GIF filters.
        return AV_PIX_FMT_BGRA;
    }
    return AV_PIX_FMT_NONE;
}

Owned<AVFrame> allocateFrame(int width, int height, AVPixelFormat format) {
    Owned<AVFrame> frame(checked(av_frame_alloc(), "frame"));
    frame->width = width;
    frame->height = height;
    frame->format = format;
    check(av_frame_get_buffer(frame.get(), 0), "frame");
    return frame;
}

// The frames of the source as libav takes them: an 8-bit frame's colours as
// libav's palette, the pixels read where libav reads them.
class SourceFrames {
public:
    explicit SourceFrames(FrameSource& source)
        : source_(source), layout_(source.layout()), bytes_(source.frameBytes()) {
        for (std::size_t i = 0; i < layout_.palette.size() && i < palette_.size(); ++i) {
            const PaletteColor& c = layout_.palette[i];
            palette_[i] =
                0xFF000000u | std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
        }
    }

    // Frame index for libswscale: planes() and strides() until the next call.
    void read(std::size_t index) {
        buffer_.resize(bytes_);
        view(source_.read(index, buffer_));
    }
    const std::uint8_t* const* planes() const { return planes_.data(); }
    const int* strides() const { return strides_.data(); }

    // Frame index for a filter graph, which takes it over. A 32-bit frame
    // is read straight into the frame's buffer; the X server leaves its
    // fourth bytes 0, which the palette filters would take for transparent,
    // so they become 255. Frames of other depths are copied.
    Owned<AVFrame> graphFrame(std::size_t index) {
        Owned<AVFrame> frame(checked(av_frame_alloc(), "frame"));
        if (layout_.format == PixelFormat::Bgrx32) {
            frame->buf[0] = checked(av_buffer_alloc(bytes_), "frame");
            const FramePixels pixels =
                source_.read(index, {reinterpret_cast<std::byte*>(frame->buf[0]->data), bytes_});
            for (int y = 0; y < layout_.height; ++y) {
                std::byte* row = pixels.top + pixels.rowStep * y;
                for (int x = 0; x < layout_.width; ++x)
                    row[4 * x + 3] = std::byte{0xFF};
            }
            frame->data[0] = reinterpret_cast<std::uint8_t*>(pixels.top);
            frame->linesize[0] = static_cast<int>(pixels.rowStep);
        } else {
            // A view of the pixels in our buffer, which the clone copies.
            read(index);
            Owned<AVFrame> view(checked(av_frame_alloc(), "frame"));
            describe(*view);
            view->data[0] = const_cast<std::uint8_t*>(planes_[0]);
            view->data[1] = const_cast<std::uint8_t*>(planes_[1]);
            view->linesize[0] = strides_[0];
            frame.reset(checked(av_frame_clone(view.get()), "frame"));
        }
        describe(*frame);
        frame->pts = static_cast<std::int64_t>(index);
        return frame;
    }

private:
    void view(const FramePixels& pixels) {
        planes_[0] = reinterpret_cast<const std::uint8_t*>(pixels.top);
        planes_[1] = layout_.format == PixelFormat::Indexed8
                         ? reinterpret_cast<const std::uint8_t*>(palette_.data())
                         : nullptr;
        strides_[0] = static_cast<int>(pixels.rowStep);
    }
    void describe(AVFrame& frame) const {
        frame.width = layout_.width;
        frame.height = layout_.height;
        frame.format = sourcePixelFormat(layout_.format);
    }

    FrameSource& source_;
    const FrameLayout& layout_;
    std::size_t bytes_;
    std::vector<std::byte> buffer_;
    std::array<std::uint32_t, 256> palette_{};
    std::array<const std::uint8_t*, 4> planes_{};
    std::array<int, 4> strides_{};
};

// An AVIOContext over the encoded file, at a position of its own.
class FileIo {
public:
    FileIo(EncodedFile& file, bool writing) : file_(file) {
        constexpr int bufferSize = 1 << 16;
        auto* buffer = static_cast<unsigned char*>(checked(av_malloc(bufferSize), "buffer"));
        context_.reset(avio_alloc_context(buffer, bufferSize, writing ? 1 : 0, this, &FileIo::read,
                                          &FileIo::write, &FileIo::seek));
        if (!context_) {
            av_free(buffer);
            fail("output", AVERROR(ENOMEM));
        }
    }
    AVIOContext* context() const { return context_.get(); }
    // What the file threw, which libav only knows as an I/O error.
    void rethrowFileError() const {
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    // Called from inside libav: nothing may be thrown through it.
    static int write(void* opaque, std::uint8_t* buffer, int size) {
        auto& io = *static_cast<FileIo*>(opaque);
        try {
            io.file_.writeAt(io.position_, {reinterpret_cast<const std::byte*>(buffer),
                                            static_cast<std::size_t>(size)});
        } catch (...) {
            io.error_ = std::current_exception();
            return AVERROR(EIO);
        }
        io.position_ += static_cast<std::uint64_t>(size);
        io.size_ = std::max(io.size_, io.position_);
        return size;
    }
    static int read(void* opaque, std::uint8_t* buffer, int size) {
        auto& io = *static_cast<FileIo*>(opaque);
        std::size_t n = 0;
        try {
            n = io.file_.readAt(io.position_, {reinterpret_cast<std::byte*>(buffer),
                                               static_cast<std::size_t>(size)});
        } catch (...) {
            io.error_ = std::current_exception();
            return AVERROR(EIO);
        }
        io.position_ += n;
        return n == 0 ? AVERROR_EOF : static_cast<int>(n);
    }
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence) {
        auto& io = *static_cast<FileIo*>(opaque);
        const auto size = static_cast<std::int64_t>(io.size_);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return io.writing() ? size : -1;
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += static_cast<std::int64_t>(io.position_);
            break;
        case SEEK_END:
            offset += size;
            break;
        default:
            return AVERROR(EINVAL);
        }
        if (offset < 0)
            return AVERROR(EINVAL);
        io.position_ = static_cast<std::uint64_t>(offset);
        return offset;
    }
    bool writing() const { return context_ && context_->write_flag; }

    EncodedFile& file_;
    Owned<AVIOContext> context_;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    std::exception_ptr error_;
};

// The container, written through the encoded file. The MP4 muxer opens its
// output again for reading to move the index to the front: that reads the
// same file.
class Muxer {
public:
    Muxer(EncodedFile& file, const char* format) : file_(file), io_(file, true) {
        AVFormatContext* made = nullptr;
        check(avformat_alloc_output_context2(&made, nullptr, format, "kadrix-export"), "container");
        context_.reset(made);
        context_->pb = io_.context();
        context_->flags |= AVFMT_FLAG_CUSTOM_IO;
        context_->opaque = this;
        context_->io_open = &Muxer::openAgain;
        context_->io_close2 = &Muxer::closeAgain;
    }
    // FFmpeg 5.1's GIF muxer lets go of the frame it holds back only in its
    // trailer: a GIF given up half-way gets one, into the file that is
    // dropped anyway.
    ~Muxer() {
        if (headerWritten_ && !finished_ && std::strcmp(context_->oformat->name, "gif") == 0)
            av_write_trailer(context_.get());
    }
    Muxer(const Muxer&) = delete;
    Muxer& operator=(const Muxer&) = delete;

    bool needsGlobalHeader() const { return context_->oformat->flags & AVFMT_GLOBALHEADER; }

    AVStream* addStream(const AVCodecContext& codec) {
        AVStream* stream = checked(avformat_new_stream(context_.get(), nullptr), "stream");
        check(avcodec_parameters_from_context(stream->codecpar, &codec), "stream");
        stream->time_base = codec.time_base;
        stream->avg_frame_rate = codec.framerate;
        return stream;
    }
    void writeHeader(const char* options) {
        AVDictionary* made = nullptr;
        if (options)
            check(av_dict_parse_string(&made, options, "=", ":", 0), "container options");
        Owned<AVDictionary> dictionary(made);
        AVDictionary* passed = dictionary.release();
        const int code = avformat_write_header(context_.get(), &passed);
        dictionary.reset(passed);
        succeed(code, "container header");
        headerWritten_ = true;
    }
    void write(AVPacket* packet) { succeed(av_write_frame(context_.get(), packet), "write"); }
    void finish() {
        finished_ = true;
        succeed(av_write_trailer(context_.get()), "container index");
        succeed(context_->pb->error, "write");
    }

private:
    // A failure of libav, or of the file beneath it.
    void succeed(int code, const char* what) {
        if (code >= 0)
            return;
        io_.rethrowFileError();
        if (rereading_)
            rereading_->rethrowFileError();
        fail(what, code);
    }
    static int openAgain(AVFormatContext* context, AVIOContext** pb, const char*, int flags,
                         AVDictionary**) {
        auto& muxer = *static_cast<Muxer*>(context->opaque);
        if (!(flags & AVIO_FLAG_READ) || (flags & AVIO_FLAG_WRITE) || muxer.rereading_)
            return AVERROR(EPERM);
        try {
            muxer.rereading_.emplace(muxer.file_, false);
        } catch (const std::exception&) {
            return AVERROR(ENOMEM);
        }
        *pb = muxer.rereading_->context();
        return 0;
    }
    static int closeAgain(AVFormatContext* context, AVIOContext* pb) {
        auto& muxer = *static_cast<Muxer*>(context->opaque);
        if (muxer.rereading_ && muxer.rereading_->context() == pb)
            muxer.rereading_.reset();
        return 0;
    }

    EncodedFile& file_;
    FileIo io_;
    std::optional<FileIo> rereading_;
    Owned<AVFormatContext> context_;
    bool headerWritten_ = false;
    bool finished_ = false;
};

// One video stream: frames in, packets out to the muxer.
class VideoStream {
public:
    VideoStream(Muxer& muxer, const char* encoder, int width, int height, AVPixelFormat format,
                const FrameLayout& layout, const char* options)
        : muxer_(muxer) {
        const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
        if (!codec)
            throw std::runtime_error(std::string("FFmpeg has no encoder ") + encoder);
        codec_.reset(checked(avcodec_alloc_context3(codec), "encoder"));
        codec_->width = width;
        codec_->height = height;
        codec_->pix_fmt = format;
        codec_->time_base = {static_cast<int>(layout.scale), static_cast<int>(layout.rate)};
        codec_->framerate = {static_cast<int>(layout.rate), static_cast<int>(layout.scale)};
        codec_->sample_aspect_ratio = {1, 1};
        // As many threads as the machine has, as the ffmpeg program does.
        codec_->thread_count = 0;
        if (muxer.needsGlobalHeader())
            codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* made = nullptr;
        if (options)
            check(av_dict_parse_string(&made, options, "=", ":", 0), "encoder options");
        const int code = avcodec_open2(codec_.get(), codec, &made);
        av_dict_free(&made);
        check(code, encoder);
        stream_ = muxer.addStream(*codec_);
        packet_.reset(checked(av_packet_alloc(), "packet"));
    }

    // A frame, or nothing at the end to drain the encoder.
    void send(const AVFrame* frame) {
        check(avcodec_send_frame(codec_.get(), frame), "encode");
        for (;;) {
            const int code = avcodec_receive_packet(codec_.get(), packet_.get());
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
                return;
            check(code, "encode");
            av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            muxer_.write(packet_.get());
        }
    }

private:
    Muxer& muxer_;
    Owned<AVCodecContext> codec_;
    AVStream* stream_ = nullptr;
    Owned<AVPacket> packet_;
};

// H.264 or VP9 in 4:2:0: each frame converted by libswscale, no filter graph.
bool encodeYuv(FrameSource& source, ShareFormat format, EncodedFile& out,
               const EncodeProgress& progress) {
    const FrameLayout& layout = source.layout();
    const bool h264 = format == ShareFormat::Mp4;
    // 4:2:0 H.264 takes even sides only; VP9 takes any.
    const int width = h264 ? layout.width + layout.width % 2 : layout.width;
    const int height = h264 ? layout.height + layout.height % 2 : layout.height;
    Muxer muxer(out, h264 ? "mp4" : "webm");
    VideoStream video(muxer, h264 ? "libx264" : "libvpx-vp9", width, height, AV_PIX_FMT_YUV420P,
                      layout, h264 ? "preset=veryfast:crf=20" : "crf=32:b=0:row-mt=1");
    muxer.writeHeader(h264 ? "movflags=+faststart" : nullptr);
    const Owned<SwsContext> scale(checked(
        sws_getContext(layout.width, layout.height, sourcePixelFormat(layout.format), layout.width,
                       layout.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr),
        "conversion"));
    const Owned<AVFrame> yuv = allocateFrame(width, height, AV_PIX_FMT_YUV420P);
    SourceFrames frames(source);
    for (std::size_t i = 0; i < layout.frames; ++i) {
        frames.read(i);
        check(av_frame_make_writable(yuv.get()), "frame");
        sws_scale(scale.get(), frames.planes(), frames.strides(), 0, layout.height, yuv->data,
                  yuv->linesize);
        // The padding repeats the last column and row; the colour planes,
        // half the size rounded up, are whole already.
        std::uint8_t* luma = yuv->data[0];
        const int stride = yuv->linesize[0];
        for (int y = 0; width > layout.width && y < layout.height; ++y)
            luma[y * stride + layout.width] = luma[y * stride + layout.width - 1];
        if (height > layout.height)
            std::memcpy(luma + layout.height * stride, luma + (layout.height - 1) * stride,
                        static_cast<std::size_t>(width));
        yuv->pts = static_cast<std::int64_t>(i);
        video.send(yuv.get());
        if (!progress(i + 1, layout.frames))
            return false;
    }
    video.send(nullptr);
    muxer.finish();
    return true;
}

// A filter graph from buffer sources (named "in", "palette") through
// `filters` to one sink.
class FilterGraph {
public:
    FilterGraph(const FrameLayout& layout, const char* filters, bool withPalette)
        : graph_(checked(avfilter_graph_alloc(), "filter graph")) {
        const std::string source =
            "video_size=" + std::to_string(layout.width) + "x" + std::to_string(layout.height) +
            ":pix_fmt=" + av_get_pix_fmt_name(sourcePixelFormat(layout.format)) +
            ":time_base=" + std::to_string(layout.scale) + "/" + std::to_string(layout.rate) +
            ":pixel_aspect=1/1";
        in_ = add("buffer", "in", source.c_str());
        sink_ = add("buffersink", "out", nullptr);
        Owned<AVFilterInOut> outputs(checked(avfilter_inout_alloc(), "filter graph"));
        outputs->name = av_strdup("in");
        outputs->filter_ctx = in_;
        if (withPalette) {
            // palettegen's 16 x 16 picture of the colours.
            palette_ =
                add("buffer", "palette",
                    (std::string("video_size=16x16:pix_fmt=") +
                     av_get_pix_fmt_name(AV_PIX_FMT_RGB32) + ":time_base=1/1:pixel_aspect=1/1")
                        .c_str());
            outputs->next = checked(avfilter_inout_alloc(), "filter graph");
            outputs->next->name = av_strdup("palette");
            outputs->next->filter_ctx = palette_;
        }
        Owned<AVFilterInOut> inputs(checked(avfilter_inout_alloc(), "filter graph"));
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink_;
        AVFilterInOut* in = inputs.release();
        AVFilterInOut* out = outputs.release();
        const int code = avfilter_graph_parse_ptr(graph_.get(), filters, &in, &out, nullptr);
        avfilter_inout_free(&in);
        avfilter_inout_free(&out);
        check(code, "filter graph");
        check(avfilter_graph_config(graph_.get(), nullptr), "filter graph");
        frame_.reset(checked(av_frame_alloc(), "frame"));
    }

    // Filtered at once, so that no frame waits in the graph.
    void push(Owned<AVFrame> frame) {
        check(av_buffersrc_add_frame_flags(in_, frame.get(), AV_BUFFERSRC_FLAG_PUSH), "filter");
    }
    void pushPalette(const AVFrame* palette) {
        check(av_buffersrc_write_frame(palette_, palette), "filter");
        check(av_buffersrc_write_frame(palette_, nullptr), "filter");
    }
    void end() { check(av_buffersrc_write_frame(in_, nullptr), "filter"); }
    // The next frame out, or null when there is none yet or any more.
    AVFrame* pull() {
        av_frame_unref(frame_.get());
        const int code = av_buffersink_get_frame(sink_, frame_.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            return nullptr;
        check(code, "filter");
        return frame_.get();
    }

private:
    AVFilterContext* add(const char* filter, const char* name, const char* args) {
        AVFilterContext* made = nullptr;
        check(avfilter_graph_create_filter(&made, avfilter_get_by_name(filter), name, args, nullptr,
                                           graph_.get()),
              "filter graph");
        return made;
    }

    Owned<AVFilterGraph> graph_;
    AVFilterContext* in_ = nullptr;
    AVFilterContext* palette_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    Owned<AVFrame> frame_;
};

// A GIF in two passes over the clip, as a palette for the whole clip needs:
// palettegen sees every frame, then paletteuse maps each to that palette.
bool encodeGif(FrameSource& source, EncodedFile& out, const EncodeProgress& progress) {
    const FrameLayout& layout = source.layout();
    const std::size_t total = 2 * layout.frames;
    SourceFrames frames(source);
    Owned<AVFrame> palette;
    {
        FilterGraph statistics(layout, "[in]palettegen[out]", false);
        for (std::size_t i = 0; i < layout.frames; ++i) {
            statistics.push(frames.graphFrame(i));
            if (!progress(i + 1, total))
                return false;
        }
        statistics.end();
        AVFrame* made = statistics.pull();
        if (!made)
            throw std::runtime_error("palettegen made no palette");
        palette.reset(checked(av_frame_clone(made), "frame"));
    }
    FilterGraph mapping(layout, "[in][palette]paletteuse[out]", true);
    palette->pts = 0;
    mapping.pushPalette(palette.get());
    Muxer muxer(out, "gif");
    VideoStream video(muxer, "gif", layout.width, layout.height, AV_PIX_FMT_PAL8, layout, nullptr);
    muxer.writeHeader(nullptr);
    for (std::size_t i = 0; i < layout.frames; ++i) {
        mapping.push(frames.graphFrame(i));
        while (const AVFrame* mapped = mapping.pull())
            video.send(mapped);
        if (!progress(layout.frames + i + 1, total))
            return false;
    }
    mapping.end();
    while (const AVFrame* mapped = mapping.pull())
        video.send(mapped);
    video.send(nullptr);
    muxer.finish();
    return true;
}

} // namespace

FfmpegClipEncoder::FfmpegClipEncoder() {
    // Reports come back as exceptions; libav's own lines on stderr would
    // only repeat them, and the encoders' statistics say nothing to a user.
    av_log_set_level(AV_LOG_QUIET);
}

bool FfmpegClipEncoder::encode(FrameSource& source, ShareFormat format, EncodedFile& out,
                               const EncodeProgress& progress) {
    if (format == ShareFormat::Gif)
        return encodeGif(source, out, progress);
    return encodeYuv(source, format, out, progress);
}

} // namespace kadrix

kadrix::ClipEncoder* kadrixExportClipEncoder() {
    return new kadrix::FfmpegClipEncoder();
}
