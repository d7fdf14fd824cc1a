#include "engine/render/d3d9/D3D9ModeList.h"

#include <algorithm>
#include <tuple>

#include "engine/render/d3d9/D3D9Formats.h"

namespace zav::d3d9 {

namespace {

struct AdapterMode {
    UINT width;
    UINT height;
    D3DFORMAT format;
};

// Adapter modes of every display format (the refresh rate is dropped, so each
// size appears once per format), sorted by width, height and format; and the
// display formats that had any.
void ListAdapterModes(IDirect3D9* d3d, std::vector<AdapterMode>* adapterModes,
                      std::vector<D3DFORMAT>* displayFormats) {
    for (D3DFORMAT format : kDisplayFormats) {
        bool produced = false;
        UINT count = d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, format);
        for (UINT i = 0; i < count; ++i) {
            D3DDISPLAYMODE mode;
            if (FAILED(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, format, i, &mode))) continue;
            produced = true;
            bool known = std::any_of(adapterModes->begin(), adapterModes->end(), [&](const AdapterMode& m) {
                return m.width == mode.Width && m.height == mode.Height && m.format == format;
            });
            if (!known) adapterModes->push_back({mode.Width, mode.Height, format});
        }
        if (produced) displayFormats->push_back(format);
    }
    std::sort(adapterModes->begin(), adapterModes->end(), [](const AdapterMode& a, const AdapterMode& b) {
        return std::make_tuple(a.width, a.height, static_cast<int>(a.format)) <
               std::make_tuple(b.width, b.height, static_cast<int>(b.format));
    });
}

DisplayMode RecordOf(D3DFORMAT backBuffer, D3DFORMAT depth, int32_t samples) {
    ColorFormatBits color = ColorBitsOf(backBuffer);
    DepthFormatBits depthBits = DepthBitsOf(depth);
    DisplayMode record;
    record.colorBits = color.color;
    record.redBits = color.red;
    record.greenBits = color.green;
    record.blueBits = color.blue;
    record.alphaBits = color.alpha;
    record.depthBits = depthBits.depth;
    record.stencilBits = depthBits.stencil;
    record.samples = samples;
    return record;
}

}  // namespace

void ListDeviceModes(IDirect3D9* d3d, std::vector<DisplayMode>* modes, int32_t* defaultMode) {
    modes->clear();
    *defaultMode = -1;
    D3DDISPLAYMODE desktop = {};
    if (FAILED(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop))) desktop = {};

    std::vector<AdapterMode> adapterModes;
    std::vector<D3DFORMAT> displayFormats;
    ListAdapterModes(d3d, &adapterModes, &displayFormats);

    for (D3DFORMAT display : displayFormats) {
        for (D3DFORMAT backBuffer : kBackBufferFormats) {
            for (BOOL windowed : {FALSE, TRUE}) {
                if (FAILED(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, display, backBuffer, windowed)))
                    continue;
                for (D3DFORMAT depth : kDepthFormats) {
                    if (FAILED(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, display,
                                                      D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, depth)) ||
                        FAILED(d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, display, backBuffer,
                                                           depth)))
                        continue;
                    for (int32_t m = 0; m < 16; ++m) {
                        if (FAILED(d3d->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, backBuffer,
                                                                   windowed, kMultisampleTypes[m], nullptr)))
                            continue;
                        DisplayMode record = RecordOf(backBuffer, depth, m + 1);
                        if (windowed) {
                            modes->push_back(record);
                            continue;
                        }
                        record.fullScreen = true;
                        for (const AdapterMode& adapterMode : adapterModes) {
                            if (adapterMode.format != display) continue;
                            record.width = static_cast<int32_t>(adapterMode.width);
                            record.height = static_cast<int32_t>(adapterMode.height);
                            if (*defaultMode < 0 && adapterMode.width == desktop.Width &&
                                adapterMode.height == desktop.Height && display == desktop.Format)
                                *defaultMode = static_cast<int32_t>(modes->size());
                            modes->push_back(record);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace zav::d3d9
