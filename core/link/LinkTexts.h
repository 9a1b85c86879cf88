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
    }
    return {};
}

} // namespace omnar::link
