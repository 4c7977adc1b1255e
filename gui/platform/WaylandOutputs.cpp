#include "gui/platform/WaylandOutputs.h"

#include <wayland-client.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace {

// The version that names outputs.
constexpr uint32_t kNamedOutputVersion = 4;

struct Output {
    wl_output* Proxy = nullptr;
    int32_t Transform = WL_OUTPUT_TRANSFORM_NORMAL;
    WaylandOutput Seen;
};

void onGeometry(void* data, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                int32_t transform)
{
    static_cast<Output*>(data)->Transform = transform;
}

void onMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0)
        return;
    auto* output = static_cast<Output*>(data);
    output->Seen.Width = width;
    output->Seen.Height = height;
}

void onDone(void*, wl_output*) {}
void onScale(void*, wl_output*, int32_t) {}

void onName(void* data, wl_output*, const char* name)
{
    static_cast<Output*>(data)->Seen.Name = QString::fromUtf8(name);
}

void onDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {onGeometry, onMode, onDone, onScale, onName, onDescription};

void onGlobal(void* data, wl_registry* registry, uint32_t id, const char* interface, uint32_t version)
{
    if (std::string_view(interface) != wl_output_interface.name || version < kNamedOutputVersion)
        return;
    auto& outputs = *static_cast<std::vector<std::unique_ptr<Output>>*>(data);
    auto output = std::make_unique<Output>();
    output->Proxy = static_cast<wl_output*>(wl_registry_bind(registry, id, &wl_output_interface, kNamedOutputVersion));
    wl_output_add_listener(output->Proxy, &kOutputListener, output.get());
    outputs.push_back(std::move(output));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

}  // namespace

std::vector<WaylandOutput> WaylandOutputs()
{
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(wl_display_connect(nullptr),
                                                                               &wl_display_disconnect);
    if (!display)
        return {};
    std::vector<std::unique_ptr<Output>> outputs;
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &kRegistryListener, &outputs);
    // The first round trip announces the outputs, the second their modes.
    const bool answered = wl_display_roundtrip(display.get()) >= 0 && wl_display_roundtrip(display.get()) >= 0;

    std::vector<WaylandOutput> seen;
    for (const std::unique_ptr<Output>& output : outputs) {
        WaylandOutput& s = output->Seen;
        // An output turned a quarter shows its mode on its side.
        if (output->Transform % 2 == 1)
            std::swap(s.Width, s.Height);
        if (answered && !s.Name.isEmpty() && s.Width > 0 && s.Height > 0)
            seen.push_back(s);
        wl_output_release(output->Proxy);
    }
    wl_registry_destroy(registry);
    return seen;
}
