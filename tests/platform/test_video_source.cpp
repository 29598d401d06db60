// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/platform/test_video_source.h"

#include <array>
#include <chrono>
#include <cstring>
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <stdexcept>
#include <thread>

namespace kadrix::test {

struct TestVideoSource::Pipe {
    TestVideoSource* owner = nullptr;
    int width = 0;
    int height = 0;
    Order order = Order::Bgrx;
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_source* timer = nullptr;

    static void paramChanged(void* data, std::uint32_t id, const spa_pod* param) {
        auto* self = static_cast<Pipe*>(data);
        if (id != SPA_PARAM_Format || !param)
            return;
        std::array<std::uint8_t, 512> space{};
        spa_pod_builder builder{};
        spa_pod_builder_init(&builder, space.data(), space.size());
        const int stride = self->width * 4;
        const spa_pod* buffers = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
            SPA_POD_CHOICE_RANGE_Int(4, 2, 8), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
            SPA_PARAM_BUFFERS_size, SPA_POD_Int(stride * self->height), SPA_PARAM_BUFFERS_stride,
            SPA_POD_Int(stride), SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
        pw_stream_update_params(self->stream, &buffers, 1);
    }

    static void tick(void* data, std::uint64_t) {
        auto* self = static_cast<Pipe*>(data);
        if (!self->owner->sending_)
            return;
        pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream);
        if (!buffer)
            return;
        spa_data& plane = buffer->buffer->datas[0];
        int phase = -1;
        if (plane.data) {
            const int stride = self->width * 4;
            phase = self->owner->phase_;
            auto* rows = static_cast<std::uint8_t*>(plane.data);
            for (int y = 0; y < self->height; ++y) {
                std::uint8_t* pixel = rows + static_cast<std::size_t>(y) * stride;
                for (int x = 0; x < self->width; ++x, pixel += 4) {
                    const PatternColor c = patternColor(x, y, phase);
                    const bool rgb = self->order == Order::Rgbx;
                    pixel[0] = rgb ? c.red : c.blue;
                    pixel[1] = c.green;
                    pixel[2] = rgb ? c.blue : c.red;
                    // The unused byte is not the picture's: make it loud.
                    pixel[3] = 0x5a;
                }
            }
            plane.chunk->offset = 0;
            plane.chunk->stride = stride;
            plane.chunk->size = static_cast<std::uint32_t>(stride * self->height);
        }
        pw_stream_queue_buffer(self->stream, buffer);
        self->owner->sentPhase_ = phase;
    }
};

namespace {

const pw_stream_events sourceEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.param_changed = &TestVideoSource::Pipe::paramChanged;
    return events;
}();

} // namespace

TestVideoSource::TestVideoSource(int width, int height, Order order)
    : pipe_(std::make_unique<Pipe>()) {
    pw_init(nullptr, nullptr);
    Pipe& pipe = *pipe_;
    pipe.owner = this;
    pipe.width = width;
    pipe.height = height;
    pipe.order = order;
    pipe.loop = pw_thread_loop_new("test-source", nullptr);
    pipe.context = pw_context_new(pw_thread_loop_get_loop(pipe.loop), nullptr, 0);
    pw_thread_loop_start(pipe.loop);
    pw_thread_loop_lock(pipe.loop);
    pipe.core = pw_context_connect(pipe.context, nullptr, 0);
    if (!pipe.core) {
        pw_thread_loop_unlock(pipe.loop);
        throw std::runtime_error("the test source cannot reach PipeWire");
    }
    pipe.stream = pw_stream_new(pipe.core, "test-screen",
                                pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source", nullptr));
    pw_stream_add_listener(pipe.stream, &pipe.listener, &sourceEvents, &pipe);
    std::array<std::uint8_t, 512> space{};
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, space.data(), space.size());
    spa_rectangle size{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    spa_fraction rate{30, 1};
    const spa_pod* format = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_Id(order == Order::Rgbx ? SPA_VIDEO_FORMAT_RGBx : SPA_VIDEO_FORMAT_BGRx),
        SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size), SPA_FORMAT_VIDEO_framerate,
        SPA_POD_Fraction(&rate)));
    pw_stream_connect(
        pipe.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS), &format,
        1);
    pipe.timer = pw_loop_add_timer(pw_thread_loop_get_loop(pipe.loop), &Pipe::tick, &pipe);
    timespec first{0, 1};
    timespec every{0, 33'333'333};
    pw_loop_update_timer(pw_thread_loop_get_loop(pipe.loop), pipe.timer, &first, &every, false);
    pw_thread_loop_unlock(pipe.loop);
    // The node has its id once the server made it.
    for (int i = 0; i < 400 && node() == SPA_ID_INVALID; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (node() == SPA_ID_INVALID)
        throw std::runtime_error("the test source got no node");
}

TestVideoSource::~TestVideoSource() {
    Pipe& pipe = *pipe_;
    pw_thread_loop_lock(pipe.loop);
    pw_loop_destroy_source(pw_thread_loop_get_loop(pipe.loop), pipe.timer);
    spa_hook_remove(&pipe.listener);
    pw_stream_destroy(pipe.stream);
    pw_core_disconnect(pipe.core);
    pw_thread_loop_unlock(pipe.loop);
    pw_thread_loop_stop(pipe.loop);
    pw_context_destroy(pipe.context);
    pw_thread_loop_destroy(pipe.loop);
}

void TestVideoSource::resume(int phase) {
    pw_thread_loop_lock(pipe_->loop);
    phase_ = phase;
    sending_ = true;
    timespec now{0, 1};
    timespec every{0, 33'333'333};
    pw_loop_update_timer(pw_thread_loop_get_loop(pipe_->loop), pipe_->timer, &now, &every, false);
    pw_thread_loop_unlock(pipe_->loop);
}

void TestVideoSource::showPhase(int phase) {
    phase_ = phase;
    sentPhase_ = -1;
    for (int i = 0; i < 400 && sentPhase_ != phase; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (sentPhase_ != phase)
        throw std::runtime_error("the test source sends no more pictures");
}

std::uint32_t TestVideoSource::node() const {
    pw_thread_loop_lock(pipe_->loop);
    const std::uint32_t id = pw_stream_get_node_id(pipe_->stream);
    pw_thread_loop_unlock(pipe_->loop);
    return id;
}

} // namespace kadrix::test
