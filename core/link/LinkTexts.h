#pragma once

#include "core/util/TextPair.h"

#include <string_view>

namespace omnar::link {

// Info-line texts of the connect sequence and of a lost link, English and Chinese.
enum class LinkTextId {
    OpenComOk,
    OpenComFail,
    OpenNetOk,
    OpenNetFail,
    DeviceNormal,
    DeviceFailed,
    LinkLost,
    LinkLostReconnecting,
    HandedToMosaic,
};

using LinkText = util::TextPair;

constexpr LinkText linkText(LinkTextId id)
{
    switch (id) {
    case LinkTextId::OpenComOk: return {"Open com port successful", "打开串口成功"};
    case LinkTextId::OpenComFail: return {"Open com port fail", "打开串口失败"};
    case LinkTextId::OpenNetOk: return {"Open network successful", "打开网络通讯成功"};
    case LinkTextId::OpenNetFail: return {"Open network failed", "打开网络通讯失败"};
    case LinkTextId::DeviceNormal: return {"Communications equipment normal", "设备连接成功"};
    case LinkTextId::DeviceFailed: return {"Equipment connection failed", "设备连接失败，请检查设备地址"};
    case LinkTextId::LinkLost: return {"Connection to the device lost", "与设备的连接已断开"};
    case LinkTextId::LinkLostReconnecting:
        return {"Connection to the device lost, connecting again", "与设备的连接已断开，正在重新连接"};
    case LinkTextId::HandedToMosaic:
        return {"Disconnected after Fast Mosaic: press Connect to go on", "快速拼接后已断开连接，请重新连接"};
    }
    return {};
}

// The please-wait window's text by what it waits for: 1 a connect, 2 a
// change of output resolution, 3 a change of dot clock. Any other kind keeps
// the window's own text.
inline constexpr std::string_view kProgressTemplateText = "Connecting device，please waiting.........";

constexpr LinkText progressText(int kind)
{
    switch (kind) {
    case 1: return {"Connecting device,please waiting", "正在连接设备，请等侯"};
    case 2: return {"Changing resolution", "正在修改分辨率"};
    case 3: return {"Changing dotlock", "正在修改点频"};
    }
    return {kProgressTemplateText, kProgressTemplateText};
}

} // namespace omnar::link
