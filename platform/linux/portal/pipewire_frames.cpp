// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/portal/pipewire_frames.h"

#include "core/error.h"
#include "platform/linux/portal/pipewire_params.h"

#include <array>
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <unistd.h>

namespace kadrix {

namespace {

struct PipeWireLibrary {
    PipeWireLibrary() { pw_init(nullptr, nullptr); }
};

void initPipeWire() {
    static const PipeWireLibrary library;
}

} // namespace

// The loop's thread, the context on it and the connection through the
// portal's descriptor.
struct PipeWireFrames::Loop {
    pw_thread_loop* thread = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;

    ~Loop() {
        if (thread)
            pw_thread_loop_stop(thread);
        if (core)
            pw_core_disconnect(core);
        if (context)
            pw_context_destroy(context);
        if (thread)
            pw_thread_loop_destroy(thread);
    }
};

PipeWireFrames::Hold::Hold(Loop& loop) : loop_(loop) {
    pw_thread_loop_lock(loop_.thread);
}
PipeWireFrames::Hold::~Hold() {
    pw_thread_loop_unlock(loop_.thread);
}

// All of a stream's members are the loop thread's, or the holder's.
struct PipeWireFrames::Stream {
    pw_thread_loop* thread = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_video_info_raw format{};
    pw_buffer* held = nullptr; // the newest buffer with a picture
    StreamFrame newest;
    bool ended = false;

    ~Stream() {
        if (stream) {
            spa_hook_remove(&listener);
            pw_stream_destroy(stream);
        }
    }

    static void paramChanged(void* data, std::uint32_t id, const spa_pod* param) {
        auto* self = static_cast<Stream*>(data);
        if (id != SPA_PARAM_Format || !param)
            return;
        spa_video_info_raw format{};
        if (spa_format_video_raw_parse(param, &format) < 0)
            return;
        self->format = format;
        // Buffers the loop can read without a GPU: memory or shared memory.
        std::array<std::byte, 256> space{};
        const spa_pod* buffers = memoryBuffersParam(space.data(), space.size());
        pw_stream_update_params(self->stream, &buffers, 1);
    }

    static void stateChanged(void* data, pw_stream_state, pw_stream_state state, const char*) {
        auto* self = static_cast<Stream*>(data);
        if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
            self->ended = true;
            pw_thread_loop_signal(self->thread, false);
        }
    }

    static void removeBuffer(void* data, pw_buffer* buffer) {
        auto* self = static_cast<Stream*>(data);
        if (self->held == buffer) {
            self->held = nullptr;
            self->newest.pixels = nullptr;
        }
    }

    static void process(void* data) {
        auto* self = static_cast<Stream*>(data);
        bool arrived = false;
        while (pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream)) {
            if (!self->read(*buffer->buffer)) {
                pw_stream_queue_buffer(self->stream, buffer);
                continue;
            }
            if (self->held)
                pw_stream_queue_buffer(self->stream, self->held);
            self->held = buffer;
            arrived = true;
        }
        if (arrived)
            pw_thread_loop_signal(self->thread, false);
    }

    // Takes the buffer's picture as the newest where it has a whole one.
    bool read(const spa_buffer& buffer) {
        const spa_data& data = buffer.datas[0];
        const int width = static_cast<int>(format.size.width);
        const int height = static_cast<int>(format.size.height);
        if (!data.data || !data.chunk || width <= 0 || height <= 0 ||
            (data.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) || data.chunk->size == 0)
            return false;
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
        const std::size_t stride =
            data.chunk->stride > 0 ? static_cast<std::size_t>(data.chunk->stride) : rowBytes;
        const std::size_t offset = data.chunk->offset % data.maxsize;
        if (stride < rowBytes ||
            offset + stride * static_cast<std::size_t>(height - 1) + rowBytes > data.maxsize)
            return false;
        newest.width = width;
        newest.height = height;
        newest.stride = stride;
        newest.redFirst =
            format.format == SPA_VIDEO_FORMAT_RGBx || format.format == SPA_VIDEO_FORMAT_RGBA;
        newest.pixels = static_cast<const std::byte*>(data.data) + offset;
        newest.arrived = std::chrono::steady_clock::now();
        ++newest.number;
        return true;
    }
};

namespace {

const pw_stream_events streamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = &PipeWireFrames::Stream::stateChanged;
    events.param_changed = &PipeWireFrames::Stream::paramChanged;
    events.remove_buffer = &PipeWireFrames::Stream::removeBuffer;
    events.process = &PipeWireFrames::Stream::process;
    return events;
}();

} // namespace

PipeWireFrames::PipeWireFrames(int remote, const std::vector<std::uint32_t>& nodes)
    : loop_(std::make_unique<Loop>()) {
    try {
        connect(remote, nodes);
    } catch (const Error&) {
        stop();
        throw;
    }
}

void PipeWireFrames::connect(int remote, const std::vector<std::uint32_t>& nodes) {
    initPipeWire();
    loop_->thread = pw_thread_loop_new("kadrix-screencast", nullptr);
    loop_->context = loop_->thread
                         ? pw_context_new(pw_thread_loop_get_loop(loop_->thread), nullptr, 0)
                         : nullptr;
    if (!loop_->context || pw_thread_loop_start(loop_->thread) < 0) {
        ::close(remote);
        throw Error("Cannot start PipeWire for the screen stream");
    }
    const Hold held(*loop_);
    // The connection owns the descriptor from here, also when it fails.
    loop_->core = pw_context_connect_fd(loop_->context, remote, nullptr, 0);
    if (!loop_->core)
        throw Error("Cannot reach PipeWire through the desktop portal");
    for (const std::uint32_t node : nodes) {
        auto stream = std::make_unique<Stream>();
        stream->thread = loop_->thread;
        stream->stream =
            pw_stream_new(loop_->core, "kadrix-screen",
                          pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                            "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
        if (!stream->stream)
            throw Error("Cannot open the screen stream");
        pw_stream_add_listener(stream->stream, &stream->listener, &streamEvents, stream.get());
        std::array<std::byte, 1024> space{};
        const spa_pod* formats = screenFormatsParam(space.data(), space.size());
        const int connected = pw_stream_connect(
            stream->stream, PW_DIRECTION_INPUT, node,
            // A monitor whose sharing ended is not replaced by another node.
            static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                         PW_STREAM_FLAG_DONT_RECONNECT),
            &formats, 1);
        streams_.push_back(std::move(stream));
        if (connected < 0)
            throw Error("Cannot connect to the screen stream");
    }
}

PipeWireFrames::~PipeWireFrames() {
    stop();
}

void PipeWireFrames::stop() {
    // The streams end on the loop's side of its lock.
    if (loop_->thread) {
        const Hold held(*loop_);
        streams_.clear();
    }
    loop_.reset();
}

bool PipeWireFrames::ended() const {
    for (const auto& stream : streams_)
        if (stream->ended)
            return true;
    return false;
}

StreamFrame PipeWireFrames::frame(std::size_t index) const {
    const Stream& stream = *streams_[index];
    return stream.held ? stream.newest : StreamFrame{};
}

void PipeWireFrames::waitForPicture(Hold&, std::chrono::steady_clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return;
    timespec deadline{};
    pw_thread_loop_get_time(loop_->thread, &deadline, left.count());
    pw_thread_loop_timed_wait_full(loop_->thread, &deadline);
}

} // namespace kadrix
